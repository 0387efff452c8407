// Counters of one service calling through a queue as fast as they can. One
// Next = finish the current ticket + claim the next waiting one + its call record.
#include "bench_support.h"

#include "calling/calling_ops.h"
#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <cstdio>

namespace tv::bench {

// call-worker SETTINGS DATA COUNTER SERVICE INTERVAL_MS OFFSET_MS: prints each Next's
// time in ms. With an interval, the counter presses Next at that pace.
int runCallWorker(const QStringList& a) {
    if (a.size() < 6) return 2;
    const int interval = a[4].toInt();
    const int offset = a[5].toInt(); // counters do not all press at the same instant
    Station st(QStringLiteral("bench-counter"), a[0]);
    st.setEmbeddedFile(a[1]);
    if (!st.openConnection()) {
        std::fprintf(stderr, "worker: %s\n", qPrintable(st.lastConnectionError()));
        return 1;
    }
    st.login.counterId = static_cast<qint16>(a[2].toInt());
    st.login.serviceId = static_cast<qint16>(a[3].toInt());
    st.login.counterDisplayName = QStringLiteral("C") + a[2];
    CallingOps ops(st);
    constexpr qint64 warmUp = 2;
    QList<double> ms;
    QElapsedTimer pace;
    pace.start();
    for (qint64 n = 1;; ++n) {
        if (interval > 0) {
            const qint64 due = n * interval + offset - pace.elapsed();
            if (due > 0) QThread::msleep(static_cast<unsigned long>(due));
        }
        QElapsedTimer t;
        t.start();
        try {
            ops.next();
        } catch (const DbError& e) {
            std::fprintf(stderr, "worker: %s\n", qPrintable(e.description()));
            return 1;
        }
        if (ops.label1() == CallingOps::State::Idle) break;
        // A station's first Next prepares its statements on the new connection:
        // it happens once a day, so it is left out like any warm-up.
        if (n > warmUp) ms << t.nsecsElapsed() / 1e6;
    }
    QByteArray out;
    for (double v : ms)
        out += QByteArray::number(v, 'f', 3) + '\n';
    std::fwrite(out.constData(), 1, out.size(), stdout);
    return 0;
}

int runCallBench(const Options& o) {
    BenchDatabase db(o);
    QList<int> countersList;
    if (const QString p = o.value(QStringLiteral("--counters")); !p.isEmpty())
        countersList << p.toInt();
    else
        countersList << 1 << 4 << 20;
    const int tickets = o.value(QStringLiteral("--tickets"), QStringLiteral("2000")).toInt();
    const QString interval = o.value(QStringLiteral("--interval-ms"), QStringLiteral("0"));
    auto c = db.station().dbConnection;
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    int service = 0;
    for (int counters : countersList) {
        ++service; // a queue of its own per configuration
        {
            Connection::WriteTransaction tx(*c);
            for (int n = 1; n <= tickets; ++n)
                c->execute(QStringLiteral("insert into tblTicket (servAuto, tickNo, tickDate, "
                                          "tickTime, call, no_abr, attended)"
                                          " values (?, ?, ?, '08:00:00', 0, ?, 0)"),
                           {service, n, today, QStringLiteral("Q%1").arg(n)});
            tx.commit();
        }
        QList<QProcess*> workers;
        QElapsedTimer wall;
        wall.start();
        for (int k = 1; k <= counters; ++k) {
            auto* p = new QProcess;
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("call-worker"), db.settingsFile(), db.embeddedFile(),
                      QString::number(service * 100 + k), QString::number(service), interval,
                      QString::number(interval.toInt() * (k - 1) / counters)});
            workers << p;
        }
        QList<double> ms;
        for (QProcess* p : workers) {
            p->waitForFinished(-1);
            const QList<QByteArray> lines = p->readAllStandardOutput().split('\n');
            for (const QByteArray& line : lines)
                if (!line.isEmpty()) ms << line.toDouble();
            delete p;
        }
        const double seconds = wall.nsecsElapsed() / 1e9;
        RecordSet check(
            c,
            QStringLiteral("select count(*), count(distinct k.tickAuto) from tblCall k, tblTicket t"
                           " where k.tickAuto = t.tickAuto and t.servAuto=?"),
            {service});
        RecordSet left(
            c, QStringLiteral("select count(*) from tblTicket where servAuto=? and call='0'"),
            {service});
        std::printf("engine=%s interval_ms=%s counters=%d next_per_s=%.0f called_twice=%lld "
                    "skipped=%lld next_p50_ms=%.2f next_p99_ms=%.2f\n",
                    qPrintable(db.engine()), qPrintable(interval), counters,
                    (tickets - left.number(0)) / seconds, check.number(0) - check.number(1),
                    left.number(0), percentile(ms, 0.5), percentile(ms, 0.99));
        std::fflush(stdout);
    }
    return 0;
}

} // namespace tv::bench
