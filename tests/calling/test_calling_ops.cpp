// The life of a ticket at the counters, and the call records the boards follow.
#include "calling/calling_ops.h"
#include "core/connection.h"
#include "core/db_error.h"
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
        QCOMPARE(ops.label1(), CallingOps::State::Calling);
        QCOMPARE(ops.lblToken(), QString("A1"));
        QCOMPARE(ops.lblTotal(), 2);
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
        QCOMPARE(call.number(5), ops.lblNo());
        QCOMPARE(call.text(6), QString("2026-12-09"));
        QCOMPARE(call.text(7), QString());
    }

    void nextFinishesTheCurrentTicket() {
        CallingOps ops(st());
        ops.next();
        at(9, 5, 0);
        ops.next();
        QCOMPARE(ops.lblToken(), QString("A2"));
        QCOMPARE(c1("select finished from tblticket where no_abr='A1'"), QString("09:05:00"));
        QCOMPARE(ops.lblLast(), QString("A1"));
    }

    void noWaitingTicketKeepsTheCurrentOne() {
        CallingOps ops(st());
        for (int i = 0; i < 3; ++i)
            ops.next();
        at(9, 10, 0);
        ops.next();
        QCOMPARE(ops.label1(), CallingOps::State::Idle);
        QCOMPARE(ops.lblToken(), QString("A3"));
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
        QCOMPARE(ops.transfer("", 0, "Room 4", ""), QString("Select a token first"));
        const qint64 a1 = c1("select tickAuto from tblticket where no_abr='A1'").toLongLong();
        QCOMPARE(ops.transfer("A1", a1, "Room 3", "x"), QString()); // own counter
        QCOMPARE(ops.transfer("A1", a1, "Nobody", "x"), QString());
        QCOMPARE(ops.transfer("A1", a1, "room 4", "see Dr. Rao"), QString("Updated"));
        QCOMPARE(ops.lblNo(), 0);
        RecordSet t(c(), "select call, attended, status, ref from tblticket where no_abr='A1'");
        QCOMPARE(t.text(0), QString("0"));
        QCOMPARE(t.number(1), 4);
        QCOMPARE(t.text(2), QString("Transferred"));
        QCOMPARE(t.text(3), QString("see Dr. Rao"));
        // it is waiting again, oldest first, for any counter of the service
        login(4);
        CallingOps other(st());
        other.next();
        QCOMPARE(other.lblToken(), QString("A1"));
    }

    void recallMakesTheRecordUnshownAgain() {
        CallingOps ops(st());
        ops.next();
        exec("update tblCall set status='1'");
        ops.recall();
        QCOMPARE(c1("select status from tblCall"), QString("0"));
        QCOMPARE(count("select * from tblCall"), 1);
        exec("update tblCall set status='1'");
        CallingOps idle(st());
        idle.setLblNo(0);
        idle.recall(); // nothing current: nothing happens
        QCOMPARE(c1("select status from tblCall"), QString("1"));
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
        QCOMPARE(ops.lblToken(), QString("A3"));
        QCOMPARE(c1("select call from tblticket where no_abr='A3'"), QString("1"));
        ops.callThis(99999, "");
        QCOMPARE(ops.label1(), CallingOps::State::Idle);
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
        ops.callThis(static_cast<qint32>(ops.lblNo()), "");
        QCOMPARE(count("select * from tblCall"), 1);
        QCOMPARE(c1("select status from tblCall"), QString("0"));
        QCOMPARE(c1("select callCounter from tblCall"), QString("R3"));
        exec("drop index ux_test_one_call");
    }

    void aCallRecordTheDatabaseRefusesUndoesTheCall() {
        // The refusal reads like a duplicate, but it is not one by its error
        // code: the ticket must go back to waiting, and the operator must hear of it.
        refuseCallRecords("UNIQUE constraint failed: database is locked");
        CallingOps ops(st());
        QVERIFY_THROWS_EXCEPTION(DbError, ops.next());
        QCOMPARE(ops.label1(), CallingOps::State::Idle);
        QCOMPARE(ops.lblNo(), 0);
        QCOMPARE(c1("select call from tblticket where no_abr='A1'"), QString("0"));
        QCOMPARE(c1("select attended from tblticket where no_abr='A1'"), QString("0"));
        QCOMPARE(count("select * from tblCall"), 0);
        const qint32 a2 = c1("select tickAuto from tblticket where no_abr='A2'").toInt();
        QVERIFY_THROWS_EXCEPTION(DbError, ops.callThis(a2, ""));
        QCOMPARE(c1("select call from tblticket where no_abr='A2'"), QString("0"));

        allowCallRecords();
        ops.next(); // the same ticket, now with its record
        QCOMPARE(ops.lblToken(), QString("A1"));
        QCOMPARE(count("select * from tblCall where callToken='A1'"), 1);
    }

    void yesterdaysTicketsAreNeverCalled() {
        issue(9, "2026-12-08");
        st().clock().setFixed(QDateTime(QDate(2026, 12, 10), QTime(0, 0, 5)));
        CallingOps ops(st());
        ops.next();
        QCOMPARE(ops.label1(), CallingOps::State::Idle);
        QCOMPARE(count("select * from tblCall"), 0);
    }

    void noCounterStaysIdle() {
        login(0);
        CallingOps ops(st());
        ops.next();
        QCOMPARE(ops.label1(), CallingOps::State::Idle);
        QVERIFY(!ops.lblLast());
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
        QCOMPARE(ops.transfer("A1",
                              c1("select tickAuto from tblticket where no_abr='A1'").toLongLong(),
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
    // A call-record insert that fails the way a locked or lost database does.
    void refuseCallRecords(const QString& why) {
        if (m_engine == DbEngine::Sqlite) {
            exec(QString("create trigger tv_test_refuse before insert on tblCall"
                         " begin select raise(abort, '%1'); end")
                     .arg(why));
        } else {
            exec(QString("create function tv_test_refuse() returns trigger language plpgsql as"
                         " $$ begin raise exception '%1' using errcode = '55P03'; end $$")
                     .arg(why));
            exec("create trigger tv_test_refuse before insert on tblCall for each row"
                 " execute function tv_test_refuse()");
        }
    }
    void allowCallRecords() {
        if (m_engine == DbEngine::Sqlite) {
            exec("drop trigger tv_test_refuse");
        } else {
            exec("drop trigger tv_test_refuse on tblCall");
            exec("drop function tv_test_refuse()");
        }
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
