#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tv {

class BackupOps;
class ServerBackupJob;
class Station;

// "Backup & Restore": a copy of the hall's data into a chosen folder, and the
// data replaced by a chosen copy. The hall may keep working meanwhile.
class BackupScreen final : public QWidget {
    Q_OBJECT

public:
    explicit BackupScreen(Station& station, QWidget* parent = nullptr);
    ~BackupScreen() override;

    void backup();
    void restore();
    // The server's programs run in the background; true while one does.
    bool busy() const;
    BackupOps& ops() { return *m_ops; }

signals:
    // A background backup or restore on the server ended.
    void jobFinished(bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void browseSource();
    void browseFolder();
    void startJob(bool restoring, const QString& target);
    void setBusy(bool on);

    Station& m_station;
    std::unique_ptr<BackupOps> m_ops;
    ServerBackupJob* m_job = nullptr;
    QLineEdit* m_text1;
    QLineEdit* m_text2;
    QPushButton* m_restore;
    QPushButton* m_backup;
    QProgressBar* m_progress;
    QLabel* m_status;
};

} // namespace tv
