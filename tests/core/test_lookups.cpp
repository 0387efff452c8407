// The shared lookups and their fall-backs.
#include "core/connection.h"
#include "core/db_error.h"
#include "core/lookups.h"
#include "core/recordset.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;
using namespace tv::lookups;

class LookupsTest : public QObject {
    Q_OBJECT

public:
    explicit LookupsTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        c()->execute("insert into tblDept (deptAuto, deptName, active) values (5, ?, 1)",
                     {QString("Laboratory")});
        c()->execute(
            "insert into tblService (servAuto, deptAuto, servName, active) values (7, 5, ?, 0)",
            {QString("Blood Test")});
        c()->execute("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) "
                     "values (3, 7, ?, ?, 1)",
                     {QString("Room 3"), QString("R-3")});
        c()->execute("insert into tblTicket (tickAuto, servAuto, tickNo, tickDate, no_abr) values "
                     "(90000, 7, 12, '2026-12-09', ?)",
                     {QString("B12")});
        c()->execute("insert into tbltheme (themeauto, themename) values (2, ?)",
                     {QString("Black H")});
    }

    void foundByName() {
        QCOMPARE(getDeptId(st(), "Laboratory"), qint16(5));
        QCOMPARE(getServiceId(st(), "blood test"), qint16(7));
        QCOMPARE(getCounterId(st(), "Room 3"), qint16(3));
        QCOMPARE(getThemeId(st(), "Black H"), qint16(2));
    }

    void notFoundIsZeroOrEmpty() {
        QCOMPARE(getDeptId(st(), "Nowhere"), qint16(0));
        QCOMPARE(getServiceId(st(), "Blood Test "), qint16(0)); // trailing blank
        QCOMPARE(getThemeId(st(), "HR1"), qint16(0));
        QCOMPARE(getDeptName(st(), 99), QString());
        QCOMPARE(getServiceName(st(), 99), QString());
        QCOMPARE(getTokenText(st(), 1), QString());
    }

    void foundByKey() {
        QCOMPARE(getDeptName(st(), 5), QString("Laboratory"));
        QCOMPARE(getServiceName(st(), 7), QString("Blood Test"));
        QCOMPARE(getTokenText(st(), 90000), QString("B12")); // ticket keys are 32-bit
    }

    void counterNameSetsTheDisplayName() {
        st().login.counterDisplayName = "stale";
        QCOMPARE(getCounterName(st(), 3), QString("Room 3"));
        QCOMPARE(st().login.counterDisplayName, QString("R-3"));
        QCOMPARE(getCounterName(st(), 42), QString());
        QCOMPARE(st().login.counterDisplayName, QString());
    }

    void nameWithAQuoteIsJustAName() {
        c()->execute("insert into tblDept (deptAuto, deptName) values (6, ?)",
                     {QString("Children's Ward")});
        QCOMPARE(getDeptId(st(), "Children's Ward"), qint16(6));
        QCOMPARE(getDeptId(st(), "x' or '1'='1"), qint16(0));
    }

    void keyBeyondSixteenBitsRaises() {
        c()->execute("insert into tblDept (deptAuto, deptName) values (40000, ?)",
                     {QString("Annex")});
        try {
            getDeptId(st(), "Annex");
            QFAIL("no error");
        } catch (const DbError& e) {
            QCOMPARE(e.description(), QString("Overflow"));
        }
    }

    void recordExistsIgnoresActive() {
        QVERIFY(recordExists(st(), "tblService", "deptAuto", 5)); // the service is inactive
        QVERIFY(!recordExists(st(), "tblService", "deptAuto", 6));
        QVERIFY(recordExists(st(), "tblCounter", "servAuto", 7));
    }

    void recordExistsTakesOnlyOurNames() {
        QVERIFY_THROWS_EXCEPTION(
            DbError, recordExists(st(), "tblService; drop table tblDept", "deptAuto", 5));
        QVERIFY_THROWS_EXCEPTION(DbError, recordExists(st(), "tblService", "1=1 or deptAuto", 5));
        QCOMPARE(getDeptName(st(), 5), QString("Laboratory"));
    }

private:
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(LookupsTest)
#include "test_lookups.moc"
