// A year of a busy hall: how long a month's report, the month's statistics,
// the spreadsheet export of a big report grid and a backup under load take.
#include "bench_support.h"

#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/flex_grid.h"
#include "reports/backup_ops.h"
#include "reports/grid_export.h"
#include "reports/report_screen.h"
#include "reports/statistics_ops.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <sys/resource.h>

namespace tv::bench {

namespace {

constexpr int services = 8;
constexpr int counters = 20;
constexpr int days = 250;
const QDate firstDay(2026, 1, 5);

double peakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// Four departments of two services, twenty counters, and `tickets` tickets
// spread evenly over 250 days, made by the database itself in one statement.
void fillHall(Connection& c, const QString& engine, qint64 tickets) {
    Connection::WriteTransaction tx(c);
    for (int d = 1; d <= 4; ++d)
        c.execute(
            QStringLiteral("insert into tblDept (deptAuto, deptName, active) values (?, ?, 1)"),
            {d, QStringLiteral("Department %1").arg(d)});
    for (int s = 1; s <= services; ++s)
        c.execute(
            QStringLiteral("insert into tblService (servAuto, deptAuto, servName, abrno,"
                           " startno, endno, active) values (?, ?, ?, ?, 1, 30000, 1)"),
            {s, (s + 1) / 2, QStringLiteral("Service %1").arg(s), QString(QChar(u'A' + s - 1))});
    // Services 1 to 4 have three counters, 5 to 8 two.
    for (int k = 1; k <= counters; ++k)
        c.execute(QStringLiteral("insert into tblCounter (cntAuto, servAuto, contName, displayName,"
                                 " username, active) values (?, ?, ?, ?, ?, 1)"),
                  {k, (k - 1) % services + 1, QStringLiteral("Counter %1").arg(k),
                   QStringLiteral("C%1").arg(k), QStringLiteral("user%1").arg(k)});
    const qint64 perDay = (tickets + days - 1) / days;
    const bool pg = engine == u"postgres";
    // n.i: ticket number in the year; j: within its day. Every 33rd waits,
    // every 29th was cancelled; waits up to 30 minutes, services 2 to 12.
    const QString day =
        pg ? QStringLiteral("to_char(date '2026-01-05' + (n.i / p.per), 'YYYY-MM-DD')")
           : QStringLiteral("date('2026-01-05', '+' || (n.i / p.per) || ' days')");
    const auto at = [&](const QString& seconds) {
        return pg ? QStringLiteral("(time '08:00' + make_interval(secs => %1))").arg(seconds)
                  : QStringLiteral("time('08:00:00', '+' || (%1) || ' seconds')").arg(seconds);
    };
    const QString j = QStringLiteral("(n.i % p.per)");
    const QString issued = QStringLiteral("(%1 * 8)").arg(j);
    const QString called = QStringLiteral("(%1 * 8 + (%1 * 37) % 1800)").arg(j);
    const QString finished =
        QStringLiteral("(%1 * 8 + (%1 * 37) % 1800 + 120 + (%1 * 53) % 600)").arg(j);
    const QString counterIndex =
        QStringLiteral("(%1 % 8 + 8 * ((%1 / 8) % 3) - case when %1 % 8 + 8 * ((%1 / 8) % 3) >= 20"
                       " then 8 else 0 end + 1)")
            .arg(j);
    const QString head =
        pg ? QStringLiteral("with p(per, total) as (select ?::int, ?::int) ")
           : QStringLiteral(
                 "with recursive p(per, total) as (select ?, ?),"
                 " n(i) as (select 0 union all select i + 1 from n, p where i + 1 < p.total) ");
    const QString from =
        pg ? QStringLiteral("p, generate_series(0, p.total - 1) as n(i)") : QStringLiteral("n, p");
    const QString sql =
        head +
        QStringLiteral(
            "insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, attended,"
            " attTime, finished, status)"
            " select %1 % 8 + 1, %1 / 8 + 1, %2, %3,"
            " case when %1 % 33 = 0 then 0 else 1 end,"
            " %8(65 + %1 % 8) || (%1 / 8 + 1),"
            " case when %1 % 33 = 0 then 0 else %4 end,"
            " case when %1 % 33 = 0 then null else %5 end,"
            " case when %1 % 33 = 0 then null else %6 end,"
            " case when %1 % 33 = 0 then null when %1 % 29 = 0 then 'Cancelled' else "
            "'Finished' end"
            " from %7")
            .arg(j, day, at(issued), counterIndex, at(called), at(finished), from,
                 pg ? QStringLiteral("chr") : QStringLiteral("char"));
    const QVariantList binds{perDay, tickets};
    c.execute(sql, binds);
    tx.commit();
    c.execute(QStringLiteral("analyze"));
}

template <typename F> double millis(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int runReportBench(const Options& o) {
    const qint64 tickets =
        o.value(QStringLiteral("--tickets"), QStringLiteral("1000000")).toLongLong();
    BenchDatabase db(o);
    Station& st = db.station();
    const double fillMs = millis([&] { fillHall(*st.dbConnection, db.engine(), tickets); });
    const qint64 stored =
        st.dbConnection->scalar(QStringLiteral("select count(*) from tblTicket")).toLongLong();
    std::printf("engine=%s tickets=%lld fill_ms=%.0f\n", qPrintable(db.engine()), stored, fillMs);

    // One service, one month: the report screen's own refresh (query and grid).
    const QDate from(2026, 3, 1);
    const QDate to(2026, 3, 31);
    ReportScreen screen(st, ReportOps::Kind::Service);
    QList<double> report;
    for (int run = 0; run < 5; ++run) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{screen.filter(), screen.from(), screen.to()})
            w->blockSignals(true);
        screen.filter()->setCurrentText(QStringLiteral("Service 3"));
        screen.from()->setDate(from);
        screen.to()->setDate(to);
        for (QWidget* w :
             std::initializer_list<QWidget*>{screen.filter(), screen.from(), screen.to()})
            w->blockSignals(false);
        report << millis([&] { screen.addFG(); });
    }
    std::printf("month_report_ms=%.1f rows=%d (median of 5; first %.1f)\n", percentile(report, 0.5),
                screen.grid()->rows() - 1, report.first());

    StatisticsOps stats(st);
    QList<double> hall, one;
    int hallTickets = 0;
    for (int run = 0; run < 3; ++run) {
        hall << millis([&] {
            hallTickets =
                stats.compute(StatisticsOps::Scope::Service, QStringLiteral("All"), from, to)
                    .total.issued;
        });
        one << millis([&] {
            stats.compute(StatisticsOps::Scope::Service, QStringLiteral("Service 3"), from, to);
        });
    }
    std::printf("statistics_month_ms=%.1f tickets=%d (whole hall, median of 3)\n",
                percentile(hall, 0.5), hallTickets);
    std::printf("statistics_month_one_service_ms=%.1f\n", percentile(one, 0.5));
    return 0;
}

int runExportBench(const Options& o) {
    const int rows = o.value(QStringLiteral("--rows"), QStringLiteral("80000")).toInt();
    FlexGrid grid;
    grid.setRedraw(false);
    grid.setCols(11);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.setRows(rows + 1);
    const char* heads[] = {"",        "SN",   "Dept.", "Service",  "Token", "Date",
                           "Counter", "From", "To",    "Duration", ""};
    for (int c = 0; c < 11; ++c)
        grid.setTextMatrix(0, c, QLatin1String(heads[c]));
    for (int r = 1; r <= rows; ++r) {
        const QTime t = QTime(8, 0).addSecs(r % 30000);
        const QStringList cells{
            QString::number(r),
            QString::number(r),
            QStringLiteral("Department %1").arg(r % 4 + 1),
            QStringLiteral("Service %1").arg(r % 8 + 1),
            QStringLiteral("A%1").arg(r % 500 + 1),
            QDate(2026, 3, 1).addDays(r % 31).toString(QStringLiteral("yyyy-MM-dd")),
            QStringLiteral("user%1").arg(r % 20 + 1),
            t.toString(QStringLiteral("HH:mm:ss")),
            t.addSecs(300).toString(QStringLiteral("HH:mm:ss")),
            QString::number(5),
            QString()};
        for (int c = 0; c < 11; ++c)
            grid.setTextMatrix(r, c, cells[c]);
    }
    grid.setRedraw(true);
    const double before = peakRssMb();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("export.xlsx"));
    excel::Result result;
    const double ms = millis([&] {
        result = excel::exportGridToFile(grid, QStringLiteral("Report-Department Based"), true,
                                         true, file);
    });
    if (!result.ok) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(result.message));
        return 1;
    }
    const double plainMs = millis([&] {
        excel::exportGridToFile(grid, QStringLiteral("plain"), false, false,
                                dir.filePath(QStringLiteral("plain.xlsx")));
    });
    std::printf("export_ms=%.0f rows=%d file_kb=%lld (texts only: %.0f ms)\n", ms, rows,
                QFile(file).size() / 1024, plainMs);
    std::printf("peak_rss_mb=%.0f (grid alone %.0f)\n", peakRssMb(), before);
    return 0;
}

int runBackupBench(const Options& o) {
    Options sqlite = o;
    sqlite.engine = QStringLiteral("sqlite");
    const qint64 tickets =
        o.value(QStringLiteral("--tickets"), QStringLiteral("1000000")).toLongLong();
    BenchDatabase db(sqlite);
    Station& st = db.station();
    fillHall(*st.dbConnection, db.engine(), tickets);
    st.dbConnection->execute(QStringLiteral("pragma wal_checkpoint(truncate)"));
    const qint64 size = QFile(db.embeddedFile()).size();

    // A kiosk issuing all the while.
    QProcess kiosk;
    kiosk.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("issue-worker"), db.settingsFile(), db.embeddedFile(),
                 QStringLiteral("ticket"), QStringLiteral("1"), QStringLiteral("0"),
                 QStringLiteral("30")});
    kiosk.waitForStarted();
    QThread::msleep(500);
    const qint64 before =
        st.dbConnection->scalar(QStringLiteral("select count(*) from tblTicket")).toLongLong();
    QTemporaryDir target;
    BackupOps ops(st);
    BackupOps::Result r;
    const double backupMs = millis([&] { r = ops.backupEmbedded(target.path()); });
    const qint64 after =
        st.dbConnection->scalar(QStringLiteral("select count(*) from tblTicket")).toLongLong();
    kiosk.kill();
    kiosk.waitForFinished();
    if (!r.ok) {
        std::fprintf(stderr, "backup failed: %s\n", qPrintable(r.message));
        return 1;
    }
    QTemporaryDir plain;
    const double cpMs =
        millis([&] { QFile::copy(db.embeddedFile(), plain.filePath(QStringLiteral("copy.db"))); });
    // The copy: whole, and holding every ticket committed before it began.
    qint64 inCopy = 0;
    QString integrity;
    {
        QSqlDatabase copy =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("copy"));
        copy.setDatabaseName(r.file);
        copy.open();
        QSqlQuery q(copy);
        q.exec(QStringLiteral("pragma integrity_check"));
        integrity = q.next() ? q.value(0).toString() : QStringLiteral("unreadable");
        q.exec(QStringLiteral("select count(*) from tblTicket"));
        inCopy = q.next() ? q.value(0).toLongLong() : -1;
        copy.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("copy"));
    std::printf("file_mb=%.0f backup_ms=%.0f cp_ms=%.0f\n", size / 1048576.0, backupMs, cpMs);
    std::printf("restored_integrity=%s tickets_before=%lld in_copy=%lld after=%lld\n",
                qPrintable(integrity), before, inCopy, after);
    return integrity == QStringLiteral("ok") && inCopy >= before ? 0 : 1;
}

} // namespace tv::bench
