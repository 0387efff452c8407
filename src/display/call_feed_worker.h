#pragma once

#include "call_feed.h"
#include "core/connection_settings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTime>
#include <QTimer>
#include <memory>

class QFileSystemWatcher;

namespace tv {

// How long to wait before the next connection attempt: the first delay after
// a failure, doubled after each further failure up to a ceiling, and nothing
// again once connected. A server that is down is thus not hammered, and one
// that comes back is found again within the ceiling.
class ReconnectBackoff final {
public:
    ReconnectBackoff(int firstMs, int capMs) { setDelays(firstMs, capMs); }
    void setDelays(int firstMs, int capMs);
    // Records a failure; returns the wait before the next attempt.
    int failed();
    void succeeded() { m_current = 0; }
    int current() const { return m_current; }

private:
    int m_first = 1000;
    int m_cap = 30000;
    int m_current = 0;
};

// The feed's database side. It lives in the feed's thread and is only ever
// called there (through queued calls), so its connection is opened, used and
// closed in that one thread. It watches for changes itself (the server's
// notifications, the embedded file and its data version) and says changed()
// when a poll is worth it, also when the wait before the next connection
// attempt is over.
class CallFeedWorker final : public QObject {
    Q_OBJECT

public:
    CallFeedWorker(const ConnectionSettings& settings, const QString& embeddedFile,
                   std::shared_ptr<FeedGauges> gauges, bool readOnly = false);
    ~CallFeedWorker() override;

    void setFilter(const QList<int>& counters) { m_counters = counters; }
    void setReconnectDelays(int firstMs, int capMs) { m_backoff.setDelays(firstMs, capMs); }
    void fill(int rows, const QString& today, const QTime& now);
    void poll(const QString& today, const QTime& now);
    void markShown(qint64 callauto);
    void readTicker(const QString& today, const QTime& now);
    void readPlaylist(const QString& today, const QTime& now);
    void readSince(qint64 callauto, const QList<qint64>& keys, int limit, const QString& today,
                   const QTime& now);
    void inspect(const std::function<void(Connection*)>& job) { job(m_connection.get()); }

signals:
    void filled(const QList<tv::CallLine>& lines);
    void polled(bool found, const tv::CallLine& line);
    void changed();
    void connectFailed(int nextDelayMs);
    void tickerRead(const QList<tv::TickerMessage>& left, const QList<tv::TickerMessage>& right);
    void playlistRead(const QStringList& files);
    void read(bool ok, const QList<tv::CallLine>& lines);

private:
    bool ensureConnection(const QString& today, const QTime& now);
    int putAsideStaleCalls(const QString& today, const QTime& now);
    void sendFill(const QString& today);
    void connectionFailed();
    void dropConnection();
    void checkDataVersion();
    QString filterSql() const;
    QVariantList filterBinds() const;

    const ConnectionSettings m_settings;
    const QString m_embeddedFile;
    const bool m_readOnly;
    std::shared_ptr<FeedGauges> m_gauges;
    std::shared_ptr<Connection> m_connection;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    ReconnectBackoff m_backoff{1000, 30000};
    QElapsedTimer m_sinceFailure;
    QTimer m_retry;        // the wait before the next connection attempt
    QTimer m_versionCheck; // the embedded file's data version, a cheap look
    qint64 m_dataVersion = -1;
    QList<int> m_counters;
    int m_rows = 0;
    bool m_fillWanted = false;
};

} // namespace tv
