#include "settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cmath>

namespace tv {

SettingsStore::SettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

QString SettingsStore::path(const QString& application, const QString& section,
                            const QString& key) {
    // The file stores lower-case names; that is what makes lookups case-free.
    // A '/' inside a name would open a group of its own: keep it inside the key.
    auto part = [](const QString& s) { return s.toLower().replace(u'/', u'\\'); };
    return part(application) + u'/' + part(section) + u'/' + part(key);
}

QString SettingsStore::read(const QString& application, const QString& section, const QString& key,
                            const QString& defaultValue) const {
    const QVariant v = m_settings->value(path(application, section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

std::optional<int> SettingsStore::toNumber(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d) || d > 2147483647.0 || d < -2147483648.0) return std::nullopt;
    return static_cast<int>(std::lround(d));
}

int SettingsStore::readNumber(const QString& application, const QString& section,
                              const QString& key, int defaultValue) const {
    const QVariant v = m_settings->value(path(application, section, key));
    if (!v.isValid()) return defaultValue;
    return toNumber(v.toString()).value_or(defaultValue);
}

bool SettingsStore::contains(const QString& application, const QString& section,
                             const QString& key) const {
    return m_settings->contains(path(application, section, key));
}

void SettingsStore::write(const QString& application, const QString& section, const QString& key,
                          const QString& value) {
    m_settings->setValue(path(application, section, key), value);
    sync();
}

void SettingsStore::remove(const QString& application, const QString& section, const QString& key) {
    m_settings->remove(path(application, section, key));
    sync();
}

void SettingsStore::sync() {
    // The file holds the server password and the remembered login: only the
    // station's own user may read it, whatever the umask would make of it. A
    // new file is made owner-only before anything is written into it.
    const QString file = m_settings->fileName();
    constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    if (!QFile::exists(file)) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (f.open(QIODevice::WriteOnly)) f.setPermissions(ownerOnly);
    }
    m_settings->sync();
    if (QFile::exists(file) &&
        (QFile::permissions(file) & ~(ownerOnly | QFile::ReadUser | QFile::WriteUser)) != 0)
        QFile::setPermissions(file, ownerOnly);
}

} // namespace tv
