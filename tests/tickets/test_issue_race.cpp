// Kiosks racing for one service: every number handed out once, none skipped.
#include "core/connection.h"
#include "core/recordset.h"
#include "test_station.h"

#include <QApplication>
#include <QProcess>

using namespace tv;
using namespace tv::test;

class IssueRaceTest : public QObject {
    Q_OBJECT

public:
    explicit IssueRaceTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }

    void fourKiosksOneService() {
        auto c = m_db->station().dbConnection;
        c->execute("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, "
                   "active) values (1, 1, 'Race', 'R', 100, 30000, 1)");
        c->execute("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, "
                   "active) values (2, 1, 'Other', 'O', 1, 30000, 1)");
        const QString today = QStringLiteral("2026-12-09");
        constexpr int kiosks = 4;
        constexpr int each = 150;
        QList<QProcess*> workers;
        for (int k = 0; k < kiosks; ++k) {
            auto* p = new QProcess(this);
            // one kiosk issues for another service at the same time
            const int service = k == kiosks - 1 ? 2 : 1;
            p->start(ISSUE_WORKER, {m_db->dir() + "/station.ini", m_db->dir() + "/data.db",
                                    QString::number(service), QString::number(each), today});
            workers << p;
        }
        int reported = 0;
        for (QProcess* p : workers) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
            const QByteArray err = p->readAllStandardError();
            QVERIFY2(err.trimmed().isEmpty(), err.constData());
            reported += p->readAllStandardOutput().trimmed().toInt();
        }
        QCOMPARE(reported, kiosks * each);

        RecordSet rs(
            c,
            "select tickNo, no_abr from tblticket where servAuto=? and tickDate=? order by tickNo",
            {1, today});
        QCOMPARE(rs.recordCount(), (kiosks - 1) * each);
        for (int expected = 100; !rs.eof(); rs.moveNext(), ++expected) {
            QCOMPARE(rs.number(0), expected);
            QCOMPARE(rs.text(1), QString("R%1").arg(expected));
        }
        RecordSet other(
            c, "select count(*), min(tickNo), max(tickNo) from tblticket where servAuto=?", {2});
        QCOMPARE(other.number(0), each);
        QCOMPARE(other.number(1), 1);
        QCOMPARE(other.number(2), each);
    }

private:
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(IssueRaceTest)
#include "test_issue_race.moc"
