#include "guarded_server.h"

#include <QRegularExpression>
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

// Whether the request so far can be one at all: 0 while it can, else the
// status to refuse it with. Qt's parser drops a connection it cannot read
// without a word; a client deserves to know what was wrong.
int malformed(const QByteArray& head) {
    const qsizetype eol = head.indexOf("\r\n");
    if (eol < 0) return 0; // the request line is not complete yet
    static const QRegularExpression line(
        QStringLiteral("^[A-Z]{1,16} [\\x21-\\x7e]+ HTTP/([0-9])\\.([0-9])$"));
    const auto m = line.match(QString::fromLatin1(head.left(eol)));
    if (!m.hasMatch()) return 400;
    if (m.captured(1) != u"1" || (m.captured(2) != u"0" && m.captured(2) != u"1")) return 505;
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0) return 0;
    // A web socket's handshake without its key: the socket server would only
    // hang up.
    const QByteArray lower = head.left(end + 2).toLower();
    if (lower.contains("\r\nupgrade:") && lower.contains("websocket") &&
        !lower.contains("\r\nsec-websocket-key:"))
        return 400;
    return 0;
}

const char* reasonOf(int status) {
    switch (status) {
    case 400:
        return "Bad Request";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 505:
        return "HTTP Version Not Supported";
    }
    return "Error";
}

QByteArray refusal(int status) {
    switch (status) {
    case 413:
        return plainAnswer(413, reasonOf(413),
                           "{\"error\":\"too_large\",\"message\":\"Request too large.\"}");
    case 431:
        return plainAnswer(431, reasonOf(431),
                           "{\"error\":\"too_large\",\"message\":\"Request headers too large.\"}");
    case 505:
        return plainAnswer(505, reasonOf(505),
                           "{\"error\":\"bad_request\",\"message\":\"Only HTTP/1.0 and "
                           "HTTP/1.1 are spoken here.\"}");
    }
    return plainAnswer(400, reasonOf(400),
                       "{\"error\":\"bad_request\",\"message\":\"Malformed request.\"}");
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
        const QByteArray head = socket->peek(qMin(waiting, m_limits.maxRequestBytes + 1));
        int refuse = overLimit(head, waiting, m_limits);
        if (refuse == 0) refuse = malformed(head.left(m_limits.maxHeaderBytes + 4));
        if (refuse != 0) {
            socket->readAll();
            socket->write(refusal(refuse));
            socket->disconnectFromHost();
            m_watch.remove(socket);
            return;
        }
        const auto it = m_watch.find(socket);
        if (it == m_watch.end() || waiting == 0 || it->inRequest) return;
        // A web socket's handshake: from here on the socket is the web
        // socket's, whose pings tell a live browser from a dead one.
        const QByteArray lower = head.left(m_limits.maxHeaderBytes).toLower();
        if (lower.contains("\r\nupgrade:") && lower.contains("websocket")) {
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
