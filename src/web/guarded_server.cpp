#include "guarded_server.h"

#include <QTcpSocket>

namespace tv::web {

namespace {

QByteArray plainAnswer(int status, const char* reason, const QByteArray& json) {
    return QByteArray("HTTP/1.1 ") + QByteArray::number(status) + ' ' + reason +
           "\r\nContent-Type: application/json\r\nContent-Length: " +
           QByteArray::number(json.size()) +
           "\r\nConnection: close\r\nRetry-After: 5\r\nX-Content-Type-Options: nosniff\r\n"
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
    // A slow sender is noticed within a second of its time running out.
    m_sweep.setInterval(1000);
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
            m_partial.remove(socket);
            return;
        }
        if (waiting > 0 && !m_partial.contains(socket)) {
            Partial& p = m_partial[socket];
            p.socket = socket;
            p.since.start();
        }
    });
    // An answer went out: whatever comes next is a new request.
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { m_partial.remove(socket); });
}

int GuardedServer::openConnections() {
    m_sockets.removeIf([](const QPointer<QTcpSocket>& s) {
        return s.isNull() || s->state() == QAbstractSocket::UnconnectedState;
    });
    return int(m_sockets.size());
}

void GuardedServer::sweep() {
    for (auto it = m_partial.begin(); it != m_partial.end();) {
        QTcpSocket* socket = it->socket.data();
        if (!socket || socket->bytesAvailable() == 0) {
            it = m_partial.erase(it);
        } else if (it->since.elapsed() > m_limits.requestTimeoutMs) {
            it = m_partial.erase(it);
            socket->abort();
        } else {
            ++it;
        }
    }
}

} // namespace tv::web
