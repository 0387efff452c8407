// How long it takes to open a record set of 300 rows, the size of a typical
// list screen, over and over.
#include "bench_support.h"

#include "core/connection.h"
#include "core/recordset.h"

#include <QElapsedTimer>
#include <cstdio>

namespace tv::bench {

int runRecordSetBench(const Options& o) {
    BenchDatabase db(o);
    auto c = db.station().dbConnection;
    {
        Connection::WriteTransaction tx(*c);
        for (int i = 1; i <= 300; ++i)
            c->execute(
                QStringLiteral(
                    "insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr,"
                    " attended, attTime, status, ref) values (1, ?, '2026-12-09', ?, '1', ?, 3, ?, "
                    "'Finished', '')"),
                {i, QTime(8, 0).addSecs(i * 30), QStringLiteral("A%1").arg(i),
                 QTime(8, 5).addSecs(i * 30)});
        tx.commit();
    }
    const QString sql = QStringLiteral(
        "Select  tickAuto,no_abr,attTime,finished from tblticket where call='1' and tickDate=? and "
        "attended=? and not status='Cancelled' order by tickAuto desc");
    const int rounds = o.value(QStringLiteral("--rounds"), QStringLiteral("500")).toInt();
    QList<double> ms;
    qint64 rows = 0;
    for (int r = 0; r < rounds + 20; ++r) {
        QElapsedTimer t;
        t.start();
        RecordSet rs(c, sql, {QStringLiteral("2026-12-09"), 3});
        while (!rs.eof()) {
            rows += rs.text(1).size();
            rs.moveNext();
        }
        if (r >= 20) ms << t.nsecsElapsed() / 1e6; // the first rounds warm the caches
    }
    std::printf("engine=%s rows=300 rounds=%d open_read_300_ms=%.3f p99_ms=%.3f\n",
                qPrintable(db.engine()), rounds, percentile(ms, 0.5), percentile(ms, 0.99));
    return rows > 0 ? 0 : 1;
}

} // namespace tv::bench
