// The call feed on the shared server: woken by the server, unharmed by a
// server restart, and never holding the board up while the server hangs.
#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "core/ui/flex_grid.h"
#include "display/display_board.h"
#include "test_station.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

using namespace tv;
using namespace tv::test;

namespace {
// Holds a server process stopped, as a hung server or a link that drops every
// packet would. A watchdog lets it go on after a while in any case, so a test
// that is itself stuck cannot leave the server stopped.
class ServerPause final {
public:
    explicit ServerPause(qint64 pid) : m_pid(static_cast<pid_t>(pid)) {
        ::kill(m_pid, SIGSTOP);
        m_watchdog = std::thread([this] {
            std::unique_lock lock(m_mutex);
            if (m_cv.wait_for(lock, std::chrono::seconds(8), [this] { return m_resumed; })) return;
            m_watchdogFired = true;
            m_resumed = true;
            ::kill(m_pid, SIGCONT);
        });
    }
    ~ServerPause() {
        resume();
        m_watchdog.join();
    }
    void resume() {
        {
            std::lock_guard lock(m_mutex);
            if (!m_resumed) ::kill(m_pid, SIGCONT);
            m_resumed = true;
        }
        m_cv.notify_all();
    }
    // The test did not get to resume the server itself.
    bool watchdogFired() const { return m_watchdogFired; }

private:
    pid_t m_pid;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_resumed = false;
    std::atomic<bool> m_watchdogFired{false};
    std::thread m_watchdog;
};
} // namespace

class CallFeedPgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!pgServer().available()) QSKIP("no PostgreSQL test server");
        m_db = std::make_unique<TestStation>(DbEngine::Postgres);
        exec("insert into tbltheme (themeauto, themename, colums, rows) values (1, 'T', 2, 5)");
        st().themeNo = 1;
        st().clock().setFixed(QDateTime(QDate(2024, 3, 14), QTime(9, 45, 10)));
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() { exec("delete from tblCall"); }

    void aNotificationWakesTheBoardBetweenTicks() {
        DisplayBoard b(st());
        b.timer1()->stop();               // no ticks at all
        b.feed().setSafetyPollMs(600000); // and no safety poll: only the server's word
        QVERIFY(QTest::qWaitFor([&] { return !b.polling(); })); // the load's look
        QSignalSpy shown(&b, &DisplayBoard::lineShown);
        call("N1");
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 5000);
        QCOMPARE(b.grid()->textMatrix(1, 1), QString(" N1"));
    }

    void idleBoardDoesNotAskTheServer() {
        DisplayBoard b(st());
        b.feed().setSafetyPollMs(600000);
        QSignalSpy ticks(b.timer1(), &QTimer::timeout);
        QTRY_VERIFY(ticks.count() >= 30 && !b.polling());
        QVERIFY(b.feed().connected());
        const qint64 before = b.feed().queriesSent();
        const qsizetype seen = ticks.count();
        QTRY_VERIFY(ticks.count() >= seen + 50);
        QCOMPARE(b.feed().queriesSent(), before);
    }

    void theBoardRunsOnWhileItsServerHangs() {
        auto b = board();
        b->feed().setSafetyPollMs(0); // every poll asks the server
        const qint64 pid = serverProcessOf(b->feed());
        QVERIFY(pid > 0);
        ServerPause pause(pid);
        QSignalSpy handled(b.get(), &DisplayBoard::pollHandled);
        const qint64 asked = b->feed().queriesSent();
        b->Timer1_Timer(); // returns at once; the answer is what waits
        QVERIFY(b->polling());
        int ticks = 0;
        QTimer ui;
        ui.setInterval(5);
        connect(&ui, &QTimer::timeout, this, [&] { ++ticks; });
        ui.start();
        QVERIFY(QTest::qWaitFor([&] { return ticks >= 20; }, 6000));
        QVERIFY(b->feed().queriesSent() > asked); // the feed's thread did ask...
        QCOMPARE(handled.count(), 0);             // ...and is still waiting for the server
        QVERIFY(b->polling());
        b->Timer1_Timer(); // no second poll piles up behind the first
        call("P1");
        pause.resume();
        QVERIFY(handled.wait(10000));
        QTRY_COMPARE_WITH_TIMEOUT(topAfterPolls(*b), QString(" P1"), 10000);
        QVERIFY(!pause.watchdogFired());
    }

    void closingTheBoardWhileItsServerHangs() {
        auto b = board();
        b->feed().setSafetyPollMs(0);
        const qint64 pid = serverProcessOf(b->feed());
        QVERIFY(pid > 0);
        QPointer<QThread> thread = b->feed().workerThread();
        ServerPause pause(pid);
        const qint64 asked = b->feed().queriesSent();
        b->Timer1_Timer();
        QTRY_VERIFY(b->feed().queriesSent() > asked); // stuck in the statement now
        b.reset();                                    // closing does not wait for the server
        QVERIFY(!pause.watchdogFired());
        QVERIFY(thread && thread->isRunning());
        pause.resume();
        QTRY_VERIFY_WITH_TIMEOUT(thread.isNull(), 10000); // it ended and cleaned up after itself
    }

    void aServerRestartLosesNoCall() {
        const QString dir = qEnvironmentVariable("TALLYVOX_TEST_PG_DIR");
        if (dir.isEmpty()) QSKIP("the test server's folder is not known");
        DisplayBoard b(st());
        b.feed().setReconnectDelays(200, 800);
        b.feed().setSafetyPollMs(200);
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
        QTRY_COMPARE_WITH_TIMEOUT(b.grid()->textMatrix(1, 1), QString(" R3"), 15000);
        QCOMPARE(b.grid()->textMatrix(2, 1), QString(" R2"));
        QCOMPARE(b.grid()->textMatrix(3, 1), QString(" R1")); // the list was kept
        QTRY_COMPARE(
            RecordSet(st().dbConnection, "select * from tblcall where status='0'").recordCount(),
            0);
        // Found again: the next loss starts over with the shortest wait.
        QVERIFY(b.feed().connected());
        QCOMPARE(b.feed().reconnectDelayMs(), 0);
        QVERIFY(b.feed().connectAttempts() >= 2);
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
    std::unique_ptr<DisplayBoard> board() {
        auto b = std::make_unique<DisplayBoard>(st());
        b->timer1()->stop();
        if (!QTest::qWaitFor([&] { return !b->polling(); }, 10000))
            qWarning("the board's first poll was not answered");
        return b;
    }
    // The server process behind the feed's own connection (0 when none).
    static qint64 serverProcessOf(CallFeed& feed) {
        auto pid = std::make_shared<std::atomic<qint64>>(-1);
        feed.runInFeedThread([pid](Connection* c) {
            qint64 p = 0;
            try {
                if (c) p = c->scalar("select pg_backend_pid()").toLongLong();
            } catch (const DbError&) {
            }
            *pid = p;
        });
        return QTest::qWaitFor([&] { return *pid >= 0; }, 10000) ? pid->load() : 0;
    }
    // The top line once the next poll has been answered.
    static QString topAfterPolls(DisplayBoard& b) {
        QSignalSpy handled(&b, &DisplayBoard::pollHandled);
        b.Timer1_Timer();
        if (b.polling()) handled.wait(2000);
        return b.grid()->textMatrix(1, 1);
    }
    std::unique_ptr<TestStation> m_db;
};

QTEST_MAIN(CallFeedPgTest)
#include "test_call_feed_pg.moc"
