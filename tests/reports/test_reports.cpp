// The ticket reports, the statistics and the clearing of old data, on a
// small hall whose figures are known by hand.
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "reports/clearing_screens.h"
#include "reports/report_ops.h"
#include "reports/report_screen.h"
#include "reports/statistics_ops.h"
#include "reports/statistics_screen.h"
#include "test_station.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

using namespace tv;
using namespace tv::test;

namespace {
using Kind = ReportOps::Kind;
const QDate feb1(2017, 2, 1);
const QDate feb28(2017, 2, 28);
} // namespace

class ReportsTest : public QObject {
    Q_OBJECT

public:
    explicit ReportsTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        Dialogs::clearMessages();
        st().clock().setFixed(QDateTime(QDate(2017, 2, 14), QTime(12, 0)));
        exec("insert into tblDept (deptAuto, deptName, active) values (1, 'Cardiology', 1),"
             " (2, 'Laboratory', 1), (3, 'Closed', 0)");
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, active) values"
             " (10, 1, 'ECG', 'E', 1), (11, 2, 'Blood Test', 'B', 1), (12, 2, 'X-Ray', 'X', 0)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, username, active)"
             " values (3, 10, 'Room 3', 'R3', 'dr.rao', 1), (4, 11, 'Room 4', 'R4', 'nurse', 1)");
        // ECG: five called tickets in February (one on each end of the month),
        // one waiting, one outside the range, one called by a counter that
        // no longer exists.
        ticket(10, 1, "2017-02-01", "1", 3, "09:00:00", "09:05:00");
        ticket(10, 2, "2017-02-14", "1", 3, "09:10:00", "09:20:00");
        ticket(10, 3, "2017-02-14", "1", 3, "09:20:00", {});
        ticket(10, 4, "2017-02-14", "1", 3, "09:30:00", "09:45:00");
        ticket(10, 5, "2017-02-28", "1", 3, "10:00:00", "10:05:00");
        ticket(10, 6, "2017-02-14", "0", 0, {}, {});
        ticket(10, 7, "2017-03-01", "1", 3, "10:00:00", "10:30:00");
        ticket(10, 8, "2017-02-14", "1", 99, "11:00:00", "11:10:00");
        ticket(11, 1, "2017-02-14", "1", 4, "09:00:00", "09:12:00");
    }

    void departmentReportTakesTheCalledTicketsOfTheRange() {
        ReportOps ops(st(), Kind::Department);
        QCOMPARE(ops.filterNames(), QStringList({"Cardiology", "Laboratory"}));
        const auto rows = ops.rows("Cardiology", feb1, feb28, false);
        QCOMPARE(tokens(rows), QStringList({"E1", "E2", "E3", "E4", "E5", "E8"}));
        const auto e2 = find(rows, "E2");
        QCOMPARE(e2.cells, QStringList({"Cardiology", "ECG", "E2", "2017-02-14", "dr.rao",
                                        "09:10:00", "09:20:00", "10"}));
        // an unfinished ticket has no end and no duration; a counter that is
        // gone leaves its cell empty
        QCOMPARE(find(rows, "E3").cells.mid(6), QStringList({"", ""}));
        QCOMPARE(find(rows, "E8").cells.at(4), QString());
        // every name at once, and a range turned round
        QCOMPARE(ops.rows("All", feb1, feb28, false).size(), 7);
        QCOMPARE(ops.rows("All", feb28, feb1, false).size(), 0);
        QCOMPARE(ops.rows("", feb1, feb28, false).size(), 0);
        // a name is a value, never statement text
        QCOMPARE(ops.rows("x' or '1'='1", feb1, feb28, true).size(), 0);
    }

    void showAllAddsWaitingTickets() {
        ReportOps ops(st(), Kind::Service);
        const auto rows = ops.rows("ECG", feb1, feb28, true);
        QCOMPARE(rows.size(), 7);
        QCOMPARE(find(rows, "E6").cells.mid(4), QStringList({"", "", "", ""}));
    }

    void theCounterReportNeedsACounterRow() {
        ReportOps ops(st(), Kind::Counter);
        QCOMPARE(ops.filterNames(), QStringList({"Room 3", "Room 4"}));
        QCOMPARE(tokens(ops.rows("All", feb1, feb28, true)),
                 QStringList({"E1", "E2", "E3", "E4", "E5", "B1"}));
        QCOMPARE(tokens(ops.rows("room 4", feb1, feb28, false)), QStringList({"B1"}));
    }

    void thePendingReportListsOnlyWaitingTickets() {
        ReportOps ops(st(), Kind::Pending);
        QCOMPARE(tokens(ops.rows("All", feb1, feb28, false)), QStringList({"E6"}));
        QCOMPARE(tokens(ops.rows("All", feb1, feb28, true)), QStringList({"E6"}));
    }

    void averageInTheGeneralNumberFormat() {
        const auto text = [](const QStringList& d) {
            return ReportOps::averageText(ReportOps::average(d));
        };
        QCOMPARE(text({"5", "10", "", "15", "5", "10"}), QString("Average Time : 7.5"));
        QCOMPARE(text({"12", "12", "13"}), QString("Average Time : 12.3333333333333"));
        QCOMPARE(text({"", "x"}), QString("Average Time : 0"));
        QCOMPARE(text({}), QString("Average Time : "));
    }

    void screensOpenAsTheirLoadOrderSays() {
        ReportScreen dept(st(), Kind::Department);
        QCOMPARE(dept.objectName(), QString("frmReport"));
        QCOMPARE(dept.windowTitle(), QString("Report-Department Based"));
        QCOMPARE(dept.filter()->currentText(), QString());
        QCOMPARE(dept.filter()->itemText(dept.filter()->count() - 1), QString("All"));
        QCOMPARE(dept.grid()->rows(), 1); // nothing chosen yet
        QCOMPARE(dept.grid()->cols(), 11);
        QCOMPARE(dept.grid()->colWidth(0), 1);
        QCOMPARE(dept.grid()->textMatrix(0, 9), QString("Duration"));
        QCOMPARE(dept.from()->date(), QDate(2017, 2, 14));

        ReportScreen pending(st(), Kind::Pending);
        QCOMPARE(pending.windowTitle(), QString("Pending Reports"));
        QCOMPARE(pending.filter()->currentText(), QString("All"));
        QCOMPARE(pending.grid()->rows(), 2); // today's waiting ticket
        QCOMPARE(pending.grid()->textMatrix(1, 4), QString("E6"));
        QCOMPARE(pending.average()->text(), QString("Average Time : 0"));
    }

    void choosingRefreshesTheGridAndTheAverage() {
        ReportScreen screen(st(), Kind::Service);
        screen.from()->setDate(feb1);
        screen.to()->setDate(feb28);
        screen.filter()->setCurrentText("ECG");
        QCOMPARE(screen.grid()->rows(), 7);
        QCOMPARE(screen.grid()->textMatrix(1, 1), QString("1"));
        // 5 + 10 + 0 + 15 + 5 + 10 minutes over six tickets
        QCOMPARE(screen.average()->text(), QString("Average Time : 7.5"));
        screen.showAll()->click();
        QCOMPARE(screen.grid()->rows(), 8);
        QCOMPARE(screen.average()->text(), QString());
        screen.showAll()->click();
        screen.filter()->setCurrentText("Blood Test");
        QCOMPARE(screen.grid()->rows(), 2);
        screen.from()->setDate(QDate(2017, 2, 15));
        QCOMPARE(screen.grid()->rows(), 1);
        QCOMPARE(screen.average()->text(), QString("Average Time : "));
        QVERIFY(Dialogs::shownTexts().isEmpty());
    }

    void theActiveChildIsWhatTheConsoleExports() {
        QMdiArea area;
        auto* dept = new ReportScreen(st(), Kind::Department);
        auto* stats = new StatisticsScreen(st());
        QMdiSubWindow* first = area.addSubWindow(dept);
        QMdiSubWindow* second = area.addSubWindow(stats);
        area.show();
        first->show();
        second->show();
        QCOMPARE(st().exportSource.data(), static_cast<QObject*>(stats)); // opened last
        area.setActiveSubWindow(first);
        QCOMPARE(st().exportSource.data(), static_cast<QObject*>(dept));
        area.setActiveSubWindow(second);
        QCOMPARE(st().exportSource.data(), static_cast<QObject*>(stats));
        delete second;
        QVERIFY(st().exportSource.data() != static_cast<QObject*>(stats));
    }

    void aFailingQueryLeavesNoStaleRows() {
        ReportScreen screen(st(), Kind::Department);
        screen.from()->setDate(feb1);
        screen.to()->setDate(feb28);
        screen.filter()->setCurrentText("Cardiology");
        QCOMPARE(screen.grid()->rows(), 7);
        exec("alter table tblDept rename to tblDept_away");
        screen.addFG();
        exec("alter table tblDept_away rename to tblDept");
        QCOMPARE(screen.grid()->rows(), 1);
        QCOMPARE(screen.average()->text(), QString());
        QCOMPARE(Dialogs::shownTexts().size(), 1);
    }

    void statisticsPerHourServiceAndCounter() {
        StatisticsOps ops(st());
        const auto r = ops.compute(StatisticsOps::Scope::Service, "All", QDate(2017, 2, 14),
                                   QDate(2017, 2, 14));
        // E2, E3, E4, E6, E8 and B1 that day; E6 waits.
        QCOMPARE(r.total.issued, 6);
        QCOMPARE(r.total.called, 5);
        QCOMPARE(r.total.pending, 1);
        // issued at 08:00 (see ticket()); waits 70, 80, 90, 180, 60 minutes
        QCOMPARE(*r.total.waitMedian, 80.0);
        QCOMPARE(*r.total.waitP90, 144.0); // 90 + 0.6 * (180 - 90)
        // services 10, 15, 10, 12 (E3 unfinished)
        QCOMPARE(*r.total.serviceMedian, 11.0);
        QCOMPARE(r.byHour.size(), 3); // 8, 9 and 11 o'clock
        QCOMPARE(r.byHour[0].name, QString("08:00-09:00"));
        QCOMPARE(r.byHour[0].figures.issued, 6);
        QCOMPARE(r.byHour[0].figures.called, 0);
        QCOMPARE(r.byHour[1].name, QString("09:00-10:00"));
        QCOMPARE(r.byHour[1].figures.called, 4);            // B1, E2, E3, E4
        QVERIFY(!r.byHour[1].figures.waitMedian);           // nobody was issued then
        QCOMPARE(*r.byHour[1].figures.serviceMedian, 12.0); // 10, 12, 15
        QCOMPARE(r.byService.size(), 2);
        QCOMPARE(r.byService[1].name, QString("ECG"));
        QCOMPARE(r.byService[1].figures.issued, 5);
        QCOMPARE(r.byCounter.size(), 3);
        QCOMPARE(r.byCounter[0].name, QString("#99")); // a counter that is gone
        QCOMPARE(r.byCounter[2].name, QString("Room 4"));
        QCOMPARE(*r.byCounter[2].figures.waitMedian, 60.0);

        const auto one = ops.compute(StatisticsOps::Scope::Counter, "Room 3", QDate(2017, 2, 14),
                                     QDate(2017, 2, 14));
        QCOMPARE(one.total.called, 3);
        QCOMPARE(ops.compute(StatisticsOps::Scope::Department, "nobody", feb1, feb28).total.issued,
                 0);
        QList<double> none;
        QVERIFY(!StatisticsOps::percentile(none, 0.5));
    }

    void statisticsScreenShowsGridAndChart() {
        StatisticsScreen screen(st());
        QCOMPARE(screen.filter()->currentText(), QString("All"));
        QCOMPARE(screen.grid()->textMatrix(1, 1), QString("All tickets"));
        QCOMPARE(screen.grid()->textMatrix(1, 2), QString("6"));
        QCOMPARE(screen.chart()->groups().size(), 3);
        screen.scope()->setCurrentIndex(2); // counters
        QCOMPARE(screen.filter()->itemText(0), QString("Room 3"));
        screen.resize(900, 700);
        screen.show();
        const QImage shot = screen.grab().toImage();
        QVERIFY(!shot.isNull());
        const QString keep = qEnvironmentVariable("TALLYVOX_KEEP_SCREENSHOTS");
        if (!keep.isEmpty()) shot.save(keep + "/statistics.png");
    }

    void clearingDeletesExactlyTheChosenRows() {
        ClearDataScreen screen(st());
        QCOMPARE(screen.windowTitle(), QString("Clear Data"));
        screen.from()->setDate(feb1);
        screen.to()->setDate(feb28);
        screen.filter()->setCurrentText("Cardiology");
        FlexGrid* fg = screen.grid();
        QCOMPARE(fg->rows(), 7);
        // every ticket with a visitor's status code; the codes go with their tickets
        exec("insert into tv_ticket_code (tickAuto, codeHash) select tickAuto, 'h' || tickAuto"
             " from tblTicket");
        // downwards: rows 1 to 3
        const QStringList first = {fg->textMatrix(1, 4), fg->textMatrix(2, 4),
                                   fg->textMatrix(3, 4)};
        fg->setRow(1);
        fg->setRowSel(3);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        screen.deleteSelected();
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Are you want to Delete?              "));
        QCOMPARE(fg->rows(), 4);
        for (const QString& t : first)
            QCOMPARE(count("select * from tblTicket where no_abr=?", {t}), 0);
        // upwards: the anchor below the other end
        fg->setRow(3);
        fg->setRowSel(2);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        screen.deleteSelected();
        QCOMPARE(fg->rows(), 2);
        // No, or the heading row chosen: nothing goes, the grid is fresh
        fg->setRow(1);
        Dialogs::setNextAnswer(QMessageBox::No);
        screen.deleteSelected();
        fg->setRow(0);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        screen.deleteSelected();
        QCOMPARE(fg->rows(), 2);
        QCOMPARE(count("select * from tblTicket"), 4); // E6, E7, B1 and the row left in the grid
        QCOMPARE(count("select * from tv_ticket_code"), 4);
        QCOMPARE(count("select * from tv_ticket_code c where not exists (select 1 from tblTicket t"
                       " where t.tickAuto = c.tickAuto)"),
                 0);
    }

    void callRecordsBeforeADayGo() {
        for (const char* day : {"2017-02-12", "2017-02-13", "2017-02-14", "2017-02-15"})
            exec("insert into tblCall (servAuto, callToken, callCounter, status, tickAuto,"
                 " tickDate, callRoom) values (3, 'E1', 'R3', '1', 1, ?, '')",
                 {QString(day)});
        CallDeleteScreen screen(st());
        QCOMPARE(screen.day()->date(), QDate(2017, 2, 14));
        Dialogs::setNextAnswer(QMessageBox::No);
        screen.deleteCalls();
        QCOMPARE(count("select * from tblCall"), 4);
        Dialogs::clearMessages();
        Dialogs::setNextAnswer(QMessageBox::Yes);
        screen.deleteCalls();
        QCOMPARE(Dialogs::shownTexts(),
                 QStringList({"Do you want to Delete ", "Successfully Deleted "}));
        QCOMPARE(count("select * from tblCall"), 2);
        QCOMPARE(count("select * from tblCall where tickDate < '2017-02-14'"), 0);
        // a failure says why, and no success
        exec("alter table tblCall rename to tblCall_away");
        Dialogs::clearMessages();
        Dialogs::setNextAnswer(QMessageBox::Yes);
        screen.deleteCalls();
        exec("alter table tblCall_away rename to tblCall");
        QVERIFY(!Dialogs::shownTexts().contains("Successfully Deleted "));
        QCOMPARE(Dialogs::shownTexts().size(), 2);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    int count(const QString& sql, const QVariantList& b = {}) {
        return RecordSet(st().dbConnection, sql, b).recordCount();
    }
    // Every ticket is issued at 08:00.
    void ticket(int service, int no, const QString& day, const QString& call, int counter,
                const QString& at, const QString& finished) {
        exec("insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, attended,"
             " attTime, finished, status) values (?, ?, ?, '08:00:00', ?, ?, ?, ?, ?, ?)",
             {service, no, day, call.toInt(),
              QString("%1%2").arg(service == 10 ? "E" : "B").arg(no), counter,
              at.isEmpty() ? QVariant() : QVariant(at),
              finished.isEmpty() ? QVariant() : QVariant(finished),
              call == "1" ? QVariant("Finished") : QVariant()});
    }
    static QStringList tokens(const QList<ReportOps::Row>& rows) {
        QStringList out;
        for (const auto& r : rows)
            out << r.cells.at(2);
        std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
            return a.left(1) == b.left(1) ? a.mid(1).toInt() < b.mid(1).toInt() : a > b;
        });
        return out;
    }
    static ReportOps::Row find(const QList<ReportOps::Row>& rows, const QString& token) {
        for (const auto& r : rows)
            if (r.cells.at(2) == token) return r;
        return {};
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(ReportsTest)
#include "test_reports.moc"
