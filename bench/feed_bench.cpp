// Display boards following the call log while counters call at a steady rate:
// how long from a committed call record to the board's top line, and what an
// idle board costs the server and the machine.
#include "bench_support.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "display/display_board.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace tv::bench {

namespace {
qint64 nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::unique_ptr<Station> workerStation(const QStringList& a, const QString& name) {
    auto st = std::make_unique<Station>(name, a[0]);
    st->setEmbeddedFile(a[1]);
    if (!st->openConnection()) {
        std::fprintf(stderr, "worker: %s\n", qPrintable(st->lastConnectionError()));
        std::exit(1);
    }
    return st;
}
} // namespace

// feed-display SETTINGS DATA THEME IDLE_S BUSY_S: a board; prints
// "idle <queries/s> <cpu %>" and then "<callauto> <micros>" per line shown.
int runFeedDisplay(const QStringList& a) {
    if (a.size() < 5) return 2;
    auto st = workerStation(a, QStringLiteral("bench-display"));
    st->themeNo = static_cast<qint16>(a[2].toInt());
    st->callFilter = QStringLiteral("and 1=1");
    DisplayBoard board(*st);
    QList<QPair<qint64, qint64>> shown;
    QObject::connect(&board, &DisplayBoard::lineShown, &board, [&](qint64 callauto) {
        shown.append({callauto, nowMicros()});
    });
    const int idleMs = qRound(a[3].toDouble() * 1000);
    const int busyMs = qRound(a[4].toDouble() * 1000);
    // Idle: let the board connect (its feed does so in a thread of its own) and
    // settle, then measure a quiet stretch. A board that never connected would
    // look perfectly idle: that is a failure, not a figure.
    QEventLoop loop;
    QElapsedTimer waited;
    waited.start();
    while (!board.feed().connected() && waited.elapsed() < 10000) {
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!board.feed().connected()) {
        std::fprintf(stderr, "display: the board's feed did not connect\n");
        return 1;
    }
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 q0 = board.feed().queriesSent();
    const double c0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(idleMs, &loop, &QEventLoop::quit);
    loop.exec();
    const double idleSeconds = wall.nsecsElapsed() / 1e9;
    std::printf("idle %.2f %.2f\n", (board.feed().queriesSent() - q0) / idleSeconds,
                100.0 * (cpuSeconds() - c0) / idleSeconds);
    std::fflush(stdout);
    QTimer::singleShot(busyMs, &loop, &QEventLoop::quit);
    loop.exec();
    QByteArray out;
    for (const auto& [callauto, t] : shown)
        out += QByteArray::number(callauto) + ' ' + QByteArray::number(t) + '\n';
    std::fwrite(out.constData(), 1, out.size(), stdout);
    return 0;
}

// feed-counter SETTINGS DATA COUNTER SECONDS INTERVAL_MS: writes call records at
// a steady pace; prints "<callauto> <micros after commit>" per record.
int runFeedCounter(const QStringList& a) {
    if (a.size() < 5) return 2;
    auto st = workerStation(a, QStringLiteral("bench-caller"));
    const int counter = a[2].toInt();
    const double seconds = a[3].toDouble();
    const int interval = a[4].toInt();
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QElapsedTimer t;
    t.start();
    QByteArray out;
    for (qint64 n = 1; t.elapsed() < seconds * 1000; ++n) {
        const qint64 due = n * interval + (counter * interval) / 20 - t.elapsed();
        if (due > 0) QThread::msleep(static_cast<unsigned long>(due));
        try {
            RecordSet rs(
                st->dbConnection,
                QStringLiteral(
                    "insert into tblCall (servAuto, callToken, callCounter, status, tickAuto,"
                    " tickDate, callRoom) values (?, ?, ?, '0', 1, ?, '') returning callauto"),
                {counter, QStringLiteral("T%1").arg(n), QStringLiteral("C%1").arg(counter), today});
            const qint64 committed = nowMicros();
            out += QByteArray::number(rs.number(0)) + ' ' + QByteArray::number(committed) + '\n';
        } catch (const DbError& e) {
            std::fprintf(stderr, "caller: %s\n", qPrintable(e.description()));
        }
    }
    std::fwrite(out.constData(), 1, out.size(), stdout);
    return 0;
}

int runFeedBench(const Options& o) {
    BenchDatabase db(o);
    const int counters = o.value(QStringLiteral("--counters"), QStringLiteral("20")).toInt();
    QList<int> displaysList;
    if (const QString d = o.value(QStringLiteral("--displays")); !d.isEmpty())
        displaysList << d.toInt();
    else
        displaysList << 1 << 4;
    const double idle = o.value(QStringLiteral("--idle-seconds"), QStringLiteral("3")).toDouble();
    const double busy = o.value(QStringLiteral("--seconds"), QStringLiteral("5")).toDouble();
    const QString interval = o.value(QStringLiteral("--interval-ms"), QStringLiteral("500"));
    auto c = db.station().dbConnection;
    c->execute(QStringLiteral(
        "insert into tbltheme (themeauto, themename, colums, rows) values (1, 'Bench', 2, 8)"));

    for (int displays : displaysList) {
        c->execute(QStringLiteral("delete from tblCall"));
        QList<QProcess*> boards;
        for (int d = 0; d < displays; ++d) {
            auto* p = new QProcess;
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            p->setProcessEnvironment(env);
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("feed-display"), db.settingsFile(), db.embeddedFile(),
                      QStringLiteral("1"), QString::number(idle), QString::number(busy + 2)});
            boards << p;
        }
        // The boards measure their idle stretch first; the counters start after it.
        QThread::msleep(static_cast<unsigned long>((idle + 0.8) * 1000));
        QList<QProcess*> callers;
        for (int k = 1; k <= counters; ++k) {
            auto* p = new QProcess;
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("feed-counter"), db.settingsFile(), db.embeddedFile(),
                      QString::number(k), QString::number(busy), interval});
            callers << p;
        }
        QHash<qint64, qint64> committed;
        for (QProcess* p : callers) {
            p->waitForFinished(-1);
            for (const QByteArray& line : p->readAllStandardOutput().split('\n')) {
                const auto f = line.split(' ');
                if (f.size() == 2) committed.insert(f[0].toLongLong(), f[1].toLongLong());
            }
            delete p;
        }
        QList<double> latency;
        double idleQueries = 0, idleCpu = 0;
        for (QProcess* p : boards) {
            p->waitForFinished(-1);
            for (const QByteArray& line : p->readAllStandardOutput().split('\n')) {
                const auto f = line.split(' ');
                if (f.size() == 3 && f[0] == "idle") {
                    idleQueries = qMax(idleQueries, f[1].toDouble());
                    idleCpu = qMax(idleCpu, f[2].toDouble());
                } else if (f.size() == 2 && committed.contains(f[0].toLongLong())) {
                    latency << (f[1].toLongLong() - committed.value(f[0].toLongLong())) / 1000.0;
                }
            }
            delete p;
        }
        RecordSet left(c, QStringLiteral("select count(*) from tblCall where status='0'"));
        std::printf("engine=%s counters=%d displays=%d calls=%lld shown=%lld unshown=%lld "
                    "latency_p50_ms=%.2f"
                    " latency_p99_ms=%.2f idle_queries_per_s=%.2f idle_cpu_pct=%.2f\n",
                    qPrintable(db.engine()), counters, displays, qint64(committed.size()),
                    qint64(latency.size()), left.number(0), percentile(latency, 0.5),
                    percentile(latency, 0.99), idleQueries, idleCpu);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace tv::bench
