// What a visitor's status page shows of a ticket at each stage, the wait
// estimate on a prepared day, and the visitor code kept with each ticket.
#include "test_station.h"
#include "web/hall_texts.h"
#include "web/ticket_status.h"
#include "web_fixture.h"

#include <QApplication>
#include <QJsonDocument>

using namespace tv;
using namespace tv::test;
using namespace tv::web;

class TicketStatusTest : public QObject {
    Q_OBJECT

public:
    explicit TicketStatusTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(11, 0, 0)));
        addService(st(), 1, "Blood Test", "A");
        addService(st(), 2, "X-Ray", "X", 2);
        addCounter(st(), 1, 1, "Desk 1");
        addCounter(st(), 2, 1, "Desk 2");
        addCounter(st(), 4, 2, "Room 4");
    }

    void everyTicketIsIssuedWithItsOwnCode() {
        const auto a = issueTicket(st(), 1);
        const auto b = issueTicket(st(), 1);
        QVERIFY(TokenAllocation::isVisitorCode(a.visitorCode));
        QVERIFY(a.visitorCode != b.visitorCode);
        // Only the digest is stored: the code itself is nowhere in the database.
        RecordSet rs(c(), "select tickAuto, codeHash from tv_ticket_code order by tickAuto");
        QCOMPARE(rs.recordCount(), 2);
        QCOMPARE(rs.number(0), a.tickAuto);
        QVERIFY(!rs.text(1).contains(a.visitorCode));
        QCOMPARE(rs.text(1), TokenAllocation::visitorCodeDigest(a.visitorCode));
        QCOMPARE(ops().ticketOfCode(a.visitorCode), std::optional<qint64>(a.tickAuto));
        QCOMPARE(ops().ticketOfCode(b.visitorCode), std::optional<qint64>(b.tickAuto));
    }

    void aTicketRefusedLeavesNoCode() {
        issueTicket(st(), 2);
        issueTicket(st(), 2);
        const auto over = issueTicket(st(), 2); // past its end number
        QCOMPARE(over.outcome, TokenAllocation::Issued::Outcome::Limit);
        QVERIFY(over.visitorCode.isEmpty());
        QCOMPARE(c()->scalar("select count(*) from tv_ticket_code").toInt(), 2);
        QCOMPARE(c()->scalar("select count(*) from tblTicket").toInt(), 2);
    }

    void everyMissLooksTheSame() {
        const auto a = issueTicket(st(), 1);
        QString wrong = a.visitorCode;
        wrong[15] = wrong[15] == u'A' ? u'B' : u'A';
        for (const QString& code :
             {wrong, QString("short"), QString("../../etc/passwd"), QString("AAAAAAAAAAAAAAA/"),
              QString(),
              a.visitorCode.toUpper() == a.visitorCode ? QString("x") : a.visitorCode.toUpper()})
            QVERIFY2(!ops().ticketOfCode(code).has_value(), qPrintable(code));
    }

    void aTicketAtEachStage() {
        const auto a1 = issueTicket(st(), 1);
        const auto a2 = issueTicket(st(), 1);
        const auto a3 = issueTicket(st(), 1);
        TicketStatus s = ops().statusOf(a3.tickAuto);
        QVERIFY(s.found);
        QCOMPARE(s.stage, Stage::Waiting);
        QCOMPARE(s.token, QString("A3"));
        QCOMPARE(s.serviceName, QString("Blood Test"));
        QCOMPARE(s.ahead, 2);
        QCOMPARE(s.nowServing, QString());
        QVERIFY(!s.wait.known); // nothing finished today yet: "estimating"

        CallingOps desk1(st());
        pressNext(st(), desk1, 1, 1, "Desk 1");
        s = ops().statusOf(a1.tickAuto);
        QCOMPARE(s.stage, Stage::Called);
        QCOMPARE(s.counter, QString("Desk 1"));
        QCOMPARE(ops().statusOf(a3.tickAuto).ahead, 1);
        QCOMPARE(ops().statusOf(a3.tickAuto).nowServing, QString("A1"));

        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(11, 4, 0)));
        pressNext(st(), desk1, 1, 1, "Desk 1"); // A1 done, A2 called
        s = ops().statusOf(a1.tickAuto);
        QCOMPARE(s.stage, Stage::Finished);
        QCOMPARE(ops().statusOf(a2.tickAuto).stage, Stage::Called);
        // A finished ticket and a counter at work: the wait is known now.
        s = ops().statusOf(a3.tickAuto);
        QCOMPARE(s.ahead, 0);
        QVERIFY(s.wait.known);
        QCOMPARE(s.wait.medianSeconds, 240);

        desk1.cancel();
        QCOMPARE(ops().statusOf(a2.tickAuto).stage, Stage::Cancelled);

        QCOMPARE(desk1.transfer("A3", a3.tickAuto, "Counter 2", "Mr. Sharma, bring the report"),
                 QString("Updated"));
        s = ops().statusOf(a3.tickAuto);
        QCOMPARE(s.stage, Stage::Transferred);
        QCOMPARE(s.counter, QString("Desk 2"));
        QCOMPARE(s.ahead, 0);

        // The page's data holds this ticket's facts only: no note, no key;
        // of the others only what the hall's own board shows.
        const QByteArray json = QJsonDocument(statusJson(s, Lang::English)).toJson();
        QVERIFY(!json.contains("Sharma"));
        QVERIFY(!json.contains("tickAuto"));
        QCOMPARE(statusJson(s, Lang::English).keys(),
                 (QStringList{"ahead", "counter", "nowServing", "service", "stage", "texts",
                              "token", "waitMinutes"}));
        QCOMPARE(statusJson(s, Lang::English).value("stage").toString(), QString("transferred"));
    }

    void manyTicketsAtOnceReadAsEachAlone() {
        QList<qint64> keys;
        for (int i = 0; i < 3; ++i)
            keys << issueTicket(st(), 1).tickAuto << issueTicket(st(), 2).tickAuto;
        CallingOps desk(st());
        pressNext(st(), desk, 1, 1, "Desk 1");
        pressNext(st(), desk, 1, 1, "Desk 1"); // A1 finished, A2 called
        pressNext(st(), desk, 4, 2, "Room 4");
        keys << 999999; // gone: simply not in the answer
        const auto all = ops().statusesOf(keys + keys);
        QCOMPARE(all.size(), 5); // X-Ray took two tickets only (end number 2)
        for (qint64 k : all.keys())
            QCOMPARE(all.value(k), ops().statusOf(k));
        QCOMPARE(all.value(keys[0]).stage, Stage::Finished);
        QCOMPARE(all.value(keys[2]).counter, QString("Desk 1"));
        QCOMPARE(all.value(keys[4]).ahead, 0);
        QCOMPARE(all.value(keys[3]).ahead, 0); // X2: X1 is with Room 4
        QVERIFY(!all.contains(999999));
    }

    void aTicketThatIsGone() {
        const auto a = issueTicket(st(), 1);
        c()->execute("delete from tblTicket");
        QVERIFY(!ops().statusOf(a.tickAuto).found);
    }

    void theWaitOnAPreparedDay() {
        const QString today = "2026-12-09";
        int no = 1;
        // Older finished tickets, slow ones: beyond the last 20, so they do not count.
        for (int i = 0; i < 5; ++i)
            ticket(1, no++, today, "1", 3, QTime(8, i * 5), QTime(8, i * 5).addSecs(3600),
                   "Finished");
        // The last 20 finished, by counter 3, long before the last half hour.
        QList<int> durations;
        for (int i = 0; i < 9; ++i)
            durations << 240;
        durations << 300 << 300;
        for (int i = 0; i < 9; ++i)
            durations << 420;
        for (int i = 0; i < 20; ++i) {
            const QTime finished = QTime(9, 30).addSecs(i * 120);
            ticket(1, no++, today, "1", 3, finished.addSecs(-durations[i]), finished, "Finished");
        }
        // Being served now by counters 1 and 2; a cancelled one has no service time.
        ticket(1, no++, today, "1", 1, QTime(10, 45), {}, "Finished");
        ticket(1, no++, today, "1", 2, QTime(10, 50), {}, "Finished");
        ticket(1, no++, today, "1", 2, QTime(10, 40), QTime(10, 41), "Cancelled");
        // Another service's counter and yesterday's quick tickets count for nothing here.
        ticket(2, 1, today, "1", 4, QTime(10, 55), {}, "Finished");
        for (int i = 0; i < 30; ++i)
            ticket(1, 200 + i, "2026-12-08", "1", 1, QTime(10, 0), QTime(10, 0, 10), "Finished");
        // Four waiting.
        qint64 last = 0;
        for (int i = 0; i < 4; ++i)
            last = ticket(1, no++, today, "0", 0, {}, {}, QString());

        const TicketStatus s = ops().statusOf(last);
        QCOMPARE(s.ahead, 3);
        QVERIFY(s.wait.known);
        QCOMPARE(s.wait.medianSeconds, 300);
        QCOMPARE(s.wait.activeCounters, 2);
        QCOMPARE(s.wait.minutes, 8); // 3 × 300 s / 2 = 7.5 min, said as 8

        const auto services = ops().activeServices();
        QCOMPARE(services.size(), 2);
        QCOMPARE(services[0].facts.waiting, 4);
        QCOMPARE(services[0].wait.minutes, 10); // a newcomer waits behind all four
        QVERIFY(!services[1].wait.known);       // X-Ray: no ticket finished today

        // Half an hour later nobody has called: estimating again.
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(11, 25, 0)));
        QVERIFY(!ops().statusOf(last).wait.known);
        QCOMPARE(statusJson(ops().statusOf(last), Lang::English)
                     .value("texts")
                     .toObject()
                     .value("wait")
                     .toString(),
                 QString("Estimating…"));
    }

private:
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    TicketStatusOps ops() { return TicketStatusOps(st()); }
    qint64 ticket(int service, int no, const QString& day, const QString& call, int counter,
                  const QTime& att, const QTime& finished, const QString& status) {
        c()->execute("insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, "
                     "attended, attTime, finished, status) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                     {service, no, day, QTime(8, 0), call.toInt(), QString("A%1").arg(no), counter,
                      att.isValid() ? QVariant(att) : QVariant(),
                      finished.isValid() ? QVariant(finished) : QVariant(),
                      status.isEmpty() ? QVariant() : QVariant(status)});
        return c()->scalar("select max(tickAuto) from tblTicket").toLongLong();
    }

    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(TicketStatusTest)
#include "test_ticket_status.moc"
