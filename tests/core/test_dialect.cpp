// The house statements ("select top", "datediff(minute, ...)", "format(d,...)")
// must mean the same on both engines.
#include "core/connection.h"
#include "core/dialect.h"
#include "core/recordset.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

class DialectTest : public QObject {
    Q_OBJECT

public:
    explicit DialectTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() { m_db->clearTables(); }

    void topBecomesLimit() {
        auto d = Dialect::create(Engine::Sqlite);
        QCOMPARE(d->translate("select top 1 * from tblcall where a=? order by callauto desc"),
                 QString("select * from tblcall where a=? order by callauto desc limit 1"));
        QCOMPARE(d->translate("Select  TOP 15 no_abr from t"),
                 QString("Select no_abr from t limit 15"));
        QCOMPARE(d->translate("select top 1 a from t order by a for update skip locked"),
                 QString("select a from t order by a limit 1 for update skip locked"));
        // "top" elsewhere is a name, not the clause.
        QCOMPARE(d->translate("select top_no from t"), QString("select top_no from t"));
    }

    void functionsOnlyRewrittenWhenTheyMatch() {
        auto d = Dialect::create(Engine::Postgres);
        QVERIFY(!d->translate("select datediff(minute, attTime, finished) from t")
                     .contains("datediff"));
        // Another unit or another format is left for the server to refuse loudly.
        QVERIFY(d->translate("select datediff(hour, a, b) from t").contains("datediff(hour"));
        QVERIFY(d->translate("select format(sdate,'dd') from t").contains("format(sdate,'dd')"));
        // Nested calls keep their arguments whole.
        const QString nested =
            d->translate("select datediff(minute, coalesce(a,b), max(c)) from t");
        QVERIFY(nested.contains("coalesce(a,b)"));
        QVERIFY(nested.contains("max(c)"));
    }

    void minutesBetweenCountsMinuteBoundaries() {
        insertTicket(QTime(9, 0, 30), QTime(9, 45, 10));
        insertTicket(QTime(9, 0, 59), QTime(9, 1, 0));
        insertTicket(QTime(10, 0, 0), QTime(9, 58, 0));
        RecordSet rs(conn(),
                     "select datediff(minute, attTime, finished) from tblTicket order by tickAuto");
        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(rs.number(0), 45);
        rs.moveNext();
        QCOMPARE(rs.number(0), 1);
        rs.moveNext();
        QCOMPARE(rs.number(0), -2);
    }

    void minutesBetweenWithNoFinishIsNull() {
        insertTicket(QTime(9, 0, 0), QTime());
        RecordSet rs(conn(),
                     "select datediff(minute,tblticket.atttime,tblticket.finished) from tblticket");
        QVERIFY(rs.isNull(0));
    }

    void dayTextOfADateTime() {
        conn()->execute("insert into tblServiceNo (servAuto, sdate, sno, active) values (?,?,?,?)",
                        {1, QDateTime(QDate(2016, 1, 31), QTime(13, 5)), 100, 1});
        RecordSet rs(conn(), "select sno from tblServiceNo where format(sdate,'yyyy-MM-dd')=?",
                     {QString("2016-01-31")});
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.number("sno"), 100);
    }

    void topLimitsRowsInOrder() {
        for (int i = 0; i < 5; ++i)
            conn()->execute("insert into tblCall (callToken, status) values (?, '0')",
                            {QString("A%1").arg(i)});
        RecordSet rs(conn(), "select top 2 * from tblcall where status='0' order by callauto desc");
        QCOMPARE(rs.recordCount(), 2);
        QCOMPARE(rs.text("callToken"), QString("A4"));
    }

private:
    std::shared_ptr<Connection> conn() { return m_db->station().dbConnection; }
    void insertTicket(QTime att, QTime fin) {
        conn()->execute("insert into tblTicket (servAuto, tickNo, tickDate, attTime, finished) "
                        "values (1, ?, '2026-12-09', ?, ?)",
                        {++m_tickNo, att,
                         fin.isValid() ? QVariant(fin) : QVariant(QMetaType(QMetaType::QTime))});
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    int m_tickNo = 0;
};

TALLYVOX_DB_TEST_MAIN(DialectTest)
#include "test_dialect.moc"
