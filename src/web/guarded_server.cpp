#include "guarded_server.h"

#include <QTcpSocket>

namespace tv::web {

namespace {

QByteArray plainAnswer(int status, const char* reason, const QByteArray& json) {
    return QByteArray("HTTP/1.1 ") + QByteArray::number(status) + ' ' + reason +
           "\r\nContent-Type: application/json\r\nContent-Length: " +
           QByteArray::number(json.size()) +
           "\r\nConnection: close\r\nRetry-After: 5\r\nX-Content-Type-Options: nosniff\r\n"
           "Content-Security-Policy: default-src 'none'; frame-ancestors 'none'\r\n"
           "Cache-Control: no-store\r\n\r\n" +
           json;
}

// How a request so far stands against the limits: 0 within them, else the
// status to refuse it with.
int overLimit(const QByteArray& head, qint64 waiting, const GuardedServer::Limits& limits) {
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0 ? waiting > limits.maxHeaderBytes : end > limits.maxHeaderBytes) return 431;
    if (waiting > limits.maxRequestBytes) return 413;
    if (end >= 0) {
        // A body announced too long is refused before it arrives.
        static const QByteArray name = "\r\ncontent-length:";
        const QByteArray lower = head.left(end + 2).toLower();
        const qsizetype at = lower.indexOf(name);
        if (at >= 0) {
            const qsizetype eol = lower.indexOf("\r\n", at + name.size());
            const qint64 length =
                lower.mid(at + name.size(), eol - at - name.size()).trimmed().toLongLong();
            if (end + 4 + length > limits.maxRequestBytes) return 413;
        }
    }
    return 0;
}

} // namespace

GuardedServer::GuardedServer(const Limits& limits, QObject* parent)
    : QTcpServer(parent), m_limits(limits) {
    // A slow or silent sender is noticed soon after its time runs out.
    m_sweep.setInterval(qBound(50, qMin(limits.requestTimeoutMs, limits.idleTimeoutMs) / 4, 1000));
    connect(&m_sweep, &QTimer::timeout, this, &GuardedServer::sweep);
    m_sweep.start();
}

void GuardedServer::incomingConnection(qintptr handle) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    if (openConnections() >= m_limits.maxConnections) {
        ++m_refused;
        socket->write(plainAnswer(
            503, "Service Unavailable",
            R"({"error":"busy","message":"Too many connections; try again shortly."})"));
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        return;
    }
    m_sockets.append(socket);
    Watch& w = m_watch[socket];
    w.socket = socket;
    w.since.start();
    guard(socket);
    addPendingConnection(socket);
}

void GuardedServer::guard(QTcpSocket* socket) {
    // Connected before the HTTP server's own handler, so it looks first. The
    // server keeps an unfinished request in the socket's buffer (it reads in a
    // transaction), so what is available is the request so far.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        const qint64 waiting = socket->bytesAvailable();
        const int refuse =
            overLimit(socket->peek(qMin(waiting, m_limits.maxRequestBytes + 1)), waiting, m_limits);
        if (refuse != 0) {
            socket->readAll();
            socket->write(
                refuse == 431
                    ? plainAnswer(431, "Request Header Fields Too Large",
                                  R"({"error":"too_large","message":"Request headers too large."})")
                    : plainAnswer(413, "Payload Too Large",
                                  R"({"error":"too_large","message":"Request too large."})"));
            socket->disconnectFromHost();
            m_watch.remove(socket);
            return;
        }
        const auto it = m_watch.find(socket);
        if (it == m_watch.end() || waiting == 0 || it->inRequest) return;
        // A web socket's handshake: from here on the socket is the web
        // socket's, whose pings tell a live browser from a dead one.
        const QByteArray head = socket->peek(qMin(waiting, m_limits.maxHeaderBytes)).toLower();
        if (head.contains("\r\nupgrade:") && head.contains("websocket")) {
            m_watch.erase(it);
            return;
        }
        it->inRequest = true;
        it->since.start();
    });
    // An answer went out: the connection waits for its next request.
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        if (const auto it = m_watch.find(socket); it != m_watch.end()) {
            it->inRequest = false;
            it->since.start();
        }
    });
}

int GuardedServer::openConnections() {
    m_sockets.removeIf([](const QPointer<QTcpSocket>& s) {
        return s.isNull() || s->state() == QAbstractSocket::UnconnectedState;
    });
    return int(m_sockets.size());
}

void GuardedServer::sweep() {
    for (auto it = m_watch.begin(); it != m_watch.end();) {
        QTcpSocket* socket = it->socket.data();
        const int allowed = it->inRequest ? m_limits.requestTimeoutMs : m_limits.idleTimeoutMs;
        if (!socket || socket->state() == QAbstractSocket::UnconnectedState) {
            it = m_watch.erase(it);
        } else if (it->since.elapsed() > allowed) {
            it = m_watch.erase(it);
            socket->abort();
        } else {
            ++it;
        }
    }
}

} // namespace tv::web
