// Ticket numbering per service and day, the stored row, and "Now Serving".
#include "core/connection.h"
#include "core/recordset.h"
#include "test_station.h"
#include "tickets/token_allocation.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;
using Outcome = TokenAllocation::Issued::Outcome;

class TokenAllocationTest : public QObject {
    Q_OBJECT

public:
    explicit TokenAllocationTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(9, 45, 10)));
        addService(1, "A", 100, 500);
    }

    void firstTicketOfTheDayTakesTheStartNumber() {
        TokenAllocation t(st());
        QCOMPARE(t.getToken(1, "2026-12-09"), 100);
        const auto a = t.issue(1, today());
        QCOMPARE(a.outcome, Outcome::Issued);
        QCOMPARE(a.number, 100);
        QCOMPARE(a.token, QString("A100"));
        const auto b = t.issue(1, today());
        QCOMPARE(b.token, QString("A101"));
    }

    void theStoredRow() {
        const auto a = TokenAllocation(st()).issue(1, today());
        RecordSet rs(c(), "select * from tblticket where tickAuto=?", {a.tickAuto});
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.number(1), 1);
        QCOMPARE(rs.number(2), 100);
        QCOMPARE(rs.text(3), QString("2026-12-09"));
        QCOMPARE(rs.text(4), QString("09:45:10"));
        QCOMPARE(rs.text(5), QString("0"));
        QCOMPARE(rs.text("no_abr"), QString("A100"));
        QCOMPARE(rs.number("attended"), 0);
        QVERIFY(rs.isNull("attTime"));
        QVERIFY(rs.isNull("finished"));
        QVERIFY(rs.isNull("status"));
    }

    void gapsAreNotFilled() {
        for (int n : {1, 2, 5})
            insertTicket(1, n, "2026-12-09");
        TokenAllocation t(st());
        QCOMPARE(t.getToken(1, "2026-12-09"), 6);
        QCOMPARE(t.issue(1, today()).number, 6);
        // a changed start number only counts on a day without tickets
        c()->execute("update tblService set startno=? where servAuto=1", {300});
        QCOMPARE(t.issue(1, today()).number, 7);
    }

    void limitIsTheLastNumber() {
        addService(2, "L", 10, 11);
        TokenAllocation t(st());
        QCOMPARE(t.issue(2, today()).number, 10);
        QCOMPARE(t.issue(2, today()).number, 11); // equal to endno: still issued
        const auto over = t.issue(2, today());
        QCOMPARE(over.outcome, Outcome::Limit);
        QCOMPARE(over.message, QString("Limit"));
        QCOMPARE(RecordSet(c(), "select * from tblticket where servAuto=2").recordCount(), 2);
    }

    void endBelowStartRefusesTheFirstTicket() {
        addService(3, "E", 50, 40);
        const auto r = TokenAllocation(st()).issue(3, today());
        QCOMPARE(r.outcome, Outcome::Limit);
        QCOMPARE(RecordSet(c(), "select * from tblticket").recordCount(), 0);
    }

    void anotherDayStartsAgain() {
        TokenAllocation t(st());
        t.issue(1, today());
        t.issue(1, today());
        const auto tomorrow = t.issue(1, today().addDays(1));
        QCOMPARE(tomorrow.number, 100);
        RecordSet rs(c(), "select tickDate from tblticket where tickAuto=?", {tomorrow.tickAuto});
        QCOMPARE(rs.text(0), QString("2026-12-10"));
    }

    void servicesCountApart() {
        addService(2, "B", 1, 99);
        TokenAllocation t(st());
        t.issue(1, today());
        QCOMPARE(t.issue(2, today()).token, QString("B1"));
        QCOMPARE(t.issue(1, today()).token, QString("A101"));
    }

    void emptyPrefixGivesTheBareNumber() {
        addService(4, "", 7, 99);
        QCOMPARE(TokenAllocation(st()).issue(4, today()).token, QString("7"));
    }

    void unsoundServicesGetAMessageAndNoTicket() {
        TokenAllocation t(st());
        const auto gone = t.issue(42, today());
        QCOMPARE(gone.outcome, Outcome::Refused);
        QVERIFY(!gone.message.isEmpty());
        c()->execute("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, "
                     "active) values (5, 1, 'NoStart', 'N', NULL, 10, 1)");
        c()->execute("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, "
                     "active) values (6, 1, 'NoEnd', 'M', 1, NULL, 1)");
        QCOMPARE(t.issue(5, today()).outcome, Outcome::Refused);
        QCOMPARE(t.issue(6, today()).outcome, Outcome::Refused);
        addService(7, "Z", 32767, 40000);
        QCOMPARE(t.issue(7, today()).number, 32767);
        const auto past = t.issue(7, today());
        QCOMPARE(past.outcome, Outcome::Refused);
        QVERIFY(past.message.contains("No more"));
        QCOMPARE(RecordSet(c(), "select * from tblticket").recordCount(), 1);
    }

    void nowServingIsTheLatestIssuedThatWasCalledToday() {
        TokenAllocation t(st());
        QCOMPARE(t.getNowServing(1), QString());
        const auto a = t.issue(1, today());
        const auto b = t.issue(1, today());
        t.issue(1, today());
        QCOMPARE(t.getNowServing(1), QString());
        // b called first, then a: the order of issue counts, not the order of calling
        c()->execute("update tblticket set call='1' where tickAuto=?", {b.tickAuto});
        c()->execute("update tblticket set call='1' where tickAuto=?", {a.tickAuto});
        QCOMPARE(t.getNowServing(1), QString("A101"));
        // yesterday's calls do not count
        st().clock().setFixed(QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
        QCOMPARE(t.getNowServing(1), QString());
    }

private:
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    QDate today() { return st().clock().today(); }
    void addService(int id, const QString& prefix, int start, int end) {
        c()->execute(
            "insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, "
            "servdesc, active)"
            " values (?, 1, ?, ?, ?, ?, ?, 1)",
            {id, QString("Service %1").arg(id), prefix, start, end, QString("desc %1").arg(id)});
    }
    void insertTicket(int service, int number, const QString& day) {
        c()->execute("insert into tblTicket (servAuto, tickNo, tickDate, call, no_abr, attended) "
                     "values (?, ?, ?, 0, ?, 0)",
                     {service, number, day, QString("A%1").arg(number)});
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(TokenAllocationTest)
#include "test_token_allocation.moc"
