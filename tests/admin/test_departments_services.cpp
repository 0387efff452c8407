// Departments and services: the checks of a save in their order, the token
// numbering rules, the prefix clean-up, what a delete refuses, and junk typed
// into every box.
#include "admin/departments.h"
#include "admin/master_data.h"
#include "admin/services.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "junk.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

class DepartmentsServicesTest : public QObject {
    Q_OBJECT

public:
    explicit DepartmentsServicesTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        // Keys as the database gives them: on the server a key written by
        // hand is not one the database knows it gave away.
        exec("insert into tblDept (deptName, deptDesc, active) values ('Lab', '', 1)");
        exec("insert into tblDept (deptName, deptDesc, active) values ('Old', '', 0)");
        m_lab = c1("select deptAuto from tblDept where deptName='Lab'");
        m_old = c1("select deptAuto from tblDept where deptName='Old'");
    }

    void departmentsAreListedSavedAndChanged() {
        Departments d(st());
        QCOMPARE(d.save("", "", "x", true), Departments::blankName);
        QCOMPARE(d.save("", "   ", "x", true), Departments::blankName);
        QCOMPARE(count("select * from tblDept"), 2);
        QCOMPARE(d.save("", "Pharmacy", "Ground floor", false), QString());
        const auto rows = d.addFG();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(2), QStringList({rows.at(2).at(0), "3", "Pharmacy", "0"}));
        const QString key = rows.at(2).at(0);
        auto got = d.getData(key);
        QVERIFY(got.found);
        QCOMPARE(got.desc, QString("Ground floor"));
        QVERIFY(!got.active);
        QCOMPARE(d.save(key, "Pharmacy", "First floor", true), QString());
        got = d.getData(key);
        QCOMPARE(got.desc, QString("First floor"));
        QVERIFY(got.active);
        QCOMPARE(count("select * from tblDept"), 3);
    }

    void savingADepartmentGoneMeanwhileChangesNothing() {
        Departments d(st());
        exec("delete from tblDept where deptName='Old'");
        QCOMPARE(d.save(m_old, "Back", "", true), QString());
        QCOMPARE(count("select * from tblDept"), 1);
        QCOMPARE(c1("select deptName from tblDept"), QString("Lab"));
        QVERIFY(!d.getData(m_old).found);
        QVERIFY(!d.getData("junk").found);
    }

    void aDepartmentWithAnyServiceStays() {
        Departments d(st());
        exec("insert into tblService (deptAuto, servName, active, startno, endno) values (" +
             m_old + ", 'X', 0, 1, 9)");
        QCOMPARE(d.remove(""), master::selectEntry);
        QCOMPARE(d.remove(m_old), master::cannotDelete); // an inactive service counts too
        QCOMPARE(count("select * from tblDept"), 2);
        QCOMPARE(d.remove(m_lab), QString());
        QCOMPARE(count("select * from tblDept"), 1);
        // another station removed it first: nothing else goes
        QCOMPARE(d.remove(m_lab), QString());
        QCOMPARE(count("select * from tblDept"), 1);
    }

    void serviceChecksStopAtTheFirstFailureInOrder() {
        Services s(st());
        Services::Entry e;
        e.prefix = "12";
        e.startNo = "x";
        e.endNo = "y";
        e.deptName = "Nowhere";
        e.name = "";
        QCOMPARE(s.save("", e), Services::prefixIsNumber);
        e.prefix = "A";
        QCOMPARE(s.save("", e), Services::badStart);
        e.startNo = "5";
        QCOMPARE(s.save("", e), Services::badEnd);
        e.endNo = "4";
        QCOMPARE(s.save("", e), Services::startNotBelowEnd);
        e.endNo = "50";
        QCOMPARE(s.save("", e), Services::noDepartment);
        e.deptName = "old"; // by name, inactive or not, whatever its letter case
        QCOMPARE(s.save("", e), Services::blankName);
        e.name = " ";
        QCOMPARE(s.save("", e), Services::blankName);
        QCOMPARE(count("select * from tblService"), 0);
        e.name = "X-Ray";
        QCOMPARE(s.save("", e), QString());
        RecordSet rs(st().dbConnection, "select deptAuto, startno, endno, abrno from tblService");
        QCOMPARE(rs.text(0), m_old);
        QCOMPARE(rs.number(1), 5);
        QCOMPARE(rs.number(2), 50);
        QCOMPARE(rs.text(3), QString("A"));
    }

    void startAndEndAreWholeNumbersWithTheEndAbove() {
        Services s(st());
        Services::Entry e;
        e.deptName = "Lab";
        e.name = "Blood";
        const auto saved = [&](const char* start, const char* end) {
            e.startNo = start;
            e.endNo = end;
            return s.save("", e);
        };
        QCOMPARE(saved("5", "5"), Services::startNotBelowEnd);
        QCOMPARE(saved("6", "5"), Services::startNotBelowEnd);
        QCOMPARE(saved("nan", "9"), Services::badStart);
        QCOMPARE(saved("1", "inf"), Services::badEnd);
        QCOMPARE(saved("1e10", "9"), Services::startRange);
        QCOMPARE(saved("-1", "9"), Services::startRange);
        QCOMPARE(saved("2.5", "9"), Services::startRange);
        QCOMPARE(saved("1", "32768"), Services::endRange);
        QCOMPARE(count("select * from tblService"), 0);
        QCOMPARE(saved("5", "6"), QString());
        QCOMPARE(saved(" 0 ", "32767"), QString());
        QCOMPARE(c1("select max(endno) from tblService"), QString("32767"));
    }

    void prefixCleanUpAndNumbers() {
        for (const char* bad : {"A-", "#1", "A.", "_", "*B", "A,B"})
            QCOMPARE(Services::cleanPrefix(bad), QString());
        QCOMPARE(Services::cleanPrefix("AB"), QString("AB"));
        QCOMPARE(Services::cleanPrefix(" Ä "), QString(" Ä "));
        Services s(st());
        Services::Entry e;
        e.deptName = "Lab";
        e.name = "Blood";
        e.endNo = "9";
        for (const char* number : {"7", " 7 ", "1e3", "-2"}) {
            e.prefix = number;
            QCOMPARE(s.save("", e), Services::prefixIsNumber);
        }
        e.prefix = Services::cleanPrefix("A-");
        QCOMPARE(s.save("", e), QString()); // an emptied prefix is stored empty
        QCOMPARE(c1("select abrno from tblService"), QString());
    }

    void listsAndTheEditWindowsData() {
        exec("insert into tblService (servAuto, deptAuto, servName, servdesc, active, startno, "
             "endno, abrno) values (7, " +
             m_lab + ", 'Blood', 'sleeves', 1, 3, 90, 'B')");
        exec("insert into tblService (servAuto, deptAuto, servName, active, startno, endno) values "
             "(8, 99, 'Orphan', 1, 1, 9)");
        Services s(st());
        const auto rows = s.addFG();
        QCOMPARE(rows.size(), 1); // a service without its department is not listed
        QCOMPARE(rows.at(0), QStringList({"7", "1", "Lab", "Blood", "3", "90", "B", "1"}));
        QCOMPARE(rows.at(0).size(), 8);
        QCOMPARE(s.addDept(), QStringList({"Lab"}));
        const auto d = s.getData("7");
        QVERIFY(d.found);
        QCOMPARE(d.deptName, QString("Lab"));
        QCOMPARE(d.desc, QString("sleeves"));
        QCOMPARE(d.startNo, QString("3"));
        QCOMPARE(d.prefix, QString("B"));
        QVERIFY(d.active);
        const auto orphan = s.getData("8");
        QVERIFY(orphan.found);
        QCOMPARE(orphan.deptName, QString());
        QCOMPARE(orphan.name, QString("Orphan"));
    }

    void aServiceWithAnyTicketStays() {
        exec("insert into tblService (servAuto, deptAuto, servName, active, startno, endno) values "
             "(7, " +
             m_lab + ", 'Blood', 1, 1, 9)");
        exec("insert into tblService (servAuto, deptAuto, servName, active, startno, endno) values "
             "(8, " +
             m_lab + ", 'Urine', 1, 1, 9)");
        exec("insert into tblTicket (servAuto, tickNo, tickDate, call, no_abr, attended) values "
             "(7, 1, '2019-01-02', 1, 'B1', 0)");
        Services s(st());
        QCOMPARE(s.remove("7"), master::cannotDelete); // a ticket of years ago
        QCOMPARE(s.remove("8"), QString());
        QCOMPARE(c1("select servName from tblService"), QString("Blood"));
        QCOMPARE(s.remove("8"), QString());
        QCOMPARE(count("select * from tblService"), 1);
    }

    void junkIsStoredAndShownAsTyped() {
        Departments d(st());
        Services s(st());
        for (const QString& junk : junkTexts()) {
            m_db->clearTables();
            QCOMPARE(d.save("", junk, junk, true), QString());
            const QString key = d.addFG().value(0).value(0);
            const auto dept = d.getData(key);
            QCOMPARE(dept.name, junk);
            QCOMPARE(dept.desc, junk);
            Services::Entry e;
            e.deptName = junk;
            e.name = junk;
            e.desc = junk;
            e.endNo = "9";
            e.prefix = master::isNumber(junk) ? QString("P") : Services::cleanPrefix(junk);
            QCOMPARE(s.save("", e), QString());
            const auto rows = s.addFG();
            QCOMPARE(rows.size(), 1);
            QCOMPARE(rows.at(0).at(2), junk);
            QCOMPARE(rows.at(0).at(3), junk);
            const auto back = s.getData(rows.at(0).at(0));
            QCOMPARE(back.deptName, junk);
            QCOMPARE(back.desc, junk);
            QCOMPARE(back.prefix, e.prefix);
            QCOMPARE(count("select * from tblDept"), 1);
            QCOMPARE(count("select * from tblService"), 1);
        }
        // boxes holding numbers that are no ticket numbers
        Services::Entry e;
        e.deptName = junkTexts().at(0);
        e.name = "n";
        for (const QString& junk : junkTexts()) {
            e.startNo = junk;
            const QString said = s.save("", e);
            QVERIFY2(said == Services::badStart || said == Services::startRange, qPrintable(said));
        }
    }

    // Last: on the embedded engine the numbering of later rows goes on after
    // the highest key ever given.
    void keysBeyondWhatAStationHoldsAreTold() {
        exec("insert into tblDept (deptAuto, deptName, active) values (40000, 'Annex', 1)");
        Services s(st());
        Services::Entry e;
        e.deptName = "Annex";
        e.name = "Scan";
        e.endNo = "9";
        const QString said = s.save("", e);
        QVERIFY2(said.contains("40000") && said.contains("32767"), qPrintable(said));
        QCOMPARE(count("select * from tblService"), 0);
        // a key of a table row may exceed 16 bits: it still names that row
        Departments d(st());
        QCOMPARE(d.getData("40000").name, QString("Annex"));
        QCOMPARE(d.remove("40000"), QString());
        QCOMPARE(count("select * from tblDept where deptName='Annex'"), 0);
        QCOMPARE(count("select * from tblDept"), 2);
        // a number past 32 bits is no key at all: nothing is cut to another row
        QVERIFY(!d.getData("4294967297").found);
        QCOMPARE(d.remove("4294967297"), master::selectEntry);
        QCOMPARE(count("select * from tblDept"), 2);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql) { st().dbConnection->execute(sql); }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }
    QString c1(const QString& sql) {
        RecordSet rs(st().dbConnection, sql);
        return rs.recordCount() == 0 ? QString() : rs.textOrEmpty(0);
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    QString m_lab, m_old; // keys of the two departments every test starts with
};

TALLYVOX_DB_TEST_MAIN(DepartmentsServicesTest)
#include "test_departments_services.moc"
