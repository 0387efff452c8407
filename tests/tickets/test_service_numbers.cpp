// The start-number book: entries per service and day, and its two screens.
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "test_station.h"
#include "tickets/service_number_screens.h"
#include "tickets/service_numbers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

using namespace tv;
using namespace tv::test;

class ServiceNumbersTest : public QObject {
    Q_OBJECT

public:
    explicit ServiceNumbersTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        Dialogs::clearMessages();
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        c()->execute(
            "insert into tblService (servAuto, deptAuto, servName, active) values (1, 1, ?, 1)",
            {QString("Blood Test")});
        c()->execute(
            "insert into tblService (servAuto, deptAuto, servName, active) values (2, 1, ?, 0)",
            {QString("Closed")});
    }

    void addingChecksServiceAndDay() {
        ServiceNumbers book(st());
        QCOMPARE(book.activeServices(), QStringList({"Blood Test"}));
        QCOMPARE(book.save("", "No Such", QDate(2026, 12, 9), "5", true),
                 QString("Please select a service "));
        QCOMPARE(book.save("", "blood test", QDate(2026, 12, 9), "5", true), QString());
        QCOMPARE(book.save("", "Blood Test", QDate(2026, 12, 9), "9", false),
                 QString("Contains same date entry"));
        QCOMPARE(book.save("", "Blood Test", QDate(2026, 12, 10), "9", false), QString());
        const auto today = book.entriesOf(QDate(2026, 12, 9));
        QCOMPARE(today.size(), 1);
        QCOMPARE(today[0].servName, QString("Blood Test"));
        QCOMPARE(today[0].sno, QString("5"));
        QCOMPARE(today[0].active, QString("1"));
        QVERIFY(today[0].sdate.startsWith("2026-12-09"));
    }

    void changingMayMeetAnotherEntry() {
        ServiceNumbers book(st());
        book.save("", "Blood Test", QDate(2026, 12, 9), "5", true);
        book.save("", "Blood Test", QDate(2026, 12, 10), "6", true);
        const QString second = book.entriesOf(QDate(2026, 12, 10)).value(0).snoAuto;
        QCOMPARE(book.save(second, "Blood Test", QDate(2026, 12, 9), "7", false), QString());
        QCOMPARE(book.entriesOf(QDate(2026, 12, 9)).size(), 2);
        const auto loaded = book.load(second.toInt());
        QVERIFY(loaded.found);
        QCOMPARE(loaded.date, QDate(2026, 12, 9));
        QCOMPARE(loaded.sno, QString("7"));
        QVERIFY(!loaded.active);
    }

    void theDayIgnoresTheTimeOfDay() {
        c()->execute("insert into tblServiceNo (servAuto, sdate, sno, active) values (1, ?, 3, 1)",
                     {QDateTime(QDate(2026, 12, 9), QTime(17, 30))});
        QCOMPARE(ServiceNumbers(st()).entriesOf(QDate(2026, 12, 9)).size(), 1);
        QCOMPARE(ServiceNumbers(st()).entriesOf(QDate(2026, 12, 8)).size(), 0);
    }

    void startNumberBoxTakesNumbersOnly() {
        QCOMPARE(ServiceNumbers::numericOrZero("12"), QString("12"));
        QCOMPARE(ServiceNumbers::numericOrZero("abc"), QString("0"));
        QCOMPARE(ServiceNumbers::numericOrZero(""), QString("0"));
        QCOMPARE(ServiceNumbers::numericOrZero("nan"), QString("0"));
    }

    void onlyWholeStartNumbersFrom0To32767AreStored() {
        ServiceNumbers book(st());
        // these used to be stored as -2147483648, -40 and so on
        for (const char* bad : {"1e10", "-40", "32768", "2.5", "-1"})
            QCOMPARE(book.save("", "Blood Test", QDate(2026, 12, 9), bad, true),
                     ServiceNumbers::startNoRange);
        QCOMPARE(c()->scalar("select count(*) from tblServiceNo").toInt(), 0);
        QCOMPARE(book.save("", "Blood Test", QDate(2026, 12, 9), " 32767 ", true), QString());
        QCOMPARE(book.save("", "Blood Test", QDate(2026, 12, 10), "nan", true), QString());
        QCOMPARE(book.save("", "Blood Test", QDate(2026, 12, 11), "0", true), QString());
        RecordSet rs(c(), "select sno from tblServiceNo order by sdate");
        QCOMPARE(rs.number(0), 32767);
        rs.moveNext();
        QCOMPARE(rs.number(0), 0); // "nan" is no number: the box makes it 0
        // a change is checked the same way
        const QString first = c()->scalar("select min(snoAuto) from tblServiceNo").toString();
        QCOMPARE(book.save(first, "Blood Test", QDate(2026, 12, 9), "1e10", true),
                 ServiceNumbers::startNoRange);
        QCOMPARE(c()->scalar("select max(sno) from tblServiceNo").toInt(), 32767);
    }

    void listShowsTheDayAndRefreshesAfterASave() {
        ServiceNoList list(st());
        QCOMPARE(list.windowTitle(), QString("Set Service Starting No."));
        QCOMPARE(list.grid()->rows(), 1); // heading only
        QCOMPARE(list.grid()->textMatrix(0, 2), QString("Service Name"));
        QCOMPARE(list.grid()->colWidth(1), 700);

        list.addEntry();
        auto* edit = list.findChild<ServiceNoEdit*>("frmSerNo");
        QVERIFY(edit);
        QCOMPARE(edit->windowTitle(), QString("Set Service No"));
        edit->findChild<QComboBox*>("cmbServ")->setCurrentText("Blood Test");
        edit->findChild<QLineEdit*>("txtNo")->setText("x12");
        edit->findChild<QCheckBox*>("chkActive")->setChecked(true);
        QVERIFY(edit->saveData());
        QCOMPARE(list.grid()->rows(), 2);
        QCOMPARE(list.grid()->textMatrix(1, 1), QString("1"));
        QCOMPARE(list.grid()->textMatrix(1, 2), QString("Blood Test"));
        QCOMPARE(list.grid()->textMatrix(1, 3), QString("09-12-2026"));
        QCOMPARE(list.grid()->textMatrix(1, 4), QString("0")); // not a number: stored as 0

        list.dateBox()->setDate(QDate(2026, 12, 10));
        QCOMPARE(list.grid()->rows(), 1);
        list.dateBox()->setDate(QDate(2026, 12, 9));
        QCOMPARE(list.grid()->rows(), 2);
    }

    void editingAnEntryFromTheList() {
        ServiceNumbers(st()).save("", "Blood Test", QDate(2026, 12, 9), "40", true);
        ServiceNoList list(st());
        list.editRow(0); // the heading opens nothing
        QVERIFY(!list.findChild<ServiceNoEdit*>("frmSerNo"));
        list.editRow(1);
        auto* edit = list.findChild<ServiceNoEdit*>("frmSerNo");
        QVERIFY(edit);
        QCOMPARE(edit->ref(), list.grid()->textMatrix(1, 0));
        QCOMPARE(edit->findChild<QLineEdit*>("txtNo")->text(), QString("40"));
        QCOMPARE(edit->findChild<QComboBox*>("cmbServ")->currentText(), QString("Blood Test"));
        edit->findChild<QLineEdit*>("txtNo")->setText("41");
        QVERIFY(edit->saveData());
        QCOMPARE(list.grid()->textMatrix(1, 4), QString("41"));
    }

    void savingWithoutAServiceSaysSo() {
        ServiceNoEdit edit(st());
        QVERIFY(!edit.saveData());
        QCOMPARE(Dialogs::shownTexts(), QStringList({"Please select a service "}));
    }

private:
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(ServiceNumbersTest)
#include "test_service_numbers.moc"
