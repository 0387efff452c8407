#include "station.h"

#include "connection.h"
#include "data_path.h"
#include "db_error.h"
#include "paths.h"
#include "schema.h"

namespace tv {

Station::Station(const QString& profile, const QString& settingsFile, QObject* parent)
    : QObject(parent), m_profile(profile), m_settings(settingsFile) {
    m_embeddedFile = embeddedDataFile(paths::programFolder());
    loadConnectionSettings();
}

Station::~Station() = default;

void Station::loadConnectionSettings() {
    connectionSettings = ConnectionSettings::load(m_settings);
}

ConnectionSettings Station::effectiveConnectionSettings() const {
    ConnectionSettings s = connectionSettings;
    s.authentication = m_settings.text(keys::SqlAuthentication);
    return s;
}

bool Station::openConnection() {
    const ConnectionSettings s = effectiveConnectionSettings();
    QString error;
    auto c = Connection::open(s, m_embeddedFile, &error, connectTimeoutSeconds);
    if (c && !m_schemaChecked) {
        try {
            const int stored = schema::storedVersion(*c);
            if ((stored == 0 && s.isEmbedded()) ||
                (stored > 0 && stored < schema::currentVersion()))
                schema::migrate(*c);
            m_schemaChecked = true;
        } catch (const DbError& e) {
            error = e.description();
            c.reset();
        }
    }
    if (!c) {
        m_lastError = error;
        emit connectionFailed(error);
        return false;
    }
    m_lastError.clear();
    dbConnection = std::move(c);
    return true;
}

} // namespace tv
