#pragma once

// Talking to the web service from a test, with the event loop running so the
// service (in the same thread) can answer.
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QtTest>

namespace tv::test {

struct HttpAnswer {
    int status = 0;
    QByteArray body;
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

class WebClient final {
public:
    explicit WebClient(quint16 port) : m_port(port) {}

    HttpAnswer get(const QString& path, const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        return send("GET", path, {}, headers);
    }
    HttpAnswer post(const QString& path, const QByteArray& body,
                    const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        return send("POST", path, body, headers);
    }

    HttpAnswer send(const QByteArray& verb, const QString& path, const QByteArray& body,
                    const QList<QPair<QByteArray, QByteArray>>& headers) {
        QNetworkRequest rq(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
        rq.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        for (const auto& h : headers)
            rq.setRawHeader(h.first, h.second);
        QNetworkReply* r = m_nam.sendCustomRequest(rq, verb, body);
        HttpAnswer a;
        if (!QTest::qWaitFor([r] { return r->isFinished(); }, 20000)) {
            r->abort();
            r->deleteLater();
            return a;
        }
        a.status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        a.body = r->readAll();
        for (const auto& h : r->rawHeaderPairs())
            a.headers.insert(h.first.toLower(), h.second);
        r->deleteLater();
        return a;
    }

    // Bytes as they stand on a connection of its own; what came back until the
    // service closed it or `ms` passed.
    QByteArray raw(const QByteArray& request, int ms = 5000) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, m_port);
        if (!QTest::qWaitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }, 5000))
            return {};
        s.write(request);
        QByteArray got;
        (void)QTest::qWaitFor(
            [&] {
                got += s.readAll();
                return s.state() == QAbstractSocket::UnconnectedState || answered(got);
            },
            ms);
        return got + s.readAll();
    }

private:
    static bool answered(const QByteArray& got) {
        const qsizetype end = got.indexOf("\r\n\r\n");
        if (end < 0) return false;
        const QByteArray head = got.left(end).toLower();
        const qsizetype at = head.indexOf("content-length:");
        if (at < 0) return false;
        const qsizetype eol = head.indexOf("\r\n", at);
        const int length = head.mid(at + 15, eol < 0 ? -1 : eol - at - 15).trimmed().toInt();
        return got.size() >= end + 4 + length;
    }

    quint16 m_port;
    QNetworkAccessManager m_nam;
};

} // namespace tv::test
