#pragma once

#include "guarded_server.h"
#include "rate_limit.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonObject>
#include <memory>

class QHttpServerRequest;
class QTcpSocket;

namespace tv {

class Station;

namespace web {

class LiveHub;

struct WebOptions {
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 8080; // 0: any free port (tests)
    GuardedServer::Limits limits;
    // Tickets one address may take through the API: a burst, then one per interval.
    int issueBurst = 5;
    qint64 issueRefillMs = 12000;
    int statusRefreshMs = 15000;
};

// "127.0.0.1:8080", "[::1]:8080", "0.0.0.0:80" or a bare port; false for anything else.
bool parseListen(const QString& text, QHostAddress* address, quint16* port);

// The hall web service on one database: visitors' status pages, the board in
// a browser, the JSON API and their web sockets. Every page and answer
// carries the security headers; every failure answers in JSON (the API) or a
// plain page, and the service goes on.
//
// Qt's HTTP server (6.4) routes by pattern but gives a route no say in its
// headers and no limits; this server does its own routing (a few fixed
// prefixes) on the abstract server, and its listening socket enforces the limits.
class HallServer final : public QAbstractHttpServer {
    Q_OBJECT

public:
    HallServer(Station& station, const WebOptions& options, QObject* parent = nullptr);
    ~HallServer() override;

    // Opens the listening socket and starts following the calls; false with
    // the reason in *error.
    bool start(QString* error);
    quint16 port() const;
    LiveHub& hub() { return *m_hub; }
    GuardedServer& tcp() { return *m_tcp; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Reply {
        int status = 200;
        QByteArray mime;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        bool cacheable = false;
    };
    static Reply json(int status, const QJsonObject& body);
    static Reply error(int status, const char* code, const QString& message);
    static void respond(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply);

    Reply route(const QHttpServerRequest& request);
    Reply routeApi(const QHttpServerRequest& request, const QStringList& parts);
    Reply postTicket(const QHttpServerRequest& request);
    Reply voiceFile(const QStringList& parts);
    QString statusAddress(const QHttpServerRequest& request, const QString& code) const;
    void takeWebSockets();
    bool reconnect();

    Station& m_station;
    WebOptions m_options;
    GuardedServer* m_tcp;
    std::unique_ptr<LiveHub> m_hub;
    RateLimit m_issueLimit;
    QElapsedTimer m_clock;
    qint64 m_lastReconnect = -1;
};

} // namespace web
} // namespace tv
