// Twenty counters of one service pressing Next as fast as they can: every
// ticket is called exactly once, none is left behind.
#include "core/connection.h"
#include "core/recordset.h"
#include "test_station.h"

#include <QApplication>
#include <QProcess>

using namespace tv;
using namespace tv::test;

class CallRaceTest : public QObject {
    Q_OBJECT

public:
    explicit CallRaceTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }

    void twentyCountersOneQueue() {
        auto c = m_db->station().dbConnection;
        const QString today = QStringLiteral("2026-12-09");
        constexpr int tickets = 400;
        constexpr int counters = 20;
        {
            Connection::WriteTransaction tx(*c);
            for (int n = 1; n <= tickets; ++n)
                c->execute("insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, "
                           "no_abr, attended)"
                           " values (1, ?, ?, '08:00:00', 0, ?, 0)",
                           {n, today, QString("A%1").arg(n)});
            tx.commit();
        }
        QList<QProcess*> workers;
        for (int k = 1; k <= counters; ++k) {
            auto* p = new QProcess(this);
            p->start(CALL_WORKER, {m_db->dir() + "/station.ini", m_db->dir() + "/data.db",
                                   QString::number(k), "1", today});
            workers << p;
        }
        int reported = 0;
        for (QProcess* p : workers) {
            QVERIFY(p->waitForFinished(180000));
            const QByteArray err = p->readAllStandardError();
            QVERIFY2(p->exitCode() == 0 && err.trimmed().isEmpty(), err.constData());
            reported += p->readAllStandardOutput().trimmed().toInt();
        }
        QCOMPARE(reported, tickets);
        QCOMPARE(RecordSet(c, "select * from tblticket where call='0'").recordCount(), 0);
        RecordSet calls(c, "select count(*), count(distinct tickAuto) from tblCall");
        QCOMPARE(calls.number(0), tickets);
        QCOMPARE(calls.number(1), tickets);
        // each ticket went to the counter whose call record names it
        RecordSet mismatch(
            c, "select count(*) from tblCall k, tblticket t where t.tickAuto = k.tickAuto"
               " and t.attended <> k.servAuto");
        QCOMPARE(mismatch.number(0), 0);
    }

private:
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(CallRaceTest)
#include "test_call_race.moc"
