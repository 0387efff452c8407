#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QFileSystemWatcher;

namespace tv {

class Connection;
class Station;

// One call record as the board shows it.
struct CallLine {
    qint64 callauto = 0;
    QString token;   // callToken
    QString counter; // callCounter
    QString status;  // "0" not shown yet, "1" shown
    QString room;    // callRoom, the second line
};

// The display board's view of the call log: today's latest calls for the first
// fill, then the newest call not shown yet, one per poll. The feed asks the
// database only when something may have changed: PostgreSQL tells it through a
// notification (with a slow safety poll), SQLite through the file's data
// version, woken early by the file changing. A lost server is reconnected quietly; calls made
// meanwhile are still unshown in the log and come in on the next polls.
class CallFeed final : public QObject {
    Q_OBJECT

public:
    explicit CallFeed(Station& station, QObject* parent = nullptr);
    ~CallFeed() override;

    // The counter filter as the station holds it ("and 1=1", "and(servAuto=3 or
    // servAuto=7)", or ""); applied as bound values, never as statement text.
    void setCallFilter(const QString& filter);
    QList<int> filterCounters() const { return m_counters; }

    // Today's latest `rows` calls, shown or not, newest first.
    QList<CallLine> addFirst(int rows);
    // The newest call of today not shown yet; nothing when there is none, when
    // nothing can have changed since the last look, or when the database fails.
    std::optional<CallLine> poll();
    // Marks a call shown.
    bool markShown(qint64 callauto);

    // Queries sent to the database so far (for the benchmarks).
    qint64 queriesSent() const { return m_queries; }
    bool connected() const;
    // Seconds between safety polls while no notification arrives.
    int safetyPollMs = 2000;
    // Milliseconds between reconnection attempts after a failure.
    int reconnectMs = 1000;

signals:
    // Something may have changed: a poll now is worth it.
    void changed();

private:
    bool ensureConnection();
    void dropConnection();
    bool mayHaveChanged();
    QString filterSql() const;
    QVariantList filterBinds() const;

    Station& m_station;
    std::shared_ptr<Connection> m_connection;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    QList<int> m_counters;
    bool m_filtered = false;
    bool m_dirty = true; // look at least once, and again after every call taken
    qint64 m_dataVersion = -1;
    QElapsedTimer m_sinceLook;
    QElapsedTimer m_sinceFailure;
    qint64 m_queries = 0;
};

} // namespace tv
