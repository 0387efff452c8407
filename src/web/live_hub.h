#pragma once

#include "hall_texts.h"
#include "ticket_status.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <memory>

class QWebSocket;

namespace tv {

class CallFeed;
struct CallLine;
class Station;

namespace web {

// The web sockets of the service: hall boards in browsers and visitors'
// status pages. It follows the call log through a read-only call feed (woken
// by the server's notifications or the embedded file's data version, with the
// feed's reconnection) and pushes each new call to the boards that show its
// counter, and a fresh status to the pages of the tickets of its service.
//
// Calls are followed by their key. On a server two counters can commit their
// calls in the other order than their keys were given; a key skipped over is
// therefore looked for again for a while, so a late commit still reaches the
// boards instead of being passed by.
class LiveHub final : public QObject {
    Q_OBJECT

public:
    // How long a skipped key is looked for again.
    static constexpr int gapWatchMs = 60000;
    static constexpr int readLimit = 500;
    // Sockets are pinged this often; one that leaves two pings in a row
    // unanswered is given up.
    void setPingInterval(int ms) { m_ping.setInterval(ms); }

    LiveHub(Station& station, int statusRefreshMs, QObject* parent = nullptr);
    ~LiveHub() override;

    // Starts following from the newest call in the log (or `after`). Raises DbError.
    void start(qint64 after = -1);

    // A board that shows the calls of `counters` (all when empty). Calls after
    // `after` that it missed while away are sent first (today's only).
    void addBoard(std::unique_ptr<QWebSocket> socket, const QList<int>& counters, qint64 after);
    // A status page of ticket `tickAuto`.
    void addStatus(std::unique_ptr<QWebSocket> socket, qint64 tickAuto, Lang lang);

    int boards() const { return int(m_boards.size()); }
    int statusPages() const { return int(m_statuses.size()); }
    qint64 lastCallauto() const { return m_after; }
    CallFeed& feed() { return *m_feed; }

    // The message a board gets for one call.
    QByteArray callMessage(const CallLine& line) const;

signals:
    // A call went out to the boards (for tests and benchmarks).
    void callPushed(qint64 callauto);
    void statusPushed(qint64 tickAuto);

private:
    struct Board {
        QWebSocket* socket;
        QList<int> counters;
    };
    struct StatusPage {
        QWebSocket* socket;
        qint64 tickAuto;
        qint16 service;
        Lang lang;
        QByteArray last; // what it was sent last, so an unchanged status is not sent again
    };

    void follow();
    void onRead(bool ok, const QList<CallLine>& lines);
    void deliver(const CallLine& line);
    void refreshStatuses(const QSet<qint16>& services, bool all);
    void watch(QWebSocket* socket);
    void dropSocket(QWebSocket* socket);
    qint16 serviceOfCounter(qint64 counterKey);
    QStringList soundsFor(const CallLine& line) const;

    Station& m_station;
    std::unique_ptr<CallFeed> m_feed;
    qint64 m_after = 0;
    QHash<qint64, qint64> m_gaps; // skipped key -> when it stops being looked for (ms)
    QElapsedTimer m_clock;
    bool m_reading = false;
    bool m_again = false;
    QTimer m_safety;
    QTimer m_statusRefresh;
    QTimer m_ping;
    QHash<QWebSocket*, qint64> m_heard; // when each socket last answered a ping (ms)
    QList<Board> m_boards;
    QList<StatusPage> m_statuses;
    QHash<qint64, qint16> m_counterService;
    QSet<qint16> m_pendingServices; // whose pages a refresh is scheduled for
};

} // namespace web
} // namespace tv
