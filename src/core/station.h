#pragma once

#include "clock.h"
#include "connection_settings.h"
#include "station_settings.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

namespace tv {

class Connection;

// Whom the station works for.
struct LoginState {
    qint16 counterId = 0;       // cntAuto
    qint16 serviceId = 0;       // servAuto of that counter
    QString counterName;        // contName
    QString counterDisplayName; // displayName
    bool isAdmin = false;
    int adminUserId = 0; // userAuto
};

// Everything one running station shares between its windows: the settings,
// the shared database connection, who is logged in, the display's theme and
// counter filter, the voice in use and the clock. No other globals.
class Station final : public QObject {
    Q_OBJECT

public:
    Station(const QString& profile, const QString& settingsFile, QObject* parent = nullptr);
    ~Station() override;

    QString profile() const { return m_profile; }
    StationSettings& settings() { return m_settings; }
    const StationSettings& settings() const { return m_settings; }
    Clock& clock() { return m_clock; }

    // The connection settings as last loaded (start-up, connection dialog).
    ConnectionSettings connectionSettings;
    void loadConnectionSettings();

    // The embedded data file (used when the host is empty).
    QString embeddedFile() const { return m_embeddedFile; }
    void setEmbeddedFile(const QString& file) { m_embeddedFile = file; }
    // Folder of the data file, for backups.
    QString dataFolder;

    // Seconds a server gets to answer a connection attempt.
    int connectTimeoutSeconds = 10;

    // The connection settings as a connection uses them: the authentication
    // kind is read from the store each time.
    ConnectionSettings effectiveConnectionSettings() const;

    // Replaces the shared connection by a newly opened one. On failure the
    // shared connection is left as it was, connectionFailed() is emitted (the
    // shell shows the connection dialog) and the result is false. The
    // authentication kind is read from the store each time. A database that has
    // no tables yet gets them when it is the embedded one; an older schema is
    // brought up to date.
    bool openConnection();
    QString lastConnectionError() const { return m_lastError; }

    std::shared_ptr<Connection> dbConnection;
    LoginState login;
    qint16 themeNo = 0;
    QString callFilter;
    QString voiceName;
    // The grid screen that "Send to Excel" exports: the report or clearing
    // screen that became active last registers itself here.
    QPointer<QObject> exportSource;

signals:
    void connectionFailed(const QString& error);
    // The settings screen stored new settings: open screens that hold a
    // setting of their own take it again.
    void settingsSaved();

private:
    QString m_profile;
    StationSettings m_settings;
    Clock m_clock;
    QString m_embeddedFile;
    QString m_lastError;
    bool m_schemaChecked = false;
};

} // namespace tv
