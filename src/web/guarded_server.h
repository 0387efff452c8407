#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

namespace tv::web {

// The listening socket of the web service, with the limits Qt's HTTP server
// (6.4) does not have: at most `maxConnections` open at once (a new one past
// that gets "503" and is closed), at most `maxRequestBytes` of a request
// not yet answered and `maxHeaderBytes` of its headers (a huge header gets
// "431", a huge body "413", as soon as it shows, and the connection is
// closed before the request is held in memory), a request that trickles in
// slower than `requestTimeoutMs` is dropped, and so is a connection that
// sends nothing for `idleTimeoutMs` (before its first request or between
// two): idle sockets must not hold the places of the cap for good. Web
// sockets count against the cap for as long as they are open; their own
// pings look after them.
class GuardedServer final : public QTcpServer {
    Q_OBJECT

public:
    struct Limits {
        int maxConnections = 2000;
        qint64 maxHeaderBytes = 16 * 1024;
        qint64 maxRequestBytes = 64 * 1024; // headers and body
        int requestTimeoutMs = 10000;
        int idleTimeoutMs = 30000;
    };
    explicit GuardedServer(const Limits& limits, QObject* parent = nullptr);

    int openConnections();
    int refusedConnections() const { return m_refused; }

protected:
    void incomingConnection(qintptr handle) override;

private:
    void guard(QTcpSocket* socket);
    void sweep();

    Limits m_limits;
    // Counted by the sockets still alive, not by signals: a socket that
    // becomes a web socket loses every connection it had.
    QList<QPointer<QTcpSocket>> m_sockets;
    int m_refused = 0;
    // Plain HTTP connections and since when they wait: for the rest of a
    // request once its first bytes came, else for a request at all.
    struct Watch {
        QPointer<QTcpSocket> socket;
        QElapsedTimer since;
        bool inRequest = false;
    };
    QHash<QTcpSocket*, Watch> m_watch;
    QTimer m_sweep;
};

} // namespace tv::web
