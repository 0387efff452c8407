// The kiosk: departments, services, "<-Back", issuing and what it prints.
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "core/ui/elided_label.h"
#include "core/ui/flex_grid.h"
#include "test_station.h"
#include "tickets/ticket_screen.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QLabel>

using namespace tv;
using namespace tv::test;

class TicketScreenTest : public QObject {
    Q_OBJECT

public:
    explicit TicketScreenTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        qputenv("TALLYVOX_HOME", m_home.path().toUtf8());
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() {
        m_db.reset();
        qunsetenv("TALLYVOX_HOME");
    }
    void init() {
        m_db->clearTables();
        Dialogs::clearMessages();
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        st().settings().set(keys::PrintCopies, 1);
        st().settings().set(keys::TicketScreen, "Normal");
        exec("insert into tblDept (deptAuto, deptName, active) values (1, ?, 1)", {"Laboratory"});
        exec("insert into tblDept (deptAuto, deptName, active) values (2, ?, 0)", {"Closed Wing"});
        exec("insert into tblDept (deptAuto, deptName, active) values (3, ?, 1)", {"Pharmacy"});
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, "
             "servdesc, active) values (10, 1, ?, 'B', 1, 2, '', 1)",
             {"Blood Test"});
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, "
             "servdesc, active) values (11, 1, ?, 'U', 1, 99, '', 0)",
             {"Urine Test"});
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, "
             "servdesc, active) values (12, 3, ?, 'P', 1, 99, '', 0)",
             {"Collect"});
        QDir(pdfFolder()).removeRecursively();
    }

    void departmentsThenServicesThenBack() {
        TicketScreen screen(st());
        pdfOnly(screen);
        FlexGrid* fg = screen.grid();
        QCOMPARE(screen.objectName(), QString("frmTicket"));
        QCOMPARE(screen.windowTitle(), QString("Print Ticket"));
        QCOMPARE(screen.ticketStage(), qint16(0));
        QCOMPARE(fg->textMatrix(0, 1), QString("Select Department"));
        QCOMPARE(fg->colWidth(0), 1);
        QCOMPARE(fg->colWidth(1), 5000);
        QCOMPARE(rowTexts(fg), QStringList({"Laboratory", "Pharmacy"}));

        screen.touchRow(0); // the heading does nothing
        QCOMPARE(screen.ticketStage(), qint16(0));

        screen.touchRow(1);
        QCOMPARE(screen.ticketStage(), qint16(1));
        QCOMPARE(fg->textMatrix(0, 1), QString("Select Service"));
        QCOMPARE(fg->colWidth(1), 4000);
        QCOMPARE(rowTexts(fg), QStringList({"Blood Test", "<-Back"}));
        QCOMPARE(fg->textMatrix(2, 0), QString()); // "<-Back" has no key

        screen.touchRow(2);
        QCOMPARE(screen.ticketStage(), qint16(0));
        QCOMPARE(rowTexts(fg), QStringList({"Laboratory", "Pharmacy"}));
    }

    void departmentWithoutActiveServices() {
        TicketScreen screen(st());
        pdfOnly(screen);
        screen.touchRow(2); // Pharmacy: its only service is inactive
        QCOMPARE(screen.grid()->rows(), 2);
        QCOMPARE(rowTexts(screen.grid()), QStringList({"<-Back"}));
    }

    void touchingAServiceIssuesAndReturns() {
        TicketScreen screen(st());
        pdfOnly(screen);
        screen.touchRow(1);
        screen.touchRow(1);
        QCOMPARE(screen.ticketStage(), qint16(0));
        RecordSet rs(st().dbConnection, "select no_abr, tickDate from tblticket");
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.text(0), QString("B1"));
        QCOMPARE(rs.text(1), QString("2026-12-09"));
        QCOMPARE(printedTickets(), 1);
        QVERIFY(Dialogs::shownTexts().isEmpty());
    }

    void copiesPrintButStoreOnce() {
        st().settings().set(keys::PrintCopies, 2);
        TicketScreen screen(st());
        pdfOnly(screen);
        QCOMPARE(screen.ticketCopies(), 2);
        screen.touchRow(1);
        screen.touchRow(1);
        QCOMPARE(printedTickets(), 2);
        QCOMPARE(RecordSet(st().dbConnection, "select * from tblticket").recordCount(), 1);
    }

    void copiesStayBetweenOneAndTen() {
        // -3 used to store a ticket and print none; 100000 froze the kiosk
        st().settings().set(keys::PrintCopies, -3);
        TicketScreen few(st());
        pdfOnly(few);
        QCOMPARE(few.ticketCopies(), 1);
        few.touchRow(1);
        few.touchRow(1);
        QCOMPARE(printedTickets(), 1);
        st().settings().set(keys::PrintCopies, 100000);
        QCOMPARE(TicketScreen(st()).ticketCopies(), 10);
        st().settings().set(keys::PrintCopies, "junk");
        QCOMPARE(TicketScreen(st()).ticketCopies(), 1);
    }

    void aFailedPrintIsReportedAndTheTicketKept() {
        TicketScreen screen(st());
        pdfOnly(screen);
        // the folder the tickets go to cannot be made: a file stands in its way
        QDir().mkpath(QFileInfo(pdfFolder()).path());
        QDir(pdfFolder()).removeRecursively();
        QFile blocker(pdfFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        screen.touchRow(1);
        screen.touchRow(1);
        QFile::remove(pdfFolder());
        QVERIFY(!screen.lastPrinted().ok());
        const QString status = screen.findChild<QLabel*>("lblStatus")->text();
        QVERIFY2(status.startsWith("Ticket B1 stored; printing failed: cannot write "),
                 qPrintable(status));
        QCOMPARE(RecordSet(st().dbConnection, "select * from tblticket").recordCount(), 1);
    }

    void aLongStatusNeverWidensTheKiosk() {
        TicketScreen screen(st());
        pdfOnly(screen);
        screen.resize(400, 600);
        screen.show();
        const int before = screen.width();
        screen.touchRow(1);
        screen.touchRow(1); // "kept as <a long path>"
        QApplication::processEvents();
        auto* status = screen.findChild<ElidedLabel*>("lblStatus");
        QCOMPARE(screen.width(), before);
        QVERIFY(status->text().endsWith("(no printer)"));
        // what fits shows both ends of the path
        QVERIFY(status->shownText().startsWith("Ticket B1"));
        QVERIFY(status->shownText().endsWith("(no printer)"));
    }

    void limitIsSaidAndNothingStored() {
        TicketScreen screen(st());
        pdfOnly(screen);
        for (int i = 0; i < 3; ++i) {
            screen.touchRow(1);
            screen.touchRow(1);
        }
        QCOMPARE(Dialogs::shownTexts(), QStringList({"Limit"}));
        QCOMPARE(RecordSet(st().dbConnection, "select * from tblticket").recordCount(), 2);
        QCOMPARE(printedTickets(), 2);
        QCOMPARE(screen.ticketStage(), qint16(0));
    }

    void dateBoxChoosesTheDayAndReturnsToToday() {
        TicketScreen screen(st());
        pdfOnly(screen);
        auto* dt = screen.findChild<QDateEdit*>("DT");
        QCOMPARE(dt->date(), QDate(2026, 12, 9));
        dt->setDate(QDate(2026, 12, 10));
        screen.touchRow(1);
        screen.touchRow(1);
        QCOMPARE(RecordSet(st().dbConnection, "select tickDate from tblticket").text(0),
                 QString("2026-12-10"));
        QCOMPARE(dt->date(), QDate(2026, 12, 9));
    }

    void aKioskLeftOpenOvernightIssuesForTheNewDay() {
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(23, 59)));
        TicketScreen screen(st());
        pdfOnly(screen);
        auto* dt = screen.findChild<QDateEdit*>("DT");
        // yesterday's last answer was "Limit": the box was not reset then
        for (int i = 0; i < 3; ++i) {
            screen.touchRow(1);
            screen.touchRow(1);
        }
        QCOMPARE(Dialogs::shownTexts(), QStringList({"Limit"}));
        st().clock().setFixed(QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
        screen.touchRow(1);
        screen.touchRow(1);
        QCOMPARE(RecordSet(st().dbConnection, "select tickDate from tblticket where tickNo=1 "
                                              "order by tickDate desc")
                     .text(0),
                 QString("2026-12-10"));
        QCOMPARE(dt->date(), QDate(2026, 12, 10));
        // the box follows the calendar by itself too, before anyone touches
        st().clock().setFixed(QDateTime(QDate(2026, 12, 11), QTime(0, 1)));
        QCOMPARE(screen.ticketDay(), QDate(2026, 12, 11));
        QCOMPARE(dt->date(), QDate(2026, 12, 11));
    }

    void aDayTheOperatorChoseStaysChosenPastMidnight() {
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(23, 0)));
        TicketScreen screen(st());
        pdfOnly(screen);
        screen.findChild<QDateEdit*>("DT")->setDate(QDate(2026, 12, 15));
        st().clock().setFixed(QDateTime(QDate(2026, 12, 10), QTime(0, 30)));
        QCOMPARE(screen.ticketDay(), QDate(2026, 12, 15));
    }

    void fullScreenIssuesForTodayWhateverTheHiddenBoxSays() {
        st().settings().set(keys::TicketScreen, "Full Screen");
        TicketScreen screen(st());
        pdfOnly(screen);
        screen.findChild<QDateEdit*>("DT")->setDate(QDate(2026, 12, 20));
        screen.touchRow(1);
        screen.touchRow(1);
        QCOMPARE(RecordSet(st().dbConnection, "select tickDate from tblticket").text(0),
                 QString("2026-12-09"));
    }

    void fullScreenHidesTheDate() {
        st().settings().set(keys::TicketScreen, "Full Screen");
        TicketScreen screen(st());
        pdfOnly(screen);
        screen.show();
        QVERIFY(screen.fullScreenTicket());
        QVERIFY(!screen.findChild<QDateEdit*>("DT")->isVisible());
    }

    void databaseErrorSaysSoAndGoesBackToDepartments() {
        TicketScreen screen(st());
        pdfOnly(screen);
        exec("alter table tblService rename to tblService_away", {});
        screen.touchRow(1);
        exec("alter table tblService_away rename to tblService", {});
        QCOMPARE(Dialogs::shownTexts().size(), 1);
        QCOMPARE(screen.ticketStage(), qint16(0));
        QCOMPARE(rowTexts(screen.grid()), QStringList({"Laboratory", "Pharmacy"}));
    }

    void buttonsCarryThePicture() {
        TicketScreen screen(st());
        pdfOnly(screen);
        if (!QFile::exists(TicketScreen::buttonPicturePath()))
            QSKIP("no stock picture beside the test program");
        QVERIFY(!screen.grid()->cellPicture(1, 1).isNull());
        QVERIFY(screen.grid()->cellPicture(0, 1).isNull());
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& binds) {
        st().dbConnection->execute(sql, binds);
    }
    QString pdfFolder() { return TicketPrinter(st()).pdfFolder(); }
    // Whatever printers this machine has, the tests' tickets go to PDF files.
    static void pdfOnly(TicketScreen& screen) {
        screen.printer().setPrinters([] { return TicketPrinter::Printers{}; });
    }
    int printedTickets() {
        return static_cast<int>(QDir(pdfFolder()).entryList({"*.pdf"}, QDir::Files).size());
    }
    static QStringList rowTexts(FlexGrid* fg) {
        QStringList out;
        for (int r = 1; r < fg->rows(); ++r)
            out << fg->textMatrix(r, 1);
        return out;
    }
    DbEngine m_engine;
    QTemporaryDir m_home;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(TicketScreenTest)
#include "test_ticket_screen.moc"
