// The hall web service over real sockets: pages and their headers, the API and
// its refusals, bad and huge requests, floods, and calls pushed to browsers.
#include "display/call_feed.h"
#include "test_station.h"
#include "web/api_keys.h"
#include "web/hall_server.h"
#include "web/live_hub.h"
#include "web_client.h"
#include "web_fixture.h"

#include <QApplication>
#include <QJsonArray>
#include <QProcess>
#include <QWebSocket>

using namespace tv;
using namespace tv::test;
using namespace tv::web;

namespace {
// A browser's web socket, keeping every message it got.
struct Browser {
    QWebSocket socket;
    QStringList messages;
    explicit Browser(const QString& url) {
        QObject::connect(&socket, &QWebSocket::textMessageReceived,
                         [this](const QString& m) { messages << m; });
        socket.open(QUrl(url));
    }
    bool connected() const { return socket.state() == QAbstractSocket::ConnectedState; }
    QJsonObject last() const { return QJsonDocument::fromJson(messages.last().toUtf8()).object(); }
    QStringList tokens() const {
        QStringList out;
        for (const QString& m : messages)
            out << QJsonDocument::fromJson(m.toUtf8()).object().value("token").toString();
        return out;
    }
};
} // namespace

class WebServerTest : public QObject {
    Q_OBJECT

public:
    explicit WebServerTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() {
        m_server.reset();
        m_db.reset();
    }
    void init() {
        m_server.reset();
        m_db->clearTables();
        st().clock().setFixed(QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0)));
        addService(st(), 1, "Blood Test", "A");
        addService(st(), 2, "X-Ray", "X", 1);
        addService(st(), 3, "Closed", "C", 100, 0);
        addCounter(st(), 1, 1, "Desk 1");
        addCounter(st(), 2, 2, "Room 2");
        c()->execute(
            "insert into tbltheme (themeauto, themename, colums, rows, enableH, Column1, "
            "Column2, backgroundclr, clrcrr, ttlName) values (1, 'Hall', 2, 5, 1, 'Token', "
            "'Counter', 255, 65280, 'Welcome')");
        m_options = WebOptions();
        m_options.port = 0;
        m_options.issueBurst = 50;
        m_options.limits.maxConnections = 40;
        m_options.limits.maxRequestBytes = 16 * 1024;
        startServer();
    }

    void pagesCarryTheSecurityHeaders() {
        for (const char* path : {"/board", "/nowhere", "/static/board.js", "/api/v1/services",
                                 "/t/AAAAAAAAAAAAAAAA"}) {
            const HttpAnswer a = web().get(path);
            const QByteArray csp = a.headers.value("content-security-policy");
            QVERIFY2(csp.contains("script-src 'self'"), qPrintable(path));
            QVERIFY(!csp.contains("unsafe-inline"));
            QCOMPARE(a.headers.value("x-content-type-options"), QByteArray("nosniff"));
            QCOMPARE(a.headers.value("referrer-policy"), QByteArray("no-referrer"));
        }
        QCOMPARE(web().get("/board").status, 200);
        QCOMPARE(web().get("/nowhere").status, 404);
        QCOMPARE(web().get("/nowhere").json().value("error").toString(), QString("not_found"));
        QCOMPARE(web().get("/static/board.js").headers.value("content-type"),
                 QByteArray("text/javascript; charset=utf-8"));
        QCOMPARE(web().send("DELETE", "/board", {}, {}).status, 405);
    }

    void noFileOutsideTheServedOnes() {
        for (const char* path : {"/static/../CMakeLists.txt", "/static/%2e%2e%2fCMakeLists.txt",
                                 "/static/..%2f..%2f..%2fetc%2fpasswd", "/static/status.html",
                                 "/vs/..%2f..%2f/passwd", "/vs/english/..%2f..%2fCMakeCache.txt",
                                 "/vs/english/%2e%2e.wav", "/static/", "/vs/english/a.txt"}) {
            const QByteArray got =
                web().raw(QByteArray("GET ") + path + " HTTP/1.1\r\nHost: x\r\n\r\n");
            QVERIFY2(got.startsWith("HTTP/1.1 404"), path);
            QVERIFY(!got.contains("root:"));
        }
    }

    void theStatusPageShowsTheTicketEscaped() {
        c()->execute("update tblService set servName=? where servAuto=1",
                     {"<script>alert(\"x\")</script> & Co"});
        issueTicket(st(), 1);
        const auto mine = issueTicket(st(), 1);
        const HttpAnswer a = web().get("/t/" + mine.visitorCode);
        QCOMPARE(a.status, 200);
        QVERIFY(a.body.contains("A2"));
        QVERIFY(a.body.contains("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; Co"));
        QCOMPARE(a.body.count("<script"), 1); // only the page's own external script
        QVERIFY(a.body.contains("<script src=\"/static/status.js\" defer></script>"));

        // Misses: a wrong code, a malformed one, one of another shape: all the same 404.
        QString wrong = mine.visitorCode;
        wrong[0] = wrong[0] == u'A' ? u'B' : u'A';
        const HttpAnswer miss = web().get("/t/" + wrong);
        QCOMPARE(miss.status, 404);
        QCOMPARE(web().get("/t/x").body, miss.body);
        QCOMPARE(web().get("/t/%27%20or%201=1").body, miss.body);
        QCOMPARE(web().get("/api/v1/status/" + wrong).status, 404);
        QCOMPARE(web().get("/api/v1/status/" + mine.visitorCode).json().value("ahead").toInt(), 1);
        // In Hindi when the browser asks for it.
        const HttpAnswer hi =
            web().get("/t/" + mine.visitorCode, {{"Accept-Language", "hi-IN,hi"}});
        QVERIFY(hi.body.contains("lang=\"hi\""));
        QVERIFY(QString::fromUtf8(hi.body).contains(QString::fromUtf8("आपसे पहले")));
    }

    void servicesAndCallsForReaders() {
        issueTicket(st(), 1);
        issueTicket(st(), 1);
        const QJsonArray services =
            web().get("/api/v1/services").json().value("services").toArray();
        QCOMPARE(services.size(), 2); // the closed one is not offered
        QCOMPARE(services[0].toObject().value("waiting").toInt(), 2);
        QVERIFY(services[0].toObject().value("estimating").toBool());

        CallingOps desk(st());
        pressNext(st(), desk, 1, 1, "Desk 1");
        const QJsonObject calls = web().get("/api/v1/calls?after=0").json();
        QCOMPARE(calls.value("calls").toArray().size(), 1);
        QCOMPARE(calls.value("calls").toArray()[0].toObject().value("token").toString(),
                 QString("A1"));
        const int last = calls.value("last").toInt();
        QCOMPARE(web()
                     .get(QString("/api/v1/calls?after=%1").arg(last))
                     .json()
                     .value("calls")
                     .toArray()
                     .size(),
                 0);
        QCOMPARE(web().get("/api/v1/calls?after=abc").status, 400);
        QCOMPARE(web().get("/api/v1/calls?after=-5").status, 400);
    }

    void takingATicketAndEveryRefusal() {
        const QString key = ApiKeys(st()).create("Appointments").key;
        const QList<QPair<QByteArray, QByteArray>> auth{{"X-Api-Key", key.toLatin1()}};
        QCOMPARE(web().post("/api/v1/tickets", R"({"service":1})").status, 401);
        QCOMPARE(
            web().post("/api/v1/tickets", R"({"service":1})", {{"X-Api-Key", "tvk1.nope"}}).status,
            403);
        QCOMPARE(
            web().post("/api/v1/tickets", "{\"service\":", auth).json().value("error").toString(),
            QString("bad_json"));
        QCOMPARE(web().post("/api/v1/tickets", "[1]", auth).status, 400);
        QCOMPARE(web().post("/api/v1/tickets", R"({"service":true})", auth).status, 400);
        QCOMPARE(web()
                     .post("/api/v1/tickets", R"({"service":99})", auth)
                     .json()
                     .value("error")
                     .toString(),
                 QString("unknown_service"));
        QCOMPARE(web().post("/api/v1/tickets", R"({"service":3})", auth).status, 404); // not active
        QCOMPARE(web().post("/api/v1/tickets", R"({"service":"no such"})", auth).status, 404);
        QCOMPARE(web().get("/api/v1/tickets").status, 405);

        const HttpAnswer ok = web().post("/api/v1/tickets", R"({"service":"Blood Test"})",
                                         {{"Authorization", "Bearer " + key.toLatin1()}});
        QCOMPARE(ok.status, 201);
        QCOMPARE(ok.json().value("token").toString(), QString("A1"));
        const QString code = ok.json().value("code").toString();
        QVERIFY(ok.json().value("statusUrl").toString().endsWith("/t/" + code));
        QCOMPARE(web().get(QUrl(ok.json().value("statusUrl").toString()).path()).status, 200);
        st().settings().set(keys::WebAddress, "https://queue.example.org/");
        QVERIFY(web()
                    .post("/api/v1/tickets", R"({"service":1})", auth)
                    .json()
                    .value("statusUrl")
                    .toString()
                    .startsWith("https://queue.example.org/t/"));

        QCOMPARE(web().post("/api/v1/tickets", R"({"service":2})", auth).status, 201);
        const HttpAnswer limit = web().post("/api/v1/tickets", R"({"service":2})", auth);
        QCOMPARE(limit.status, 409);
        QCOMPARE(limit.json().value("error").toString(), QString("limit"));
        QCOMPARE(limit.json().value("message").toString(), QString("Limit"));

        ApiKeys(st()).revoke("Appointments");
        QCOMPARE(web().post("/api/v1/tickets", R"({"service":1})", auth).status, 403);
        // Every refusal stored nothing.
        QCOMPARE(c()->scalar("select count(*) from tblTicket").toInt(), 3);
    }

    void tooManyTicketsFromOneAddress() {
        m_options.issueBurst = 2;
        m_options.issueRefillMs = 3600000;
        startServer();
        const QString key = ApiKeys(st()).create("Form").key;
        const QList<QPair<QByteArray, QByteArray>> auth{{"X-Api-Key", key.toLatin1()}};
        QCOMPARE(web().post("/api/v1/tickets", R"({"service":1})", auth).status, 201);
        QCOMPARE(web().post("/api/v1/tickets", R"({"service":1})", {{"X-Api-Key", "guess"}}).status,
                 403);
        const HttpAnswer third = web().post("/api/v1/tickets", R"({"service":1})", auth);
        QCOMPARE(third.status, 429);
        QVERIFY(third.headers.value("retry-after").toInt() > 0);
        QCOMPARE(c()->scalar("select count(*) from tblTicket").toInt(), 1);
        QCOMPARE(web().get("/api/v1/services").status, 200); // reading is not limited
    }

    void badAndHugeRequestsLoseNothing() {
        const QByteArray bigHeader =
            "GET /board HTTP/1.1\r\nHost: x\r\nX-Junk: " + QByteArray(100 * 1024, 'j') + "\r\n\r\n";
        QVERIFY(web().raw(bigHeader).startsWith("HTTP/1.1 431"));
        const QByteArray bigBody =
            "POST /api/v1/tickets HTTP/1.1\r\nHost: x\r\nContent-Length: 200000\r\n\r\n" +
            QByteArray(200000, '{');
        QVERIFY(web().raw(bigBody).startsWith("HTTP/1.1 413"));
        // What cannot be a request is told so, and the connection closed.
        for (const QByteArray& junk :
             {QByteArray("GARBAGE\r\n\r\n"), QByteArray("\x00\x01\x02\r\n\r\n", 7),
              QByteArray("GET /board\r\n\r\n"), QByteArray("get /board HTTP/1.1\r\n\r\n"),
              QByteArray("GET /board HTTP/1.1\r\nUpgrade: websocket\r\n\r\n")})
            QVERIFY2(web().raw(junk, 2000).startsWith("HTTP/1.1 400"), junk.constData());
        QVERIFY(web().raw("GET / HTTP/9.9\r\n\r\n").startsWith("HTTP/1.1 505"));
        // Anything or nothing, as long as the service lives on.
        web().raw("POST /api/v1/tickets HTTP/1.1\r\nContent-Length: -4\r\n\r\n", 2000);
        QCOMPARE(web().get("/board").status, 200);
        QCOMPARE(c()->scalar("select count(*) from tblTicket").toInt(), 0);
    }

    void aFloodOfConnectionsGetsBusy() {
        QList<QTcpSocket*> held;
        for (int i = 0; i < m_options.limits.maxConnections; ++i) {
            auto* s = new QTcpSocket(this);
            s->connectToHost(QHostAddress::LocalHost, m_server->port());
            held << s;
        }
        QTRY_COMPARE(m_server->tcp().openConnections(), m_options.limits.maxConnections);
        QVERIFY(web().raw("GET /board HTTP/1.1\r\nHost: x\r\n\r\n").startsWith("HTTP/1.1 503"));
        qDeleteAll(held);
        QTRY_VERIFY(m_server->tcp().openConnections() < 5);
        QCOMPARE(web().get("/board").status, 200);
    }

    void silentAndGreedySocketsGiveUpTheirPlaces() {
        m_options.limits.idleTimeoutMs = 300;
        m_options.limits.requestTimeoutMs = 300;
        startServer();
        m_server->hub().setPingInterval(100);
        QTcpSocket silent, trickle, keepAlive;
        for (QTcpSocket* s : {&silent, &trickle, &keepAlive})
            s->connectToHost(QHostAddress::LocalHost, m_server->port());
        QTRY_COMPARE(m_server->tcp().openConnections(), 3);
        trickle.write("GET /board HTTP/1.1\r\nHost: x\r\n"); // never ends its headers
        keepAlive.write("GET /board HTTP/1.1\r\nHost: x\r\n\r\n");
        QTRY_VERIFY(keepAlive.bytesAvailable() > 0);
        QVERIFY(keepAlive.readAll().startsWith("HTTP/1.1 200"));
        for (QTcpSocket* s : {&silent, &trickle, &keepAlive})
            QTRY_COMPARE(s->state(), QAbstractSocket::UnconnectedState);

        // A browser that stops answering pings (here one that never does).
        QTcpSocket mute;
        mute.connectToHost(QHostAddress::LocalHost, m_server->port());
        QVERIFY(mute.waitForConnected(5000));
        mute.write("GET /ws/board?theme=Hall HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\n"
                   "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                   "Sec-WebSocket-Version: 13\r\n\r\n");
        QTRY_COMPARE(m_server->hub().boards(), 1);
        QTRY_VERIFY(mute.bytesAvailable() >= 12);
        QVERIFY(mute.readAll().startsWith("HTTP/1.1 101"));
        // A live browser answers its pings and stays, past the idle limit too.
        Browser live(url("/ws/board?theme=Hall"));
        QTRY_VERIFY(live.connected());
        QTRY_COMPARE(mute.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(m_server->hub().boards(), 1);
        QVERIFY(live.connected());

        // Whatever a browser sends is small, or it is closed.
        live.socket.sendTextMessage(QString(100000, u'x'));
        QTRY_VERIFY(!live.connected());
        QCOMPARE(live.socket.closeCode(), QWebSocketProtocol::CloseCodeTooMuchData);
        QTRY_COMPARE(m_server->hub().boards(), 0);
        QCOMPARE(web().get("/board").status, 200);
    }

    void callsArePushedToBoardsAndPages() {
        issueTicket(st(), 1);
        const auto mine = issueTicket(st(), 1);
        Browser board(url("/ws/board?theme=Hall"));
        Browser page(url("/ws/t/" + mine.visitorCode));
        QTRY_VERIFY(board.connected() && page.connected());
        QTRY_COMPARE(page.messages.size(), 1);
        QCOMPARE(page.last().value("stage").toString(), QString("waiting"));
        QCOMPARE(page.last().value("ahead").toInt(), 1);

        CallingOps desk(st());
        pressNext(st(), desk, 1, 1, "Desk 1");
        QTRY_COMPARE_WITH_TIMEOUT(board.tokens(), QStringList{"A1"}, 5000);
        QCOMPARE(board.last().value("counter").toString(), QString("Desk 1"));
        QTRY_COMPARE(page.last().value("ahead").toInt(), 0);
        QCOMPARE(page.last().value("nowServing").toString(), QString("A1"));

        pressNext(st(), desk, 1, 1, "Desk 1");
        QTRY_COMPARE(page.last().value("stage").toString(), QString("called"));
        QCOMPARE(page.last().value("counter").toString(), QString("Desk 1"));
        QTRY_COMPARE(board.tokens(), (QStringList{"A1", "A2"}));
        // The hall's own board still has both calls to show and announce.
        QCOMPARE(c()->scalar("select count(*) from tblCall where status='0'").toInt(), 2);

        // An unknown theme or code gets no socket.
        Browser stranger(url("/ws/t/AAAAAAAAAAAAAAAA"));
        QTRY_VERIFY(stranger.socket.closeCode() == QWebSocketProtocol::CloseCodePolicyViolated);
    }

    void aBoardCatchesUpAfterTheServiceRestarts() {
        Browser board(url("/ws/board?theme=Hall"));
        QTRY_VERIFY(board.connected());
        issueTicket(st(), 1);
        issueTicket(st(), 1);
        issueTicket(st(), 1);
        CallingOps desk(st());
        pressNext(st(), desk, 1, 1, "Desk 1");
        QTRY_COMPARE(board.tokens(), QStringList{"A1"});
        const qint64 seen = board.last().value("callauto").toInteger();

        m_server.reset();
        QTRY_VERIFY(!board.connected());
        pressNext(st(), desk, 1, 1, "Desk 1");
        pressNext(st(), desk, 1, 1, "Desk 1");
        startServer();
        Browser back(url(QString("/ws/board?theme=Hall&after=%1").arg(seen)));
        QTRY_COMPARE(back.tokens(), (QStringList{"A2", "A3"}));
    }

    void theServiceFollowsAcrossADatabaseRestart() {
        const QString dir = qEnvironmentVariable("TALLYVOX_TEST_PG_DIR");
        if (m_engine != DbEngine::Postgres || dir.isEmpty())
            QSKIP("needs the test server's folder");
        m_server->hub().feed().setReconnectDelays(200, 800);
        for (int i = 0; i < 3; ++i)
            issueTicket(st(), 1);
        Browser board(url("/ws/board?theme=Hall"));
        QTRY_VERIFY(board.connected());
        CallingOps desk(st());
        pressNext(st(), desk, 1, 1, "Desk 1");
        QTRY_COMPARE(board.tokens(), QStringList{"A1"});

        QProcess restart;
        restart.start("bash", {TALLYVOX_TOOLS_DIR "/pg-temp.sh", "restart", dir});
        QVERIFY(restart.waitForFinished(60000));
        QCOMPARE(restart.exitCode(), 0);
        QVERIFY(st().openConnection());
        pressNext(st(), desk, 1, 1, "Desk 1");
        pressNext(st(), desk, 1, 1, "Desk 1");
        QTRY_COMPARE_WITH_TIMEOUT(board.tokens(), (QStringList{"A1", "A2", "A3"}), 15000);
        // Pages are answered again too, on a fresh connection of the service.
        QTRY_COMPARE_WITH_TIMEOUT(web().get("/api/v1/services").status, 200, 10000);
    }

private:
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    WebClient& web() { return *m_client; }
    QString url(const QString& path) const {
        return QString("ws://127.0.0.1:%1%2").arg(m_server->port()).arg(path);
    }
    void startServer() {
        m_server.reset();
        m_server = std::make_unique<HallServer>(st(), m_options);
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        m_client = std::make_unique<WebClient>(m_server->port());
    }

    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    WebOptions m_options;
    std::unique_ptr<HallServer> m_server;
    std::unique_ptr<WebClient> m_client;
};

TALLYVOX_DB_TEST_MAIN(WebServerTest)
#include "test_web_server.moc"
