#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tv::paths {

namespace {
QString home() {
    return qEnvironmentVariable("TALLYVOX_HOME");
}

QString ensured(const QString& folder) {
    QDir().mkpath(folder);
    return folder;
}

QString configFolder() {
    if (!home().isEmpty()) return ensured(home() + QStringLiteral("/profiles"));
    return ensured(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                   QStringLiteral("/Tallyvox"));
}

QString dataFolder() {
    if (!home().isEmpty()) return ensured(home() + QStringLiteral("/data"));
    return ensured(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                   QStringLiteral("/Tallyvox"));
}
} // namespace

QString programFolder() {
    const QString overridden = qEnvironmentVariable("TALLYVOX_PROGRAM_DIR");
    if (!overridden.isEmpty()) return overridden;
    return QCoreApplication::applicationDirPath();
}

QString profileFileName(const QString& profile) {
    QString p = profile.trimmed().toLower();
    static const QRegularExpression unsafe(QStringLiteral("[^a-z0-9_.-]"));
    p.replace(unsafe, QStringLiteral("_"));
    if (p.isEmpty() || p.startsWith(u'.')) p.prepend(QStringLiteral("default"));
    return p;
}

QString settingsFile(const QString& profile) {
    return configFolder() + u'/' + profileFileName(profile) + QStringLiteral(".ini");
}

QString instanceLockFile(const QString& profile) {
    return configFolder() + u'/' + profileFileName(profile) + QStringLiteral(".lock");
}

QString defaultDataFile() {
    return dataFolder() + QStringLiteral("/tallyvox.db");
}

} // namespace tv::paths
