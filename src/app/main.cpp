#include "automation.h"
#include "demo_hall.h"
#include "shell.h"
#include "splash.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/instance_lock.h"
#include "core/password_hash.h"
#include "core/paths.h"
#include "core/recordset.h"
#include "core/schema.h"
#include "core/station.h"
#include "core/ui/sql_settings_dialog.h"
#include "web/api_keys.h"
#include "web/hall_server.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

using namespace tv;

namespace {

bool openForCommand(Station& station) {
    station.loadConnectionSettings();
    if (station.openConnection()) return true;
    QTextStream(stderr) << "tallyvox: cannot open the database: " << station.lastConnectionError()
                        << '\n';
    return false;
}

// Creates or updates the tables of the configured database and, on a
// database without administrator, the first one with the password given or
// asked for. No password is ever built in.
int initDatabase(Station& station, QString adminPassword) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!openForCommand(station)) return 1;
    try {
        const int before = schema::storedVersion(*station.dbConnection);
        schema::migrate(*station.dbConnection);
        out << "tallyvox: database " << station.dbConnection->description() << " at schema version "
            << schema::currentVersion()
            << (before == schema::currentVersion() ? " (already current)" : "") << '\n';
        RecordSet users(station.dbConnection, QStringLiteral("select userAuto from tbluser"));
        if (users.recordCount() > 0) return 0;
        if (adminPassword.isEmpty() && isatty(STDIN_FILENO)) {
            out << "Password for the first administrator (user ADMIN): " << Qt::flush;
            adminPassword = QTextStream(stdin).readLine();
        }
        if (adminPassword.isEmpty()) {
            out << "tallyvox: no administrator yet; run again with --admin-password PASSWORD\n";
            return 0;
        }
        station.dbConnection->execute(
            QStringLiteral(
                "insert into tbluser (username, password, userType) values (?, ?, 'Admin')"),
            {QStringLiteral("ADMIN"), hashPassword(adminPassword)});
        out << "tallyvox: administrator ADMIN created\n";
        return 0;
    } catch (const DbError& e) {
        err << "tallyvox: setting up the database failed: " << e.description() << '\n';
        return 1;
    }
}

int fillDemo(Station& station) {
    if (!openForCommand(station)) return 1;
    try {
        for (const QString& line : fillDemoHall(station))
            QTextStream(stdout) << line << '\n';
        return 0;
    } catch (const DbError& e) {
        QTextStream(stderr) << "tallyvox: filling the demo hall failed: " << e.description()
                            << '\n';
        return 1;
    }
}

// The hall web service: runs until stopped, without a display.
int serve(Station& station, const QString& listen, const QString& issueLimit) {
    QTextStream err(stderr);
    web::WebOptions options;
    if (!issueLimit.isEmpty()) {
        bool ok = false;
        const int perMinute = issueLimit.toInt(&ok);
        if (!ok || perMinute < 1) {
            err << "tallyvox: --issue-limit wants a number of tickets per minute (1 or more)\n";
            return 2;
        }
        options.issueBurst = perMinute;
        options.issueRefillMs = qMax<qint64>(1, 60000 / perMinute);
    }
    if (!listen.isEmpty() && !web::parseListen(listen, &options.address, &options.port)) {
        err << "tallyvox: --listen wants ADDRESS:PORT (127.0.0.1:8080, [::1]:8080, 0.0.0.0:80), "
               "not \""
            << listen << "\"\n";
        return 2;
    }
    if (!openForCommand(station)) return 1;
    // Every browser holds a socket open: allow as many as the system lets us.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    web::HallServer server(station, options);
    QString error;
    if (!server.start(&error)) {
        err << "tallyvox: cannot serve on " << options.address.toString() << ':' << options.port
            << ": " << error << '\n';
        return 1;
    }
    const QString host = options.address.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + options.address.toString() + u']'
                             : options.address.toString();
    QTextStream(stdout) << "tallyvox: hall web service on http://" << host << ':' << server.port()
                        << " (database " << station.dbConnection->description() << ")" << Qt::endl;
    return QCoreApplication::exec();
}

// Keys for systems that take tickets through the web service.
int apiKeyCommand(Station& station, const QString& action, const QString& name) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (action != u"create" && action != u"list" && action != u"revoke") {
        err << "tallyvox: --api-key wants create NAME, list or revoke NAME\n";
        return 2;
    }
    if (action != u"list" && name.trimmed().isEmpty()) {
        err << "tallyvox: --api-key " << action << " needs the key's NAME\n";
        return 2;
    }
    if (!openForCommand(station)) return 1;
    try {
        web::ApiKeys keys(station);
        if (action == u"create") {
            const auto made = keys.create(name);
            if (made.key.isEmpty()) {
                err << "tallyvox: " << made.error << '\n';
                return 1;
            }
            out << made.key << '\n';
            err << "tallyvox: key \"" << name.trimmed()
                << "\" created; it is shown only this once: keep it now\n";
        } else if (action == u"revoke") {
            if (!keys.revoke(name)) {
                err << "tallyvox: no active key named \"" << name.trimmed() << "\"\n";
                return 1;
            }
            out << "tallyvox: key \"" << name.trimmed() << "\" revoked\n";
        } else {
            for (const auto& k : keys.list())
                out << k.name << '\t' << k.created.toString(Qt::ISODate) << '\t'
                    << (k.revoked.isValid() ? "revoked " + k.revoked.toString(Qt::ISODate)
                                            : QStringLiteral("active"))
                    << '\n';
        }
        return 0;
    } catch (const DbError& e) {
        err << "tallyvox: " << e.description() << '\n';
        return 1;
    }
}

// Whether the command line asks for a mode that shows no window. Those run
// without a display (a database server prepared over ssh), so they must not
// start the windowing system, which aborts where there is none.
bool windowless(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        for (const char* mode : {"--init-db", "--demo", "--serve", "--api-key", "--help",
                                 "--help-all", "-h", "-?", "--version", "-v"})
            if (a == mode) return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // The FFmpeg media backend crashes on these systems; GStreamer plays our voices.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    // The web service holds a socket per browser: Qt's own event dispatcher
    // watches a thousand of them for less than the glib one (in the web
    // benchmark, 7% of a core instead of 12%).
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
        for (int i = 1; i < argc; ++i)
            if (qstrcmp(argv[i], "--serve") == 0) qputenv("QT_NO_GLIB", "1");
    std::unique_ptr<QCoreApplication> application;
    if (windowless(argc, argv))
        application = std::make_unique<QCoreApplication>(argc, argv);
    else
        application = std::make_unique<QApplication>(argc, argv);
    QCoreApplication& app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("Tallyvox"));
    if (qobject_cast<QApplication*>(&app))
        QApplication::setApplicationDisplayName(QStringLiteral("Tallyvox"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALLYVOX_VERSION));

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
    const QCommandLineOption adminOption(
        QStringLiteral("admin-password"),
        QStringLiteral("With --init-db: the first administrator's password."),
        QStringLiteral("PASSWORD"));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral(
            "Fill the configured database with a demo hall (replacing its data) and exit."));
    const QCommandLineOption serveOption(
        QStringLiteral("serve"),
        QStringLiteral("Run the hall web service (status pages, browser board, JSON API)."));
    const QCommandLineOption listenOption(
        QStringLiteral("listen"),
        QStringLiteral("With --serve: the address and port to listen on (default 127.0.0.1:8080)."),
        QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption issueLimitOption(
        QStringLiteral("issue-limit"),
        QStringLiteral("With --serve: tickets one address may take through the API per minute "
                       "(default 5)."),
        QStringLiteral("N"));
    const QCommandLineOption apiKeyOption(
        QStringLiteral("api-key"),
        QStringLiteral(
            "Keys of the ticket API: create NAME (prints the key once), list, revoke NAME."),
        QStringLiteral("ACTION"));
    parser.addOptions({profileOption, initOption, adminOption, demoOption, serveOption,
                       listenOption, issueLimitOption, apiKeyOption});
    parser.addPositionalArgument(QStringLiteral("NAME"),
                                 QStringLiteral("With --api-key: the key's name."),
                                 QStringLiteral("[NAME]"));
    parser.process(app);

    const QString profile = parser.value(profileOption);
    Station station(profile, paths::settingsFile(profile));

    if (parser.isSet(initOption)) return initDatabase(station, parser.value(adminOption));
    if (parser.isSet(demoOption)) return fillDemo(station);
    if (parser.isSet(apiKeyOption))
        return apiKeyCommand(station, parser.value(apiKeyOption),
                             parser.positionalArguments().join(u' '));
    if (parser.isSet(serveOption))
        return serve(station, parser.value(listenOption), parser.value(issueLimitOption));

    // A second copy of the same station ends at once, without a word.
    InstanceLock lock(paths::instanceLockFile(profile));
    if (!lock.acquire()) return 0;

    SqlSettingsDialog::attachTo(station);
    Shell shell(station);
    QObject::connect(&shell, &Shell::programEndRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    auto* splash = new SplashWindow(station, [&shell](Station&) { shell.afterSplash(); });
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    std::unique_ptr<Automation> automation;
    if (Automation::enabled()) automation = std::make_unique<Automation>();
    return QCoreApplication::exec();
}
