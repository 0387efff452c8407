// Kiosks issuing for one service as fast as they can, against the engine's own
// rate of single-row insert transactions on the same table in the same run.
#include "bench_support.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "tickets/token_allocation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

namespace tv::bench {

namespace {

// Starts `procs` workers of `mode` and returns the sum of what they report.
qint64 runWorkers(const BenchDatabase& db, const QString& mode, int service, int procs,
                  double seconds) {
    QList<QProcess*> workers;
    for (int k = 0; k < procs; ++k) {
        auto* p = new QProcess;
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("issue-worker"), db.settingsFile(), db.embeddedFile(), mode,
                  QString::number(service), QString::number(k), QString::number(seconds)});
        workers << p;
    }
    qint64 total = 0;
    for (QProcess* p : workers) {
        p->waitForFinished(-1);
        total += p->readAllStandardOutput().trimmed().toLongLong();
        delete p;
    }
    return total;
}
} // namespace

// issue-worker SETTINGS DATA MODE SERVICE INDEX SECONDS: prints how many it stored.
int runIssueWorker(const QStringList& a) {
    if (a.size() < 6) return 2;
    Station st(QStringLiteral("bench-worker"), a[0]);
    st.setEmbeddedFile(a[1]);
    if (!st.openConnection()) {
        std::fprintf(stderr, "worker: %s\n", qPrintable(st.lastConnectionError()));
        return 1;
    }
    const bool raw = a[2] == u"raw";
    const auto service = static_cast<qint16>(a[3].toInt());
    const int index = a[4].toInt();
    const double seconds = a[5].toDouble();
    TokenAllocation tokens(st);
    auto c = st.dbConnection;
    QElapsedTimer t;
    t.start();
    qint64 done = 0;
    const QString sql = QStringLiteral(
        "insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, attended)"
        " values (?, ?, ?, ?, 0, ?, 0)");
    while (t.elapsed() < seconds * 1000) {
        try {
            if (raw) {
                // Each raw writer has a service of its own, so its numbers never meet.
                const qint64 n = done % 30000 + 1;
                c->execute(sql,
                           {service * 100 + index, n, QStringLiteral("raw-%1").arg(done / 30000),
                            QTime::currentTime(), QStringLiteral("X%1").arg(n)});
                ++done;
            } else if (tokens.issue(service, QDate::currentDate()).outcome ==
                       TokenAllocation::Issued::Outcome::Issued) {
                ++done;
            }
        } catch (const DbError& e) {
            std::fprintf(stderr, "worker: %s\n", qPrintable(e.description()));
        }
    }
    std::printf("%lld\n", done);
    return 0;
}

int runIssueBench(const Options& o) {
    BenchDatabase db(o);
    const double seconds = o.value(QStringLiteral("--seconds"), QStringLiteral("3")).toDouble();
    QList<int> procsList;
    if (const QString p = o.value(QStringLiteral("--procs")); !p.isEmpty())
        procsList << p.toInt();
    else
        procsList << 1 << 2 << 8;

    auto c = db.station().dbConnection;
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    int service = 0;
    for (int procs : procsList) {
        // A service of its own per configuration: nothing deleted between runs
        // (dead rows would slow the later runs down).
        ++service;
        c->execute(QStringLiteral("insert into tblService (servAuto, deptAuto, servName, abrno, "
                                  "startno, endno, active)"
                                  " values (?, 1, ?, 'B', 1, 32767, 1)"),
                   {service, QStringLiteral("Bench %1").arg(service)});
        const qint64 raw = runWorkers(db, QStringLiteral("raw"), service, procs, seconds);
        const qint64 issued = runWorkers(db, QStringLiteral("issue"), service, procs, seconds);
        RecordSet check(
            c,
            QStringLiteral("select count(*), count(distinct tickNo), min(tickNo), max(tickNo)"
                           " from tblticket where servAuto=? and tickDate=?"),
            {service, today});
        const qint64 stored = check.number(0);
        const qint64 distinct = check.number(1);
        // numbers must run without a gap from the start number
        const qint64 gaps = stored == 0 ? 0 : (check.number(3) - check.number(2) + 1) - distinct;
        std::printf("engine=%s procs=%d tickets_per_s=%.0f raw_insert_per_s=%.0f ratio=%.2f "
                    "duplicates=%lld lost=%lld gaps=%lld\n",
                    qPrintable(db.engine()), procs, issued / seconds, raw / seconds,
                    raw ? double(issued) / double(raw) : 0.0, stored - distinct, issued - stored,
                    gaps);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace tv::bench
