#include "splash.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/instance_lock.h"
#include "core/paths.h"
#include "core/schema.h"
#include "core/station.h"
#include "core/ui/sql_settings_dialog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

using namespace tv;

namespace {

// Creates or updates the tables of the configured database and says so.
int initDatabase(Station& station) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    station.loadConnectionSettings();
    if (!station.openConnection()) {
        err << "tallyvox: cannot open the database: " << station.lastConnectionError() << '\n';
        return 1;
    }
    try {
        const int before = schema::storedVersion(*station.dbConnection);
        schema::migrate(*station.dbConnection);
        out << "tallyvox: database " << station.dbConnection->description() << " at schema version "
            << schema::currentVersion()
            << (before == schema::currentVersion() ? " (already current)" : "") << '\n';
        return 0;
    } catch (const DbError& e) {
        err << "tallyvox: creating the tables failed: " << e.description() << '\n';
        return 1;
    }
}

// Where the splash hands over. The login window takes this place; until a
// station can log in, it opens its connection and offers the connection dialog,
// so the database can be set up and tested.
void openLogin(Station& station) {
    station.openConnection();
    SqlSettingsDialog::showFor(station);
}

} // namespace

int main(int argc, char* argv[]) {
    // The FFmpeg media backend crashes on these systems; GStreamer plays our voices.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallyvox"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tallyvox"));
    QApplication::setApplicationVersion(QStringLiteral(TALLYVOX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tallyvox queue management station"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption profileOption(
        QStringLiteral("profile"),
        QStringLiteral("Station profile: its own settings and its own running copy."),
        QStringLiteral("NAME"), QStringLiteral("default"));
    const QCommandLineOption initOption(
        QStringLiteral("init-db"),
        QStringLiteral("Create the tables in the configured database and exit."));
    parser.addOption(profileOption);
    parser.addOption(initOption);
    parser.process(app);

    const QString profile = parser.value(profileOption);
    Station station(profile, paths::settingsFile(profile));

    if (parser.isSet(initOption)) return initDatabase(station);

    // A second copy of the same station ends at once, without a word.
    InstanceLock lock(paths::instanceLockFile(profile));
    if (!lock.acquire()) return 0;

    SqlSettingsDialog::attachTo(station);

    auto* splash = new SplashWindow(station, openLogin);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    return app.exec();
}
