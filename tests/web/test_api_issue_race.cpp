// Tickets taken through the web API while kiosks issue for the same service:
// every number handed out once, none skipped, every ticket with its code.
#include "core/connection.h"
#include "core/recordset.h"
#include "test_station.h"
#include "web/api_keys.h"
#include "web/hall_server.h"
#include "web_fixture.h"

#include <QApplication>
#include <QProcess>

using namespace tv;
using namespace tv::test;

class ApiIssueRaceTest : public QObject {
    Q_OBJECT

public:
    explicit ApiIssueRaceTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }

    void apiAndKiosksOneService() {
        Station& st = m_db->station();
        addService(st, 1, "Race", "R", 30000);
        const QString key = web::ApiKeys(st).create("race").key;
        web::WebOptions options;
        options.port = 0;
        options.issueBurst = 100000; // the race is about numbers, not the budget
        web::HallServer server(st, options);
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));

        const QString today = st.clock().todayText();
        constexpr int each = 120;
        QList<QProcess*> workers;
        for (int k = 0; k < 2; ++k) {
            auto* kiosk = new QProcess(this);
            kiosk->start(ISSUE_WORKER, {m_db->dir() + "/station.ini", m_db->dir() + "/data.db", "1",
                                        QString::number(each), today});
            auto* api = new QProcess(this);
            api->start(API_WORKER,
                       {QString::number(server.port()), key, "1", QString::number(each)});
            workers << kiosk << api;
        }
        // The service answers in this thread: keep the event loop running.
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(workers.begin(), workers.end(),
                        [](QProcess* p) { return p->state() == QProcess::NotRunning; }),
            180000);
        int reported = 0;
        for (QProcess* p : workers) {
            QCOMPARE(p->exitCode(), 0);
            const QByteArray err = p->readAllStandardError();
            QVERIFY2(err.trimmed().isEmpty(), err.constData());
            reported += p->readAllStandardOutput().trimmed().toInt();
        }
        QCOMPARE(reported, 4 * each);

        auto c = st.dbConnection;
        RecordSet rs(c,
                     "select tickNo from tblticket where servAuto=1 and tickDate=? order by tickNo",
                     {today});
        QCOMPARE(rs.recordCount(), 4 * each);
        for (int expected = 1; !rs.eof(); rs.moveNext(), ++expected)
            QCOMPARE(rs.number(0), expected); // no duplicate, no gap
        QCOMPARE(c->scalar("select count(distinct tickAuto) from tv_ticket_code").toInt(),
                 4 * each);
        QCOMPARE(c->scalar("select count(*) from tv_ticket_code").toInt(), 4 * each);
    }

private:
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(ApiIssueRaceTest)
#include "test_api_issue_race.moc"
