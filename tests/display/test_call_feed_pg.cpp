// The call feed on the shared server: woken by the server, and unharmed by a
// server restart.
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/flex_grid.h"
#include "display/display_board.h"
#include "test_station.h"

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>

using namespace tv;
using namespace tv::test;

class CallFeedPgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!pgServer().available()) QSKIP("no PostgreSQL test server");
        m_db = std::make_unique<TestStation>(DbEngine::Postgres);
        exec("insert into tbltheme (themeauto, themename, colums, rows) values (1, 'T', 2, 5)");
        st().themeNo = 1;
    }
    void cleanupTestCase() { m_db.reset(); }

    void aNotificationWakesTheBoardBetweenTicks() {
        DisplayBoard b(st());
        b.timer1()->stop();             // no ticks at all
        b.feed().safetyPollMs = 600000; // and no safety poll: only the server's word
        b.Timer1_Timer();               // a first look
        QSignalSpy shown(&b, &DisplayBoard::lineShown);
        call("N1");
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 5000);
        QCOMPARE(b.grid()->textMatrix(1, 1), QString(" N1"));
    }

    void idleBoardDoesNotAskTheServer() {
        DisplayBoard b(st());
        b.feed().safetyPollMs = 600000;
        QTest::qWait(300); // thirty ticks of the poll timer
        const qint64 before = b.feed().queriesSent();
        QTest::qWait(500);
        QCOMPARE(b.feed().queriesSent(), before);
    }

    void aServerRestartLosesNoCall() {
        const QString dir = qEnvironmentVariable("TALLYVOX_TEST_PG_DIR");
        if (dir.isEmpty()) QSKIP("the test server's folder is not known");
        DisplayBoard b(st());
        b.feed().reconnectMs = 200;
        b.feed().safetyPollMs = 200;
        call("R1");
        QTRY_COMPARE_WITH_TIMEOUT(b.grid()->textMatrix(1, 1), QString(" R1"), 5000);

        QProcess restart;
        restart.start("bash", {TALLYVOX_TOOLS_DIR "/pg-temp.sh", "restart", dir});
        QVERIFY(restart.waitForFinished(60000));
        QCOMPARE(restart.exitCode(), 0);
        // Calls made while the board has not found the server again.
        QVERIFY(st().openConnection());
        call("R2");
        call("R3");
        QTRY_COMPARE_WITH_TIMEOUT(b.grid()->textMatrix(2, 1), QString(" R3"), 15000);
        QCOMPARE(b.grid()->textMatrix(1, 1), QString(" R2"));
        QCOMPARE(b.grid()->textMatrix(3, 1), QString(" R1")); // the list was kept
        QCOMPARE(
            RecordSet(st().dbConnection, "select * from tblcall where status='0'").recordCount(),
            0);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    void call(const QString& token) {
        exec("insert into tblCall (servAuto, callToken, callCounter, status, tickAuto, tickDate, "
             "callRoom)"
             " values (3, ?, 'R3', '0', 1, ?, '')",
             {token, st().clock().todayText()});
    }
    std::unique_ptr<TestStation> m_db;
};

QTEST_MAIN(CallFeedPgTest)
#include "test_call_feed_pg.moc"
