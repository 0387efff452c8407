#include "backup_ops.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/schema.h"
#include "core/station.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QStandardPaths>
#include <sqlite3.h>

namespace tv {

namespace {

sqlite3* handleOf(Connection& c) {
    const QVariant v = c.database().driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(v.data());
}

// A database file opened with the C interface, closed on every path.
struct RawDb {
    sqlite3* db = nullptr;
    ~RawDb() {
        if (db) sqlite3_close_v2(db);
    }
    QString error() const { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString(); }
};

// Copies database `from` into `to` in one step: one read snapshot of the
// source, so writers meanwhile do not make the copy inconsistent. Waits for a
// busy destination as long as its busy timeout says.
QString copyDatabase(sqlite3* from, sqlite3* to) {
    sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
    if (!b) return QString::fromUtf8(sqlite3_errmsg(to));
    int rc = SQLITE_OK;
    for (int tries = 0; tries < 100; ++tries) {
        rc = sqlite3_backup_step(b, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
        sqlite3_sleep(50);
    }
    const int finish = sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) return QString::fromUtf8(sqlite3_errstr(rc));
    return finish == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(to));
}

QString openFile(RawDb& raw, const QString& file, int flags) {
    const QByteArray name = QFile::encodeName(file);
    if (sqlite3_open_v2(name.constData(), &raw.db, flags, nullptr) != SQLITE_OK)
        return raw.error().isEmpty() ? QStringLiteral("cannot open %1").arg(file) : raw.error();
    sqlite3_busy_timeout(raw.db, 5000);
    return {};
}

// A copy is one self-contained file: the live database's write-ahead log
// mode would leave it needing companion files beside it.
QString standalone(RawDb& raw) {
    char* message = nullptr;
    if (sqlite3_exec(raw.db, "pragma journal_mode=delete", nullptr, nullptr, &message) == SQLITE_OK)
        return {};
    const QString why = QString::fromUtf8(message);
    sqlite3_free(message);
    return why;
}

// The live database on a connection of our own: the station's shared one may
// be in the middle of something.
std::shared_ptr<Connection> liveConnection(Station& st, QString* error) {
    return Connection::open(st.effectiveConnectionSettings(), st.embeddedFile(), error);
}

} // namespace

bool BackupOps::embedded() const {
    return m_station.effectiveConnectionSettings().isEmbedded();
}

BackupOps::Result BackupOps::backupEmbedded(const QString& folder) {
    Result r;
    const QFileInfo data(m_station.embeddedFile());
    const QString target = QDir(folder).absoluteFilePath(data.fileName());
    if (folder.trimmed().isEmpty() || !QFileInfo(folder).isDir()) {
        r.message = QStringLiteral("The folder %1 does not exist").arg(folder);
        return r;
    }
    if (QFileInfo(folder).canonicalFilePath() == data.absoluteDir().canonicalPath() ||
        QDir::cleanPath(folder) == QDir::cleanPath(data.absoluteFilePath())) {
        r.message = differentFolder;
        return r;
    }
    QString error;
    auto live = liveConnection(m_station, &error);
    if (!live) {
        r.message = error;
        return r;
    }
    // Written beside the target first: an earlier backup stays whole until
    // the new one is.
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    {
        RawDb out;
        error = openFile(out, partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (error.isEmpty()) error = copyDatabase(handleOf(*live), out.db);
        if (error.isEmpty()) error = standalone(out);
    }
    if (!error.isEmpty()) {
        QFile::remove(partial);
        r.message = error;
        return r;
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        r.message = QStringLiteral("cannot write %1").arg(target);
        return r;
    }
    r.ok = true;
    r.file = target;
    r.message = QStringLiteral("Backup Completed Successfully ");
    return r;
}

QString BackupOps::checkRestorable(const QString& file) {
    const QString what = QDir::toNativeSeparators(file);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("%1 cannot be read").arg(what);
    if (f.read(16) != QByteArray("SQLite format 3\0", 16))
        return QStringLiteral("%1 is not a Tallyvox data file").arg(what);
    f.close();
    RawDb in;
    QString error = openFile(in, file, SQLITE_OPEN_READONLY);
    if (!error.isEmpty()) return QStringLiteral("%1 cannot be opened: %2").arg(what, error);
    // One text out of a statement; `bound`, when given, is its one parameter.
    const auto scalarText = [&](const char* sql, QString* out, const char* bound = nullptr) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(in.db, sql, -1, &st, nullptr) != SQLITE_OK) return false;
        if (bound) sqlite3_bind_text(st, 1, bound, -1, SQLITE_STATIC);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW && out)
            *out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    };
    QString check;
    if (!scalarText("pragma integrity_check", &check) || check != QStringLiteral("ok"))
        return QStringLiteral("%1 is damaged: %2").arg(what, check.isEmpty() ? in.error() : check);
    for (const char* table :
         {"tblTicket", "tblCall", "tblService", "tblCounter", "tbluser", "tv_schema_version"}) {
        QString found;
        if (!scalarText("select name from sqlite_master where type='table' and name like ?", &found,
                        table) ||
            found.isEmpty())
            return QStringLiteral("%1 is not a Tallyvox data file (no table %2)")
                .arg(what, QLatin1String(table));
    }
    QString version;
    scalarText("select max(version) from tv_schema_version", &version);
    if (version.toInt() < 1 || version.toInt() > schema::currentVersion())
        return QStringLiteral("%1 was written by another version of Tallyvox (data version %2)")
            .arg(what, version);
    return {};
}

BackupOps::Result BackupOps::restoreEmbedded(const QString& file) {
    Result r;
    if (const QString why = checkRestorable(file); !why.isEmpty()) {
        r.message = why;
        return r;
    }
    QString error;
    auto live = liveConnection(m_station, &error);
    if (!live) {
        r.message = error;
        return r;
    }
    sqlite3* liveDb = handleOf(*live);
    // The current data first, whole, beside the data file.
    const QString moment =
        stamp ? stamp() : QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString kept = m_station.embeddedFile() + QStringLiteral(".before-restore-") + moment;
    {
        RawDb out;
        error = openFile(out, kept, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (error.isEmpty()) error = copyDatabase(liveDb, out.db);
        if (error.isEmpty()) error = standalone(out);
    }
    if (!error.isEmpty()) {
        QFile::remove(kept);
        r.message = QStringLiteral("The current data could not be kept, nothing was restored: %1")
                        .arg(error);
        return r;
    }
    {
        RawDb in;
        error = openFile(in, file, SQLITE_OPEN_READONLY);
        // One write transaction on the live database: all of the copy or none.
        if (error.isEmpty()) error = copyDatabase(in.db, liveDb);
    }
    if (!error.isEmpty()) {
        r.message = error;
        return r;
    }
    try {
        schema::migrate(*live); // an older copy is brought up to date
    } catch (const DbError& e) {
        r.message = e.description();
        return r;
    }
    r.ok = true;
    r.file = kept;
    r.message = QStringLiteral("Restore Complete!");
    return r;
}

ServerBackupJob::ServerBackupJob(Station& station, QObject* parent)
    : QObject(parent), m_station(station) {}

ServerBackupJob::~ServerBackupJob() {
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

bool ServerBackupJob::running() const {
    return m_process && m_process->state() != QProcess::NotRunning;
}

QString ServerBackupJob::program(const QString& name) {
    // Debian keeps the server's programs per version; the newest fits best.
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty()) {
        QDir lib(QStringLiteral("/usr/lib/postgresql"));
        QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        std::sort(versions.begin(), versions.end(),
                  [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
        for (const QString& v : versions)
            if (QFileInfo::exists(lib.filePath(v + QStringLiteral("/bin/") + name)))
                found = lib.filePath(v + QStringLiteral("/bin/") + name);
    }
    return found;
}

void ServerBackupJob::startBackup(const QString& folder, const QString& stamp) {
    const ConnectionSettings s = m_station.effectiveConnectionSettings();
    QString name = s.database;
    for (QChar& ch : name)
        if (!ch.isLetterOrNumber() && ch != u'-' && ch != u'_') ch = u'_';
    m_file = QDir(folder).absoluteFilePath(QStringLiteral("tallyvox-%1-%2.dump").arg(name, stamp));
    start(QStringLiteral("pg_dump"),
          {QStringLiteral("--format=custom"), QStringLiteral("--verbose"),
           QStringLiteral("--file=") + m_file},
          QStringLiteral("Backup"));
}

void ServerBackupJob::startRestore(const QString& dumpFile) {
    m_file = dumpFile;
    start(QStringLiteral("pg_restore"),
          {QStringLiteral("--clean"), QStringLiteral("--if-exists"),
           QStringLiteral("--single-transaction"), QStringLiteral("--no-owner"),
           QStringLiteral("--verbose"), dumpFile},
          QStringLiteral("Restore"));
}

void ServerBackupJob::start(const QString& name, const QStringList& arguments,
                            const QString& what) {
    m_what = what;
    m_errors.clear();
    const QString exe = program(name);
    if (exe.isEmpty()) {
        emit finished(false, QStringLiteral("%1 is not installed on this computer").arg(name));
        return;
    }
    const ConnectionSettings s = m_station.effectiveConnectionSettings();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Connection values go by the environment: never visible in a process list.
    env.insert(QStringLiteral("PGHOST"), s.serverName());
    if (s.serverPort() > 0) env.insert(QStringLiteral("PGPORT"), QString::number(s.serverPort()));
    env.insert(QStringLiteral("PGDATABASE"), s.database);
    if (s.usesPassword()) {
        env.insert(QStringLiteral("PGUSER"), s.user);
        env.insert(QStringLiteral("PGPASSWORD"), s.password);
    }
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(env);
    QStringList args = arguments;
    args << QStringLiteral("--no-password");
    if (name == QStringLiteral("pg_restore")) args << QStringLiteral("--dbname=") + s.database;
    connect(m_process.get(), &QProcess::readyReadStandardError, this, [this] {
        const QString text = QString::fromUtf8(m_process->readAllStandardError());
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
            if (line.contains(QStringLiteral("error"), Qt::CaseInsensitive))
                m_errors += line + u'\n';
            emit progress(line.trimmed());
        }
    });
    connect(m_process.get(), &QProcess::finished, this, [this](int code, QProcess::ExitStatus st) {
        const bool ok = st == QProcess::NormalExit && code == 0;
        if (!ok && m_what == QStringLiteral("Backup")) QFile::remove(m_file);
        emit finished(ok, ok ? QStringLiteral("%1 Completed Successfully ").arg(m_what)
                             : QStringLiteral("%1 failed: %2")
                                   .arg(m_what, m_errors.trimmed().isEmpty()
                                                    ? QStringLiteral("exit code %1").arg(code)
                                                    : m_errors.trimmed()));
    });
    connect(m_process.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            emit finished(false,
                          QStringLiteral("%1 failed: %2").arg(m_what, m_process->errorString()));
    });
    m_process->start(exe, args);
}

} // namespace tv
