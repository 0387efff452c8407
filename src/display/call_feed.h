#pragma once

#include "board_content.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace tv {

class CallFeedWorker;
class Connection;
class Station;

// One call record as the board shows it.
struct CallLine {
    qint64 callauto = 0;
    QString token;         // callToken
    QString counter;       // callCounter
    QString status;        // "0" not shown yet, "1" shown
    QString room;          // callRoom, the second line
    qint64 counterKey = 0; // servAuto: the calling counter's cntAuto
    qint64 tickAuto = 0;
    QString day; // tickDate
};

// What the feed's thread has done so far, readable from any thread (for the
// benchmarks, the status of the board and the tests).
struct FeedGauges {
    std::atomic<qint64> queries{0};
    std::atomic<int> connectAttempts{0};
    std::atomic<int> reconnectDelayMs{0}; // 0 while connected
    std::atomic<bool> connected{false};
};

// The display board's view of the call log: today's latest shown calls for the
// first fill, then the oldest call not shown yet, one per poll, so the board
// shows and announces calls in the order the counters made them.
//
// Every database wait happens in the feed's own thread: a server that is slow,
// silent or gone keeps that thread waiting, never the board. Requests go there
// as queued calls and their answers come back as signals; "today" and "now" are
// read from the station's clock here and travel with each request.
//
// The feed asks for a call only when something may have changed: PostgreSQL
// tells it through a notification, SQLite through the file changing and its
// data version; a slow safety poll covers a word that got lost. A lost server
// is reconnected quietly, waiting longer after each failed attempt; calls made
// meanwhile are still unshown in the log and come in on the next polls.
class CallFeed final : public QObject {
    Q_OBJECT

public:
    // A board that was off (or cut off from the server) must not replay the
    // calls it missed: when it (re)connects, unshown calls whose tickets were
    // called longer ago than this are marked shown without an announcement.
    // Two minutes covers a server restart and a queue of announcements, while
    // a visitor called earlier has long gone to the counter.
    static constexpr int staleCallSeconds = 120;

    // A board shows calls and marks them shown; a follower (the hall's web
    // service) only reads the log, so the boards still show every call.
    enum class Mode { Board, ReadOnly };

    explicit CallFeed(Station& station, QObject* parent = nullptr, Mode mode = Mode::Board);
    ~CallFeed() override;

    // The counter filter as the station holds it ("and 1=1", "and(servAuto=3 or
    // servAuto=7)", or ""); applied as bound values, never as statement text.
    void setCallFilter(const QString& filter);
    QList<int> filterCounters() const { return m_counters; }

    // Asks for today's latest `rows` calls that are already shown, newest first;
    // the answer is filled(). The list is sent again by itself after a
    // reconnection that put stale calls aside.
    void addFirst(int rows);
    // Asks for the oldest call of today not shown yet; the answer is polled().
    // False (and nothing asked) while the previous poll is still under way, or
    // when nothing can have changed since the last answer and the safety poll
    // is not due.
    bool poll();
    bool polling() const { return m_polling; }
    // Marks a call shown (in order with the polls: the next poll sees it).
    void markShown(qint64 callauto);
    // Asks for the calls after `callauto` (any day, shown or not, oldest first,
    // at most `limit`) and those of `keys`; the answer is read(), with ok =
    // false while the server is away (changed() comes when it is back).
    void readSince(qint64 callauto, const QList<qint64>& keys, int limit);
    // Asks for the active ticker messages; the answer is tickerRead(). Not
    // answered while the server is away: the ticker asks again on its next pass.
    void readTicker();
    // Asks for the active entries of the video list, in key order; the answer
    // is playlistRead().
    void readPlaylist();

    qint64 queriesSent() const { return m_gauges->queries; }
    bool connected() const { return m_gauges->connected; }
    int connectAttempts() const { return m_gauges->connectAttempts; }
    // The wait before the next connection attempt; 0 while connected.
    int reconnectDelayMs() const { return m_gauges->reconnectDelayMs; }

    // Milliseconds between safety polls while no change is heard of; 0 asks on
    // every poll().
    void setSafetyPollMs(int ms) { m_safetyPollMs = ms; }
    // The wait after the first failure, doubled after each further one up to `capMs`.
    void setReconnectDelays(int firstMs, int capMs);

    // The thread the database work runs in; it ends (and deletes itself) after
    // the feed is gone, once its current statement returns.
    QThread* workerThread() const { return m_thread; }
    // Runs `job` in the feed's thread with the feed's connection (null when not
    // connected): for looking at that connection from tests and tools.
    void runInFeedThread(std::function<void(Connection*)> job);

signals:
    // Something may have changed: a poll now is worth it.
    void changed();
    void filled(const QList<tv::CallLine>& lines);
    // The answer to poll(): the call, or found = false.
    void polled(bool found, const tv::CallLine& line);
    // A connection attempt failed; the next one comes after `nextDelayMs`.
    void connectFailed(int nextDelayMs);
    void tickerRead(const QList<tv::TickerMessage>& left, const QList<tv::TickerMessage>& right);
    void playlistRead(const QStringList& files);
    void read(bool ok, const QList<tv::CallLine>& lines);

private:
    void onChanged();
    void onPolled(bool found, const tv::CallLine& line);

    Station& m_station;
    std::shared_ptr<FeedGauges> m_gauges;
    QThread* m_thread;
    CallFeedWorker* m_worker; // lives in m_thread
    QList<int> m_counters;
    bool m_polling = false;
    bool m_worthAsking = true; // look at least once, and again after every call taken
    int m_safetyPollMs = 2000;
    QElapsedTimer m_sinceAsked;
};

} // namespace tv
