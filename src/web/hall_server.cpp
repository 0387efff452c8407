#include "hall_server.h"

#include "api_keys.h"
#include "hall_texts.h"
#include "live_hub.h"
#include "ticket_status.h"
#include "web_pages.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/paths.h"
#include "core/recordset.h"
#include "core/station.h"
#include "tickets/token_allocation.h"

#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>

namespace tv::web {

namespace {

// Scripts only from our own files (no inline script, no eval), nothing from
// elsewhere, never inside another site's frame.
const QByteArray contentPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "media-src 'self'; connect-src 'self'; font-src 'self'; base-uri 'none'; "
    "form-action 'none'; frame-ancestors 'none'";

constexpr int callsPerAnswer = 200;
constexpr int reconnectEveryMs = 2000;

// A path's parts, each decoded: "%2e%2e" is ".." here and is refused like it.
QStringList pathParts(const QUrl& url) {
    QStringList parts;
    for (const QString& p : url.path(QUrl::FullyEncoded).split(u'/', Qt::SkipEmptyParts))
        parts << QUrl::fromPercentEncoding(p.toLatin1());
    return parts;
}

QString ticketsOutcome(TokenAllocation::Issued::Outcome o) {
    return o == TokenAllocation::Issued::Outcome::Limit ? QStringLiteral("limit")
                                                        : QStringLiteral("refused");
}

} // namespace

bool parseListen(const QString& text, QHostAddress* address, quint16* port) {
    static const QRegularExpression form(
        QStringLiteral("^(?:(?:\\[([0-9A-Fa-f:.]+)\\]|([0-9.]+|localhost)):)?([0-9]{1,5})$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch()) return false;
    const int p = m.captured(3).toInt();
    if (p < 1 || p > 65535) return false;
    QHostAddress a = QHostAddress::LocalHost;
    const QString host = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    if (host == u"localhost")
        a = QHostAddress::LocalHost;
    else if (!host.isEmpty() && !a.setAddress(host))
        return false;
    *address = a;
    *port = quint16(p);
    return true;
}

HallServer::HallServer(Station& station, const WebOptions& options, QObject* parent)
    : QAbstractHttpServer(parent), m_station(station), m_options(options),
      m_tcp(new GuardedServer(options.limits, this)),
      m_hub(std::make_unique<LiveHub>(station, options.statusRefreshMs)),
      m_issueLimit(options.issueBurst, options.issueRefillMs) {
    m_clock.start();
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &HallServer::takeWebSockets);
}

HallServer::~HallServer() = default;

bool HallServer::start(QString* error) {
    if (!m_tcp->listen(m_options.address, m_options.port)) {
        if (error) *error = m_tcp->errorString();
        return false;
    }
    bind(m_tcp);
    try {
        m_hub->start();
    } catch (const DbError& e) {
        if (error) *error = e.description();
        return false;
    }
    return true;
}

quint16 HallServer::port() const {
    return m_tcp->serverPort();
}

bool HallServer::reconnect() {
    const qint64 now = m_clock.elapsed();
    if (m_lastReconnect >= 0 && now - m_lastReconnect < reconnectEveryMs) return false;
    m_lastReconnect = now;
    return m_station.openConnection();
}

HallServer::Reply HallServer::json(int status, const QJsonObject& body) {
    Reply r;
    r.status = status;
    r.mime = "application/json";
    r.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return r;
}

HallServer::Reply HallServer::error(int status, const char* code, const QString& message) {
    return json(status, {{QStringLiteral("error"), QLatin1String(code)},
                         {QStringLiteral("message"), message}});
}

void HallServer::respond(const QHttpServerRequest& request, QTcpSocket* socket,
                         const Reply& reply) {
    QHttpServerResponse response(reply.mime, reply.body,
                                 QHttpServerResponse::StatusCode(reply.status));
    response.addHeader("Content-Security-Policy", contentPolicy);
    response.addHeader("X-Content-Type-Options", "nosniff");
    response.addHeader("X-Frame-Options", "DENY");
    // A status page's address is the visitor's code: never pass it on.
    response.addHeader("Referrer-Policy", "no-referrer");
    response.addHeader("Cache-Control", reply.cacheable ? "public, max-age=3600" : "no-store");
    for (const auto& h : reply.headers)
        response.addHeader(h.first, h.second);
    response.write(makeResponder(request, socket));
}

bool HallServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    // Qt 6.4 offers every request here first and upgrades a web socket after
    // it, so an upgrade must be taken without an answer; the sockets are
    // sorted out in takeWebSockets().
    if (request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0) return true;
    Reply reply;
    try {
        try {
            reply = route(request);
        } catch (const DbError&) {
            // The server went away and came back (a restart): one fresh
            // connection and one more try, else a clear "not now".
            if (!reconnect()) throw;
            reply = route(request);
        }
    } catch (const DbError&) {
        reply = error(503, "database",
                      QStringLiteral("The database is not reachable; try again shortly."));
        reply.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray("5")));
    } catch (const std::exception&) {
        reply = error(500, "internal", QStringLiteral("The request could not be handled."));
    }
    respond(request, socket, reply);
    return true;
}

void HallServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    respond(request, socket, error(404, "not_found", QStringLiteral("No such page.")));
}

HallServer::Reply HallServer::route(const QHttpServerRequest& request) {
    const QStringList parts = pathParts(request.url());
    const auto method = request.method();
    const Lang lang = langOf(request.query().queryItemValue(QStringLiteral("lang")),
                             request.value("Accept-Language"));

    if (!parts.isEmpty() && parts[0] == u"api") return routeApi(request, parts);
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
        Reply r = error(405, "method", QStringLiteral("Only GET is answered here."));
        r.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET")));
        return r;
    }
    if (parts.isEmpty()) {
        Reply r;
        r.status = 302;
        r.mime = "text/plain";
        r.body = "/board";
        r.headers.append(qMakePair(QByteArray("Location"), QByteArray("/board")));
        return r;
    }
    if (parts.size() == 2 && parts[0] == u"t") {
        Reply r;
        r.mime = "text/html; charset=utf-8";
        TicketStatusOps ops(m_station);
        const auto ticket = ops.ticketOfCode(parts[1]);
        const TicketStatus s = ticket ? ops.statusOf(*ticket) : TicketStatus();
        if (!s.found) {
            r.status = 404;
            r.body = notFoundPage(lang);
        } else {
            r.body = statusPage(s, parts[1], lang);
        }
        return r;
    }
    if (parts.size() == 1 && parts[0] == u"board") {
        const auto asset = staticAsset(QStringLiteral("board.html"));
        Reply r;
        r.mime = asset->mime;
        r.body = asset->body;
        return r;
    }
    if (parts.size() == 2 && parts[0] == u"static") {
        if (const auto asset = staticAsset(parts[1])) {
            Reply r;
            r.mime = asset->mime;
            r.body = asset->body;
            r.cacheable = true;
            return r;
        }
    }
    if (parts.size() == 3 && parts[0] == u"vs") return voiceFile(parts);
    return error(404, "not_found", QStringLiteral("No such page."));
}

HallServer::Reply HallServer::voiceFile(const QStringList& parts) {
    // A voice folder and a .wav in it, by names of plain characters: nothing
    // else under the program folder can be named.
    static const QRegularExpression voice(QStringLiteral("^[A-Za-z0-9_-]{1,40}$"));
    static const QRegularExpression file(QStringLiteral("^[A-Za-z0-9_-]{1,40}\\.wav$"));
    if (!voice.match(parts[1]).hasMatch() || !file.match(parts[2]).hasMatch())
        return error(404, "not_found", QStringLiteral("No such sound."));
    QFile f(paths::programFolder() + QStringLiteral("/vs/") + parts[1] + u'/' + parts[2]);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 8 * 1024 * 1024)
        return error(404, "not_found", QStringLiteral("No such sound."));
    Reply r;
    r.mime = "audio/wav";
    r.body = f.readAll();
    r.cacheable = true;
    return r;
}

QString HallServer::statusAddress(const QHttpServerRequest& request, const QString& code) const {
    const QString configured = m_station.settings().text(keys::WebAddress);
    if (!configured.trimmed().isEmpty()) return TokenAllocation::statusAddress(configured, code);
    // Without the hall's address, the one the caller reached us by.
    static const QRegularExpression plainHost(QStringLiteral("^[A-Za-z0-9.:\\[\\]-]{1,100}$"));
    QString host = QString::fromLatin1(request.value("Host"));
    if (!plainHost.match(host).hasMatch())
        host = QStringLiteral("%1:%2").arg(m_options.address.toString()).arg(port());
    return TokenAllocation::statusAddress(QStringLiteral("http://") + host, code);
}

HallServer::Reply HallServer::routeApi(const QHttpServerRequest& request,
                                       const QStringList& parts) {
    const auto method = request.method();
    const bool get = method == QHttpServerRequest::Method::Get;
    if (parts.size() < 3 || parts[1] != u"v1")
        return error(404, "not_found", QStringLiteral("No such API."));
    const QString what = parts[2];
    const Lang lang = langOf(request.query().queryItemValue(QStringLiteral("lang")),
                             request.value("Accept-Language"));

    if (what == u"tickets" && parts.size() == 3) {
        if (method != QHttpServerRequest::Method::Post) {
            Reply r = error(405, "method", QStringLiteral("Tickets are taken with POST."));
            r.headers.append(qMakePair(QByteArray("Allow"), QByteArray("POST")));
            return r;
        }
        return postTicket(request);
    }
    if (!get) {
        Reply r = error(405, "method", QStringLiteral("Only GET is answered here."));
        r.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET")));
        return r;
    }
    if (what == u"services" && parts.size() == 3) {
        QJsonArray list;
        for (const auto& s : TicketStatusOps(m_station).activeServices())
            list.append(QJsonObject{
                {QStringLiteral("id"), s.id},
                {QStringLiteral("name"), s.name},
                {QStringLiteral("prefix"), s.prefix},
                {QStringLiteral("waiting"), s.facts.waiting},
                {QStringLiteral("nowServing"), s.facts.nowServing},
                {QStringLiteral("waitMinutes"),
                 s.wait.known ? QJsonValue(s.wait.minutes) : QJsonValue(QJsonValue::Null)},
                {QStringLiteral("estimating"), !s.wait.known}});
        return json(200, {{QStringLiteral("services"), list}});
    }
    if (what == u"calls" && parts.size() == 3) {
        const QString afterText = request.query().queryItemValue(QStringLiteral("after"));
        bool ok = true;
        const qint64 after = afterText.isEmpty() ? 0 : afterText.toLongLong(&ok);
        if (!ok || after < 0)
            return error(400, "bad_after",
                         QStringLiteral("\"after\" must be a call number (0 or more)."));
        RecordSet rs(m_station.dbConnection,
                     QStringLiteral("select callauto, callToken, callCounter, callRoom, tickDate "
                                    "from tblCall where callauto>? order by callauto asc limit ?"),
                     {after, callsPerAnswer + 1});
        QJsonArray calls;
        qint64 last = after;
        for (; !rs.eof() && calls.size() < callsPerAnswer; rs.moveNext()) {
            last = rs.number(0);
            calls.append(QJsonObject{{QStringLiteral("callauto"), last},
                                     {QStringLiteral("token"), rs.textOrEmpty(1)},
                                     {QStringLiteral("counter"), rs.textOrEmpty(2)},
                                     {QStringLiteral("room"), rs.textOrEmpty(3)},
                                     {QStringLiteral("day"), rs.textOrEmpty(4)}});
        }
        return json(200, {{QStringLiteral("calls"), calls},
                          {QStringLiteral("last"), last},
                          {QStringLiteral("more"), rs.recordCount() > callsPerAnswer}});
    }
    if (what == u"status" && parts.size() == 4) {
        TicketStatusOps ops(m_station);
        const auto ticket = ops.ticketOfCode(parts[3]);
        const TicketStatus s = ticket ? ops.statusOf(*ticket) : TicketStatus();
        if (!s.found) return error(404, "not_found", QStringLiteral("No such ticket."));
        return json(200, statusJson(s, lang));
    }
    if (what == u"board" && parts.size() == 3) {
        const QString theme =
            boardThemeName(m_station, request.query().queryItemValue(QStringLiteral("theme")));
        auto board = boardJson(m_station, theme);
        if (!board)
            return error(404, "unknown_theme",
                         QStringLiteral("There is no theme named \"%1\".").arg(theme));
        (*board)[QStringLiteral("soundOn")] = word(lang, QStringLiteral("soundOn"));
        (*board)[QStringLiteral("soundOff")] = word(lang, QStringLiteral("soundOff"));
        return json(200, *board);
    }
    return error(404, "not_found", QStringLiteral("No such API."));
}

HallServer::Reply HallServer::postTicket(const QHttpServerRequest& request) {
    // The budget is spent before anything else: guessing keys costs the same.
    const QString address = request.remoteAddress().toString();
    if (!m_issueLimit.take(address, m_clock.elapsed())) {
        Reply r = error(429, "rate_limited",
                        QStringLiteral("Too many tickets from this address; wait a moment."));
        const qint64 wait = m_issueLimit.retryAfterMs(address, m_clock.elapsed());
        r.headers.append(
            qMakePair(QByteArray("Retry-After"),
                      QByteArray(QByteArray::number(qMax<qint64>(1, (wait + 999) / 1000)))));
        return r;
    }
    QByteArray key = request.value("X-Api-Key").trimmed();
    const QByteArray auth = request.value("Authorization").trimmed();
    if (key.isEmpty() && auth.startsWith("Bearer ")) key = auth.mid(7).trimmed();
    if (key.isEmpty()) {
        Reply r = error(401, "missing_key",
                        QStringLiteral("Taking a ticket needs an API key (header X-Api-Key)."));
        r.headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Bearer")));
        return r;
    }
    const auto caller = ApiKeys(m_station).verify(QString::fromLatin1(key));
    if (!caller) return error(403, "wrong_key", QStringLiteral("This API key is not valid."));

    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(request.body(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return error(400, "bad_json",
                     QStringLiteral("The body must be a JSON object such as {\"service\": 1}."));
    const QJsonValue wanted = doc.object().value(QStringLiteral("service"));
    qint64 service = 0;
    if (wanted.isDouble() && wanted.toDouble() == std::floor(wanted.toDouble()))
        service = qint64(wanted.toDouble());
    else if (wanted.isString())
        service = m_station.dbConnection
                      ->scalar(QStringLiteral("select servAuto from tblService where servName=?"),
                               {wanted.toString()})
                      .toLongLong();
    else
        return error(
            400, "missing_service",
            QStringLiteral("Say which service: {\"service\": 1} or {\"service\": \"name\"}."));
    RecordSet svc(m_station.dbConnection,
                  QStringLiteral("select servName from tblService where servAuto=? and active='1'"),
                  {service});
    if (service <= 0 || service > 32767 || svc.recordCount() == 0)
        return error(
            404, "unknown_service",
            QStringLiteral("There is no active service %1.").arg(wanted.toVariant().toString()));

    const auto issued =
        TokenAllocation(m_station).issue(qint16(service), m_station.clock().today());
    if (issued.outcome != TokenAllocation::Issued::Outcome::Issued)
        return error(409, ticketsOutcome(issued.outcome).toLatin1().constData(), issued.message);
    return json(201, {{QStringLiteral("token"), issued.token},
                      {QStringLiteral("number"), issued.number},
                      {QStringLiteral("service"), svc.textOrEmpty(0)},
                      {QStringLiteral("code"), issued.visitorCode},
                      {QStringLiteral("statusUrl"), statusAddress(request, issued.visitorCode)}});
}

void HallServer::takeWebSockets() {
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection();
        if (!socket) continue;
        const QUrl url = socket->requestUrl();
        const QStringList parts = pathParts(url);
        const QUrlQuery query(url);
        try {
            if (parts.size() == 2 && parts[0] == u"ws" && parts[1] == u"board") {
                QList<int> counters;
                const QString theme =
                    boardThemeName(m_station, query.queryItemValue(QStringLiteral("theme")));
                if (!boardJson(m_station, theme, &counters)) {
                    socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                                  QStringLiteral("unknown theme"));
                    continue;
                }
                m_hub->addBoard(std::move(socket), counters,
                                query.queryItemValue(QStringLiteral("after")).toLongLong());
                continue;
            }
            if (parts.size() == 3 && parts[0] == u"ws" && parts[1] == u"t") {
                if (const auto ticket = TicketStatusOps(m_station).ticketOfCode(parts[2])) {
                    m_hub->addStatus(std::move(socket), *ticket,
                                     langOf(query.queryItemValue(QStringLiteral("lang")), {}));
                    continue;
                }
            }
        } catch (const DbError&) {
            reconnect();
            socket->close(QWebSocketProtocol::CloseCodeAbnormalDisconnection,
                          QStringLiteral("database"));
            continue;
        }
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("not found"));
    }
}

} // namespace tv::web
