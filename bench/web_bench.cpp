// The hall web service under load: 1000 browsers on one service process (half
// of them hall boards, half visitors' status pages) while 20 counters call a
// ticket every 2 s. Prints how long a call takes from being stored to reaching
// a board, how much memory the service holds, and how fast tickets are taken
// through the API against the kiosk's own path in the same run.
//
// The service is the real program (tallyvox --serve) in a process of its own;
// the counters call from another process, so neither the browsers nor the
// counters slow the other. All three share the machine's monotonic clock.
#include "bench_support.h"

#include "calling/calling_ops.h"
#include "core/connection.h"
#include "core/paths.h"
#include "core/recordset.h"
#include "tickets/token_allocation.h"
#include "web/api_keys.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace tv::bench {

namespace {

constexpr int services = 10;
constexpr int callEveryMs = 2000;

qint64 monotonicUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// CPU seconds a process has used so far (user and system).
double cpuSeconds(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray all = f.readAll();
    // Fields after the name in parentheses (which may hold spaces): utime and
    // stime are the 12th and 13th of them.
    const QList<QByteArray> fields = all.mid(all.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

double rssMb(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

quint16 freePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// Waits, with the event loop running, until `done` or `ms` passed. Sleeps
// between events (a spinning loop would take a core from the service).
bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    QTimer wake;
    wake.start(5);
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}

} // namespace

// web-counters SETTINGS DATA COUNTERS SECONDS: each counter presses Next every
// 2 s; prints "callauto stored_us" for every call it made.
int runWebCounters(const QStringList& a) {
    if (a.size() < 4) return 2;
    Station st(QStringLiteral("bench-counters"), a[0]);
    st.setEmbeddedFile(a[1]);
    if (!st.openConnection()) return 1;
    const int counters = qBound(1, a[2].toInt(), 200);
    const double seconds = qBound(1.0, a[3].toDouble(), 600.0);
    const qint64 endAt = monotonicUs() + qint64(seconds * 1e6);
    std::vector<std::unique_ptr<CallingOps>> desks;
    for (int i = 0; i < counters; ++i)
        desks.push_back(std::make_unique<CallingOps>(st));
    QList<QTimer*> timers;
    int running = counters;
    for (int i = 0; i < counters; ++i) {
        auto* t = new QTimer;
        t->setInterval(callEveryMs);
        QObject::connect(t, &QTimer::timeout, [&, i, t] {
            if (monotonicUs() >= endAt) {
                t->stop();
                --running;
                return;
            }
            st.login.counterId = qint16(i + 1);
            st.login.serviceId = qint16(i % services + 1);
            st.login.counterName = QStringLiteral("Counter %1").arg(i + 1);
            st.login.counterDisplayName = QStringLiteral("Desk %1").arg(i + 1);
            try {
                desks[i]->next();
                const qint64 stored = monotonicUs();
                const qint64 key = st.dbConnection
                                       ->scalar(QStringLiteral("select max(callauto) from tblCall "
                                                               "where servAuto=?"),
                                                {i + 1})
                                       .toLongLong();
                std::printf("%lld %lld\n", key, stored);
                std::fflush(stdout);
            } catch (const DbError& e) {
                std::fprintf(stderr, "counter %d: %s\n", i + 1, qPrintable(e.description()));
            }
        });
        // Spread over the 2 s, as counters are in a real hall.
        QTimer::singleShot(i * callEveryMs / counters, t, [t] { t->start(); });
        timers << t;
    }
    waitFor([&] { return running == 0; }, int(seconds * 1000) + 10000);
    qDeleteAll(timers);
    return 0;
}

int runWebBench(const Options& o) {
    // Bounded, so a typo cannot start a run that never ends.
    const int clients =
        qBound(2, o.value(QStringLiteral("--clients"), QStringLiteral("1000")).toInt(), 5000);
    const int counters =
        qBound(1, o.value(QStringLiteral("--counters"), QStringLiteral("20")).toInt(), 200);
    const double seconds =
        qBound(2.0, o.value(QStringLiteral("--seconds"), QStringLiteral("30")).toDouble(), 600.0);
    const QString program =
        o.value(QStringLiteral("--program"), QCoreApplication::applicationDirPath() + "/tallyvox");
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    // The service reads the station's settings of its profile from TALLYVOX_HOME.
    QTemporaryDir home;
    qputenv("TALLYVOX_HOME", home.path().toUtf8());
    const QString profile = QStringLiteral("bench-web");
    std::unique_ptr<BenchDatabase> pg;
    std::unique_ptr<Station> own;
    Station* st = nullptr;
    QString settings = paths::settingsFile(profile);
    QString dataFile = paths::defaultDataFile();
    if (o.engine == u"postgres") {
        pg = std::make_unique<BenchDatabase>(o);
        st = &pg->station();
        QDir().mkpath(QFileInfo(settings).path());
        QFile::copy(pg->settingsFile(), settings);
    } else {
        own = std::make_unique<Station>(profile, settings);
        own->setEmbeddedFile(dataFile);
        if (!own->openConnection()) return 1;
        st = own.get();
    }
    auto c = st->dbConnection;
    c->execute(QStringLiteral("insert into tbltheme (themeauto, themename, colums, rows) values "
                              "(1, 'Bench', 2, 6)"));
    for (int s = 1; s <= services; ++s)
        c->execute(QStringLiteral("insert into tblService (servAuto, deptAuto, servName, active, "
                                  "startno, endno, abrno) values (?, 1, ?, 1, 1, 30000, ?)"),
                   {s, QStringLiteral("Service %1").arg(s), QString(QChar(u'A' + s - 1))});
    for (int k = 1; k <= counters; ++k)
        c->execute(QStringLiteral("insert into tblCounter (cntAuto, servAuto, contName, "
                                  "displayName, active) values (?, ?, ?, ?, 1)"),
                   {k, (k - 1) % services + 1, QStringLiteral("Counter %1").arg(k),
                    QStringLiteral("Desk %1").arg(k)});
    // Enough waiting tickets for every call, and the codes of the status pages.
    TokenAllocation tokens(*st);
    QStringList codes;
    const int perService = int(seconds / 2.0 * (counters / double(services))) + 60;
    for (int i = 0; i < perService; ++i)
        for (int s = 1; s <= services; ++s)
            codes << tokens.issue(qint16(s), st->clock().today()).visitorCode;
    const QString key = web::ApiKeys(*st).create(QStringLiteral("bench")).key;

    const quint16 port = freePort();
    QProcess service;
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(program, {QStringLiteral("--profile"), profile, QStringLiteral("--serve"),
                            QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port),
                            QStringLiteral("--issue-limit"), QStringLiteral("1000000")});
    // The service goes with the bench, however the bench ends.
    const auto stopService = qScopeGuard([&service] {
        service.terminate();
        if (!service.waitForFinished(5000)) service.kill();
    });
    if (!service.waitForReadyRead(30000)) {
        std::fprintf(stderr, "web bench: the service did not start\n");
        return 1;
    }
    const qint64 servicePid = service.processId();

    // The browsers. Boards note when each call reaches them.
    QHash<qint64, QList<qint64>> arrivals; // callauto -> arrival times (us)
    qint64 statusMessages = 0;
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    int open = 0;
    for (int i = 0; i < clients; ++i) {
        auto ws = std::make_unique<QWebSocket>();
        const bool board = i % 2 == 0;
        QObject::connect(ws.get(), &QWebSocket::connected, [&open] { ++open; });
        QObject::connect(ws.get(), &QWebSocket::textMessageReceived, [&, board](const QString& m) {
            const qint64 at = monotonicUs();
            if (!board) {
                ++statusMessages;
                return;
            }
            qsizetype k = m.indexOf(u"\"callauto\":");
            if (k < 0) return;
            qint64 key = 0;
            for (k += 11; k < m.size() && m[k].isDigit(); ++k)
                key = key * 10 + m[k].digitValue();
            arrivals[key].append(at);
        });
        ws->open(QUrl(board ? QStringLiteral("ws://127.0.0.1:%1/ws/board?theme=Bench").arg(port)
                            : QStringLiteral("ws://127.0.0.1:%1/ws/t/%2")
                                  .arg(port)
                                  .arg(codes[i % codes.size()])));
        sockets.push_back(std::move(ws));
        if (i % 50 == 49) waitFor([&] { return open > i - 25; }, 5000);
    }
    waitFor([&] { return open == clients; }, 60000);
    const int connected = open;
    statusMessages = 0;

    const double cpuBefore = cpuSeconds(servicePid);
    QElapsedTimer busy;
    busy.start();
    QProcess desks;
    desks.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    desks.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("web-counters"), settings, dataFile, QString::number(counters),
                 QString::number(seconds)});
    double peakRss = 0;
    QElapsedTimer runTime;
    runTime.start();
    QElapsedTimer sampled;
    sampled.start();
    waitFor(
        [&] {
            if (sampled.elapsed() >= 100) {
                peakRss = qMax(peakRss, rssMb(servicePid));
                sampled.restart();
            }
            return desks.state() == QProcess::NotRunning;
        },
        int(seconds * 1000) + 30000);
    waitFor([] { return false; }, 1000); // the last calls' way to the boards
    peakRss = qMax(peakRss, rssMb(servicePid));
    const double serviceCpu =
        100.0 * (cpuSeconds(servicePid) - cpuBefore) / (busy.elapsed() / 1000.0);

    QList<double> latencies;
    QList<double> firsts; // the first board each call reached
    int calls = 0;
    qint64 missing = 0;
    const int boards = (clients + 1) / 2;
    for (const QByteArray& line : desks.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 2) continue;
        ++calls;
        const qint64 stored = f[1].toLongLong();
        const auto got = arrivals.value(f[0].toLongLong());
        missing += boards - got.size();
        qint64 first = -1;
        for (qint64 at : got) {
            latencies << (at - stored) / 1000.0;
            if (first < 0 || at < first) first = at;
        }
        if (first >= 0) firsts << (first - stored) / 1000.0;
    }

    // Taking tickets: the kiosk's own path, then the API, one after another,
    // with the browsers gone so both have the machine to themselves.
    sockets.clear();
    waitFor([] { return false; }, 1000);
    const double window = 3.0;
    QElapsedTimer t;
    t.start();
    int kiosk = 0;
    while (t.elapsed() < window * 1000)
        if (tokens.issue(1, st->clock().today()).outcome ==
            TokenAllocation::Issued::Outcome::Issued)
            ++kiosk;
    const double kioskRate = kiosk / (t.elapsed() / 1000.0);
    // One keep-alive connection, one write per request, as a booking system
    // would hold it open.
    QTcpSocket http;
    http.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    http.connectToHost(QHostAddress::LocalHost, port);
    waitFor([&] { return http.state() == QAbstractSocket::ConnectedState; }, 5000);
    const QByteArray body = R"({"service":2})";
    const QByteArray request =
        "POST /api/v1/tickets HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Api-Key: " + key.toLatin1() +
        "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\n\r\n" + body;
    int api = 0;
    t.restart();
    while (t.elapsed() < window * 1000 && http.state() == QAbstractSocket::ConnectedState) {
        http.write(request);
        QByteArray got;
        const bool answered = waitFor(
            [&] {
                got += http.readAll();
                const qsizetype end = got.indexOf("\r\n\r\n");
                if (end < 0) return false;
                const qsizetype at = got.toLower().indexOf("content-length:");
                const qsizetype eol = got.indexOf("\r\n", at);
                return got.size() >= end + 4 + got.mid(at + 15, eol - at - 15).trimmed().toInt();
            },
            10000);
        if (!answered) break;
        if (got.startsWith("HTTP/1.1 201")) ++api;
    }
    const double apiRate = api / (t.elapsed() / 1000.0);

    std::printf(
        "web engine=%s clients=%d connected=%d boards=%d status_pages=%d counters=%d calls=%d "
        "push_first_p50_ms=%.1f push_first_p99_ms=%.1f push_p50_ms=%.1f push_p99_ms=%.1f "
        "push_max_ms=%.1f missed=%lld "
        "status_pushes=%lld service_rss_mb=%.1f service_cpu_pct=%.0f api_issue_per_s=%.0f "
        "kiosk_issue_per_s=%.0f\n",
        qPrintable(o.engine), clients, connected, boards, clients - boards, counters, calls,
        percentile(firsts, 0.5), percentile(firsts, 0.99), percentile(latencies, 0.5),
        percentile(latencies, 0.99), percentile(latencies, 1.0), missing, statusMessages, peakRss,
        serviceCpu, apiRate, kioskRate);
    qunsetenv("TALLYVOX_HOME");
    return 0;
}

} // namespace tv::bench
