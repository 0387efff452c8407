// Record sets as the screens use them: snapshot, walk, read, write back.
#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

class RecordSetTest : public QObject {
    Q_OBJECT

public:
    explicit RecordSetTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        for (const char* name : {"Lab", "X-Ray", "O'Neil Ward"})
            conn()->execute("insert into tblDept (deptName, deptDesc, active) values (?, ?, ?)",
                            {QString(name), QString("desc ") + name, 1});
    }

    void walkingTheRows() {
        RecordSet rs(conn(), "select * from tblDept order by deptName asc");
        QCOMPARE(rs.recordCount(), 3);
        QStringList seen;
        QList<int> positions;
        while (!rs.eof()) {
            seen << rs.text(1);
            positions << rs.absolutePosition();
            rs.moveNext();
        }
        QCOMPARE(seen, QStringList({"Lab", "O'Neil Ward", "X-Ray"}));
        QCOMPARE(positions, QList<int>({1, 2, 3}));
        QCOMPARE(rs.absolutePosition(), 0);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.text(1));
    }

    void emptyResult() {
        RecordSet rs(conn(), "select * from tblDept where deptName=?", {QString("none")});
        QCOMPARE(rs.recordCount(), 0);
        QVERIFY(rs.eof());
        QCOMPARE(rs.fieldCount(), 4); // fields are known even without rows
    }

    void fieldsByNameIgnoreCase() {
        RecordSet rs(conn(), "select deptAuto, deptName from tblDept where deptName=?",
                     {QString("Lab")});
        QCOMPARE(rs.text("DEPTNAME"), QString("Lab"));
        QCOMPARE(rs.text("deptname"), rs.text(1));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value("nosuchfield"));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value(7));
    }

    void nullIsAnErrorWhereTextOrNumberIsRead() {
        conn()->execute("insert into tblService (deptAuto, servName) values (?, ?)",
                        {1, QString("Blood")});
        RecordSet rs(conn(), "select startno, endno, abrno from tblService");
        QVERIFY(rs.isNull(0));
        QCOMPARE(rs.actualSize(0), 0);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.number(0));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.text("abrno"));
        try {
            rs.int16(1);
            QFAIL("no error");
        } catch (const DbError& e) {
            QCOMPARE(e.description(), QString("Invalid use of Null"));
        }
    }

    void sixteenBitConversion() {
        conn()->execute(
            "insert into tblService (deptAuto, servName, startno, endno) values (?, ?, ?, ?)",
            {1, QString("Big"), 32767, 32768});
        RecordSet rs(conn(), "select startno, endno from tblService");
        QCOMPARE(rs.int16(0), qint16(32767));
        try {
            rs.int16(1);
            QFAIL("no error");
        } catch (const DbError& e) {
            QCOMPARE(e.description(), QString("Overflow"));
        }
        QCOMPARE(rs.number(1), 32768);
    }

    void addNewGetsItsKeyFromTheDatabase() {
        RecordSet rs(conn(), "select * from tblCounter where cntAuto=?", {-1});
        QCOMPARE(rs.recordCount(), 0);
        rs.addNew();
        rs.setValue(1, 3);
        rs.setValue("contName", QString("Room 1"));
        rs.setValue("displayName", QString("R1"));
        rs.setValue("active", 1);
        rs.update();
        QVERIFY(rs.number(0) > 0);
        RecordSet back(conn(), "select * from tblCounter where cntAuto=?", {rs.number(0)});
        QCOMPARE(back.recordCount(), 1);
        QCOMPARE(back.text(2), QString("Room 1"));
        QCOMPARE(back.number(1), 3);
        QVERIFY(back.isNull("pass")); // fields never assigned stay NULL
    }

    void updateWritesOnlyTheCurrentRowBack() {
        RecordSet rs(conn(), "select * from tblDept order by deptName");
        rs.moveNext(); // O'Neil Ward
        rs.setValue("deptDesc", QString("it's changed"));
        rs.setValue(3, 0);
        rs.update();
        RecordSet all(conn(), "select deptName, deptDesc, active from tblDept order by deptName");
        QCOMPARE(all.text(1), QString("desc Lab"));
        all.moveNext();
        QCOMPARE(all.text(1), QString("it's changed"));
        QCOMPARE(all.number(2), 0);
        all.moveNext();
        QCOMPARE(all.text(1), QString("desc X-Ray"));
    }

    void deleteCurrent() {
        RecordSet rs(conn(), "select * from tblDept where deptName=?", {QString("x-ray")});
        QCOMPARE(rs.recordCount(), 1);
        rs.deleteCurrent();
        QCOMPARE(rs.recordCount(), 0);
        QCOMPARE(RecordSet(conn(), "select * from tblDept").recordCount(), 2);
    }

    void writingWithoutTheKeyFirstIsRefused() {
        // A set without its key cannot say which row to change: refusing beats
        // changing every row that happens to share the value.
        RecordSet rs(conn(), "select deptDesc from tblDept where deptName=?", {QString("Lab")});
        rs.setValue(0, QString("x"));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.update());
        QCOMPARE(RecordSet(conn(), "select * from tblDept where deptDesc='x'").recordCount(), 0);
    }

    void statementsWithoutRows() {
        RecordSet rs(conn(), "delete from tblDept where deptName=?", {QString("Lab")});
        QCOMPARE(rs.recordCount(), 0);
        QCOMPARE(RecordSet(conn(), "select * from tblDept").recordCount(), 2);
    }

    void valuesAreNeverPartOfTheStatement() {
        const QString evil = "x' or '1'='1";
        RecordSet rs(conn(), "select * from tblDept where deptName=?", {evil});
        QCOMPARE(rs.recordCount(), 0);
        conn()->execute("insert into tblDept (deptName) values (?)", {evil});
        RecordSet back(conn(), "select deptName from tblDept where deptName=?", {evil});
        QCOMPARE(back.text(0), evil);
    }

    void errorsCarryTheEnginesWords() {
        try {
            RecordSet rs(conn(), "select * from tblNoSuchTable");
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.description().contains("tblnosuchtable", Qt::CaseInsensitive),
                     qPrintable(e.description()));
        }
        // The connection stays usable after a failed statement.
        QCOMPARE(RecordSet(conn(), "select * from tblDept").recordCount(), 3);
    }

    void aFailureIsToldApartByTheEnginesCodeNotItsWords() {
        const auto kind = [&](const QString& sql, const QVariantList& binds) {
            try {
                conn()->execute(sql, binds);
            } catch (const DbError& e) {
                return e.kind();
            }
            return DbError::Kind(-1);
        };
        conn()->execute("insert into tblTicket (servAuto, tickDate, tickNo) values (1, ?, 1)",
                        {QString("2026-12-09")});
        QCOMPARE(kind("insert into tblTicket (servAuto, tickDate, tickNo) values (1, ?, 1)",
                      {QString("2026-12-09")}),
                 DbError::Kind::UniqueViolation);
        QCOMPARE(kind("insert into tblDept (deptAuto, deptName) values ((select min(deptAuto) "
                      "from tblDept), ?)",
                      {QString("Twin")}),
                 DbError::Kind::UniqueViolation);
        // words that read like a duplicate are not one
        conn()->execute("create table tv_test_words (a integer not null)");
        QCOMPARE(kind("insert into tv_test_words (a) values (?)", {QVariant()}),
                 DbError::Kind::Other);
        QCOMPARE(kind("select * from \"UNIQUE constraint failed\"", {}), DbError::Kind::Other);
        conn()->execute("drop table tv_test_words");
    }

    void aRecordSetKeepsItsConnection() {
        RecordSet rs(conn(), "select * from tblDept where deptName=?", {QString("Lab")});
        QVERIFY(m_db->station().openConnection()); // the station moves on to a new connection
        rs.setValue("deptDesc", QString("after reconnect"));
        rs.update();
        QCOMPARE(RecordSet(conn(), "select * from tblDept where deptDesc=?",
                           {QString("after reconnect")})
                     .recordCount(),
                 1);
    }

private:
    std::shared_ptr<Connection> conn() { return m_db->station().dbConnection; }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(RecordSetTest)
#include "test_recordset.moc"
