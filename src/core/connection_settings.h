#pragma once

#include <QString>

namespace tv {

class StationSettings;

// Where the station's database is. An empty host means the embedded database
// file on this machine; a host means the shared server.
struct ConnectionSettings {
    QString host;
    QString database;
    QString user;
    QString password;
    QString authentication = QStringLiteral("SQL Authentication");

    static inline const QString sqlAuthentication = QStringLiteral("SQL Authentication");
    static inline const QString windowsAuthentication = QStringLiteral("Windows Authentication");

    bool isEmbedded() const { return host.trimmed().isEmpty(); }
    // Server authentication uses user and password; anything else connects
    // without them (peer, trust or Kerberos on the server).
    bool usesPassword() const { return authentication == sqlAuthentication; }

    // Host and port from the host box: "server", "server:5433" or "server,5433".
    QString serverName() const;
    int serverPort() const; // -1 = the client's default

    // Host, database, user and password from the store; the authentication kind
    // is read from the store each time a connection opens, so it is not here.
    static ConnectionSettings load(const StationSettings& settings);
};

} // namespace tv
