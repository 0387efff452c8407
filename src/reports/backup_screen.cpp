#include "backup_screen.h"

#include "backup_ops.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

BackupScreen::BackupScreen(Station& station, QWidget* parent)
    : QWidget(parent), m_station(station), m_ops(std::make_unique<BackupOps>(station)) {
    setObjectName(QStringLiteral("frmBackup"));
    setWindowTitle(QStringLiteral("Backup & Restore"));

    auto* restoreFrame = new QGroupBox(QStringLiteral("Restore"), this);
    restoreFrame->setObjectName(QStringLiteral("Frame1"));
    m_text1 = new QLineEdit(restoreFrame);
    m_text1->setObjectName(QStringLiteral("Text1"));
    auto* browseSourceButton = controls::button(restoreFrame, "Command2", QStringLiteral("..."));
    m_restore = controls::button(restoreFrame, "Command3", QStringLiteral("Restore"));
    auto* r = new QGridLayout(restoreFrame);
    r->addWidget(controls::label(restoreFrame, "Label1", QStringLiteral("Restore From")), 0, 0);
    r->addWidget(m_text1, 0, 1);
    r->addWidget(browseSourceButton, 0, 2);
    r->addWidget(m_restore, 1, 2);

    auto* backupFrame = new QGroupBox(QStringLiteral("Backup"), this);
    backupFrame->setObjectName(QStringLiteral("Frame2"));
    m_text2 = new QLineEdit(backupFrame);
    m_text2->setObjectName(QStringLiteral("Text2"));
    auto* browseFolderButton = controls::button(backupFrame, "Command5", QStringLiteral("..."));
    m_backup = controls::button(backupFrame, "Command4", QStringLiteral("Backup"));
    auto* b = new QGridLayout(backupFrame);
    b->addWidget(controls::label(backupFrame, "Label2", QStringLiteral("Backup To")), 0, 0);
    b->addWidget(m_text2, 0, 1);
    b->addWidget(browseFolderButton, 0, 2);
    b->addWidget(m_backup, 1, 2);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, 0);
    m_progress->hide();
    m_status = controls::label(this, "lblStatus");
    m_status->setWordWrap(true);
    auto* close = controls::button(this, "Command1", QStringLiteral("&Close"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_progress, 1);
    bottom->addStretch();
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(restoreFrame);
    layout->addWidget(backupFrame);
    layout->addWidget(m_status);
    layout->addLayout(bottom);

    connect(browseSourceButton, &QPushButton::clicked, this, &BackupScreen::browseSource);
    connect(browseFolderButton, &QPushButton::clicked, this, &BackupScreen::browseFolder);
    connect(m_backup, &QPushButton::clicked, this, &BackupScreen::backup);
    connect(m_restore, &QPushButton::clicked, this, &BackupScreen::restore);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(560, 300);
}

BackupScreen::~BackupScreen() = default;

bool BackupScreen::busy() const {
    return m_job && m_job->running();
}

void BackupScreen::browseSource() {
    const QString filter = m_ops->embedded()
                               ? QStringLiteral("Tallyvox data files (*.db *.sqlite *.db.*);;All "
                                                "files (*)")
                               : QStringLiteral("Tallyvox server backups (*.dump);;All files (*)");
    const QString file = Dialogs::openFileName(this, QStringLiteral("Restore From"), filter);
    if (!file.isEmpty()) m_text1->setText(QDir::toNativeSeparators(file));
}

void BackupScreen::browseFolder() {
    const QString folder = Dialogs::folder(this, QStringLiteral("Click on a directory to Backup "));
    if (!folder.isEmpty()) m_text2->setText(QDir::toNativeSeparators(folder));
}

void BackupScreen::backup() {
    if (busy()) return;
    if (Dialogs::question(this, QStringLiteral("Do you want to backup")) != QMessageBox::Yes)
        return;
    const QString folder = QDir::fromNativeSeparators(m_text2->text().trimmed());
    if (!m_ops->embedded()) {
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
            Dialogs::message(this, QStringLiteral("The folder %1 does not exist").arg(folder));
            return;
        }
        startJob(false, folder);
        return;
    }
    const BackupOps::Result r = m_ops->backupEmbedded(folder);
    Dialogs::message(this, r.message);
    if (r.ok)
        m_status->setText(QStringLiteral("Saved as %1").arg(QDir::toNativeSeparators(r.file)));
}

void BackupScreen::restore() {
    if (busy()) return;
    const QString source = QDir::fromNativeSeparators(m_text1->text().trimmed());
    if (m_ops->embedded() && QFileInfo(source).absoluteFilePath() ==
                                 QFileInfo(m_station.embeddedFile()).absoluteFilePath()) {
        Dialogs::message(this, QStringLiteral("Source file should not be same"));
        return;
    }
    if (Dialogs::input(this, QStringLiteral("Type 'Yes' to Restore ")).toUpper() !=
        QStringLiteral("YES"))
        return;
    if (source.isEmpty()) return;
    if (!m_ops->embedded()) {
        if (!QFileInfo(source).isFile()) {
            Dialogs::message(this, QStringLiteral("Error \r\n%1 cannot be read").arg(source));
            return;
        }
        startJob(true, source);
        return;
    }
    const BackupOps::Result r = m_ops->restoreEmbedded(source);
    if (!r.ok) {
        Dialogs::message(this, r.message, QStringLiteral(" "), QMessageBox::Warning);
        return;
    }
    m_station.openConnection();
    m_status->setText(QStringLiteral("The data before the restore is kept as %1")
                          .arg(QDir::toNativeSeparators(r.file)));
    Dialogs::message(this, QStringLiteral("Restore Complete!"),
                     QStringLiteral("RESTORE SUCCESSFUL"), QMessageBox::Information);
}

void BackupScreen::startJob(bool restoring, const QString& target) {
    delete m_job;
    m_job = new ServerBackupJob(m_station, this);
    connect(m_job, &ServerBackupJob::progress, m_status, &QLabel::setText);
    connect(m_job, &ServerBackupJob::finished, this, [this, restoring](bool ok, const QString& m) {
        setBusy(false);
        if (ok && restoring) {
            m_station.openConnection();
            Dialogs::message(this, QStringLiteral("Restore Complete!"),
                             QStringLiteral("RESTORE SUCCESSFUL"), QMessageBox::Information);
        } else if (ok) {
            m_status->setText(
                QStringLiteral("Saved as %1").arg(QDir::toNativeSeparators(m_job->file())));
            Dialogs::message(this, QStringLiteral("Backup Completed Successfully "));
        } else {
            m_status->clear();
            Dialogs::message(this, m, restoring ? QStringLiteral(" ") : QString(),
                             QMessageBox::Warning);
        }
        emit jobFinished(ok);
    });
    setBusy(true);
    if (restoring)
        m_job->startRestore(target);
    else
        m_job->startBackup(
            target, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

void BackupScreen::setBusy(bool on) {
    m_progress->setVisible(on);
    m_backup->setEnabled(!on);
    m_restore->setEnabled(!on);
}

void BackupScreen::closeEvent(QCloseEvent* event) {
    // A dump or restore in progress is finished, not cut off.
    if (busy()) {
        Dialogs::message(this, QStringLiteral("Please wait until the backup or restore ends"));
        event->ignore();
        return;
    }
    m_station.openConnection();
    event->accept();
}

} // namespace tv
