#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <functional>
#include <memory>

namespace tv {

class Station;

// Backups of the hall's data, safe while the hall runs.
//
// The embedded database is copied page by page through the database's own
// backup interface inside one read snapshot, so kiosks may go on issuing
// tickets and the copy is still consistent; a plain file copy of a live data
// file is not. A restore checks the chosen file first, keeps the current data
// as "<name>.before-restore-<yyyyMMdd-HHmmss>", and replaces the data through
// the same interface, so a half-copied file can never become the live database.
//
// On the shared server the server's own dump and restore programs do the work.
class BackupOps final {
public:
    explicit BackupOps(Station& station) : m_station(station) {}

    struct Result {
        bool ok = false;
        QString message; // why it failed, or where the data went
        QString file;    // the file written
    };

    bool embedded() const;

    // Embedded database. The copy goes into `folder` under the data file's
    // own name; an earlier copy there is replaced only once the new one is
    // complete. The data file's own folder is refused.
    Result backupEmbedded(const QString& folder);
    // Why `file` cannot be restored ("" when it can).
    QString checkRestorable(const QString& file);
    Result restoreEmbedded(const QString& file);

    // Moments in file names; tests choose them.
    std::function<QString()> stamp;

    static inline const QString differentFolder = QStringLiteral("Select a different folder ");

private:
    Station& m_station;
};

// A dump or restore of the shared server's database by the server's programs,
// run in the background: the window that started it stays responsive and
// shows the programs' progress lines. The password goes to the programs
// through their environment, never on the command line.
class ServerBackupJob final : public QObject {
    Q_OBJECT

public:
    explicit ServerBackupJob(Station& station, QObject* parent = nullptr);
    ~ServerBackupJob() override;

    // Starts a dump into "<folder>/tallyvox-<database>-<yyyyMMdd-HHmmss>.dump".
    void startBackup(const QString& folder, const QString& stamp);
    // Starts a restore from a dump (its objects are dropped and created again,
    // all in one transaction: a failed restore leaves the data as it was).
    void startRestore(const QString& dumpFile);
    bool running() const;
    QString file() const { return m_file; }
    // The program's name as found; "" when it is not installed.
    static QString program(const QString& name);

signals:
    void progress(const QString& line);
    void finished(bool ok, const QString& message);

private:
    void start(const QString& program, const QStringList& arguments, const QString& what);
    Station& m_station;
    std::unique_ptr<QProcess> m_process;
    QString m_file;
    QString m_what;
    QString m_errors;
};

} // namespace tv
