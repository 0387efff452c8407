// The life of a ticket at the counters, and the call records the boards follow.
#include "calling/calling_ops.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

class CallingOpsTest : public QObject {
    Q_OBJECT

public:
    explicit CallingOpsTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        st().settings().set(keys::ShowBoth, 0);
        at(9, 0, 0);
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, active) "
             "values (1, 1, 'Lab', 'A', 1, 99, 1)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (3, "
             "1, 'Room 3', 'R3', 1)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (4, "
             "1, 'Room 4', 'R4', 1)");
        for (int n = 1; n <= 3; ++n)
            issue(n, "2026-12-09");
        login(3);
    }

    void nextCallsTheOldestAndWritesTheCallRecord() {
        CallingOps ops(st());
        ops.next();
        QCOMPARE(ops.label1, QString("Calling"));
        QCOMPARE(ops.lblToken, QString("A1"));
        QCOMPARE(ops.lblTotal, QString("Total Pending : 2"));
        RecordSet t(c(), "select call, attended, attTime, status from tblticket where no_abr='A1'");
        QCOMPARE(t.text(0), QString("1"));
        QCOMPARE(t.number(1), 3);
        QCOMPARE(t.text(2), QString("09:00:00"));
        QCOMPARE(t.text(3), QString("Finished"));
        RecordSet call(c(), "select * from tblCall");
        QCOMPARE(call.recordCount(), 1);
        QCOMPARE(call.number(1), 3); // the counter's key
        QCOMPARE(call.text(2), QString("A1"));
        QCOMPARE(call.text(3), QString("R3"));
        QCOMPARE(call.text(4), QString("0"));
        QCOMPARE(call.text(5), ops.lblNo);
        QCOMPARE(call.text(6), QString("2026-12-09"));
        QCOMPARE(call.text(7), QString());
    }

    void nextFinishesTheCurrentTicket() {
        CallingOps ops(st());
        ops.next();
        at(9, 5, 0);
        ops.next();
        QCOMPARE(ops.lblToken, QString("A2"));
        QCOMPARE(c1("select finished from tblticket where no_abr='A1'"), QString("09:05:00"));
        QCOMPARE(ops.lblLast, QString("Last Served : A1"));
    }

    void noWaitingTicketKeepsTheCurrentOne() {
        CallingOps ops(st());
        for (int i = 0; i < 3; ++i)
            ops.next();
        at(9, 10, 0);
        ops.next();
        QCOMPARE(ops.label1, QString("Idle"));
        QCOMPARE(ops.lblToken, QString("A3"));
        QCOMPARE(c1("select finished from tblticket where no_abr='A3'"), QString("09:10:00"));
        at(9, 11, 0);
        ops.next(); // each further Next stamps a new finish
        QCOMPARE(c1("select finished from tblticket where no_abr='A3'"), QString("09:11:00"));
        QCOMPARE(count("select * from tblCall"), 3);
    }

    void cancelThenNext() {
        CallingOps ops(st());
        ops.next();
        ops.cancel();
        at(9, 2, 0);
        ops.next();
        QCOMPARE(c1("select status from tblticket where no_abr='A1'"), QString("Cancelled"));
        QCOMPARE(c1("select finished from tblticket where no_abr='A1'"), QString("09:02:00"));
    }

    void transferPutsTheTicketBackAndDropsTheCurrent() {
        CallingOps ops(st());
        ops.next();
        ops.next(); // A2 current
        QCOMPARE(ops.transfer("", "", "Room 4", ""), QString("Select a token first"));
        const QString a1 = c1("select tickAuto from tblticket where no_abr='A1'");
        QCOMPARE(ops.transfer("A1", a1, "Room 3", "x"), QString()); // own counter
        QCOMPARE(ops.transfer("A1", a1, "Nobody", "x"), QString());
        QCOMPARE(ops.transfer("A1", a1, "room 4", "see Dr. Rao"), QString("Updated"));
        QVERIFY(ops.lblNo.isEmpty());
        RecordSet t(c(), "select call, attended, status, ref from tblticket where no_abr='A1'");
        QCOMPARE(t.text(0), QString("0"));
        QCOMPARE(t.number(1), 4);
        QCOMPARE(t.text(2), QString("Transferred"));
        QCOMPARE(t.text(3), QString("see Dr. Rao"));
        // it is waiting again, oldest first, for any counter of the service
        login(4);
        CallingOps other(st());
        other.next();
        QCOMPARE(other.lblToken, QString("A1"));
    }

    void recallMakesTheRecordUnshownAgain() {
        CallingOps ops(st());
        ops.next();
        exec("update tblCall set status='1'");
        ops.recall();
        QCOMPARE(c1("select status from tblCall"), QString("0"));
        QCOMPARE(count("select * from tblCall"), 1);
        CallingOps idle(st());
        idle.lblNo.clear();
        idle.recall(); // nothing current: nothing happens
    }

    void callThisAddsARecordAndLabReports() {
        CallingOps ops(st());
        ops.next();
        const qint32 a1 = c1("select tickAuto from tblticket where no_abr='A1'").toInt();
        ops.callThis(a1, "Report");
        QCOMPARE(count("select * from tblCall where tickAuto=?", {a1}), 2);
        QCOMPARE(c1("select callRoom from tblCall order by callauto desc"), QString("Lab Report"));
        const qint32 a3 = c1("select tickAuto from tblticket where no_abr='A3'").toInt();
        ops.callThis(a3, "");
        QCOMPARE(ops.lblToken, QString("A3"));
        QCOMPARE(c1("select call from tblticket where no_abr='A3'"), QString("1"));
        ops.callThis(99999, "");
        QCOMPARE(ops.label1, QString("Idle"));
    }

    void bothOptionPutsTheCounterNameOnTheSecondLine() {
        st().settings().set(keys::ShowBoth, 1);
        CallingOps ops(st());
        ops.next();
        QCOMPARE(c1("select callRoom from tblCall"), QString("Room 3"));
    }

    void refusedRecordFallsBackToTheExistingOne() {
        exec("create unique index ux_test_one_call on tblCall (tickAuto)");
        CallingOps ops(st());
        ops.next();
        exec("update tblCall set status='1', callCounter='old'");
        ops.callThis(ops.lblNo.toInt(), "");
        QCOMPARE(count("select * from tblCall"), 1);
        QCOMPARE(c1("select status from tblCall"), QString("0"));
        QCOMPARE(c1("select callCounter from tblCall"), QString("R3"));
        exec("drop index ux_test_one_call");
    }

    void yesterdaysTicketsAreNeverCalled() {
        issue(9, "2026-12-08");
        st().clock().setFixed(QDateTime(QDate(2026, 12, 10), QTime(0, 0, 5)));
        CallingOps ops(st());
        ops.next();
        QCOMPARE(ops.label1, QString("Idle"));
        QCOMPARE(count("select * from tblCall"), 0);
    }

    void noCounterStaysIdle() {
        login(0);
        CallingOps ops(st());
        ops.next();
        QCOMPARE(ops.label1, QString("Idle"));
        QCOMPARE(ops.lblLast, QString("Last Served : Not Available"));
    }

    void lists() {
        CallingOps ops(st());
        QCOMPARE(ops.attended().size(), 0);
        QCOMPARE(ops.cancelled().size(), 0);
        QCOMPARE(ops.transferred().size(), 0);
        ops.next();
        ops.next();
        ops.cancel(); // A2
        const auto served = ops.attended();
        QCOMPARE(served.size(), 1);
        QCOMPARE(served[0][1], QString("1"));
        QCOMPARE(served[0][2], QString("A1"));
        QCOMPARE(ops.cancelled().value(0).value(2), QString("A2"));
        QCOMPARE(ops.transfer("A1", c1("select tickAuto from tblticket where no_abr='A1'"),
                              "Room 4", "note"),
                 QString("Updated"));
        login(4);
        CallingOps four(st());
        const auto moved = four.transferred();
        QCOMPARE(moved.size(), 1);
        QCOMPARE(moved[0][4], QString("Transferred"));
        QCOMPARE(moved[0][5], QString("note"));
    }

    void pendingShowsMinutesWaited() {
        exec("update tblticket set tickTime='09:00:30'");
        at(9, 45, 10);
        CallingOps ops(st());
        const auto rows = ops.pending();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0][2], QString("A3")); // newest first
        QCOMPARE(rows[0][3], QString(" 09:00:30"));
        QCOMPARE(rows[0][4], QString("45"));
        QCOMPARE(CallingOps::minutesBetween(QTime(9, 0, 59), QTime(9, 1, 0)), 1);
    }

private:
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    void exec(const QString& sql, const QVariantList& b = {}) { c()->execute(sql, b); }
    QString c1(const QString& sql) {
        RecordSet rs(c(), sql);
        return rs.recordCount() == 0 ? QString() : rs.textOrEmpty(0);
    }
    int count(const QString& sql, const QVariantList& b = {}) {
        return RecordSet(c(), sql, b).recordCount();
    }
    void at(int h, int m, int s) {
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(h, m, s)));
    }
    void issue(int n, const QString& day) {
        exec("insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, attended) "
             "values (1, ?, ?, '08:00:00', 0, ?, 0)",
             {n, day, QString("A%1").arg(n)});
    }
    void login(int counter) {
        st().login = LoginState();
        st().login.counterId = static_cast<qint16>(counter);
        st().login.serviceId = counter ? 1 : 0;
        st().login.counterName = counter ? QString("Room %1").arg(counter) : QString();
        st().login.counterDisplayName = counter ? QString("R%1").arg(counter) : QString();
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(CallingOpsTest)
#include "test_calling_ops.moc"
