// Backups taken while the hall runs, and restores that never let a bad file
// become the live data.
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "reports/backup_ops.h"
#include "reports/backup_screen.h"
#include "test_station.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace tv;
using namespace tv::test;

class BackupTest : public QObject {
    Q_OBJECT

public:
    explicit BackupTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        st().openConnection();
        m_db->clearTables();
        Dialogs::clearMessages();
        Dialogs::clearAnswers();
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, active)"
             " values (1, 1, 'Lab', 'A', 1, 30000, 1)");
    }

    void aBackupTakenWhileKiosksIssueIsWholeAndComplete() {
        if (m_engine != DbEngine::Sqlite) QSKIP("the embedded database");
        QProcess kiosk;
        kiosk.start(ISSUE_WORKER,
                    {m_db->dir() + "/station.ini", st().embeddedFile(), "1", "3000", "2026-12-09"});
        QVERIFY(kiosk.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(tickets() > 100, 20000);
        const int before = tickets();
        QTemporaryDir target;
        BackupOps ops(st());
        const auto r = ops.backupEmbedded(target.path());
        const int after = tickets();
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.message, QString("Backup Completed Successfully "));
        QCOMPARE(QFileInfo(r.file).fileName(), QFileInfo(st().embeddedFile()).fileName());
        QVERIFY(kiosk.waitForFinished(60000));
        QCOMPARE(kiosk.exitCode(), 0);
        QVERIFY2(after > before, "the kiosk kept issuing during the backup");
        const auto [integrity, inCopy] = inspect(r.file);
        QCOMPARE(integrity, QString("ok"));
        QVERIFY2(inCopy >= before, qPrintable(QString("%1 < %2").arg(inCopy).arg(before)));
        QVERIFY(QDir(target.path()).entryList(QDir::Files).size() == 1); // no leftovers
    }

    void backupRulesAndTheScreensQuestions() {
        if (m_engine != DbEngine::Sqlite) QSKIP("the embedded database");
        issue(3);
        BackupOps ops(st());
        QCOMPARE(ops.backupEmbedded(QFileInfo(st().embeddedFile()).path()).message,
                 BackupOps::differentFolder);
        QTemporaryDir target;
        QFile old(target.filePath(QFileInfo(st().embeddedFile()).fileName()));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older copy");
        old.close();
        BackupScreen screen(st());
        screen.findChild<QLineEdit*>("Text2")->setText(target.path());
        Dialogs::setNextAnswer(QMessageBox::No);
        screen.backup();
        QCOMPARE(QFileInfo(old.fileName()).size(), 13);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        screen.backup();
        QCOMPARE(Dialogs::shownTexts().last(), QString("Backup Completed Successfully "));
        QCOMPARE(inspect(old.fileName()).second, 3); // the older copy was replaced
        screen.findChild<QLineEdit*>("Text2")->setText(target.filePath("no such folder"));
        Dialogs::setNextAnswer(QMessageBox::Yes);
        screen.backup();
        QVERIFY(Dialogs::shownTexts().last().contains("does not exist"));
    }

    void badFilesAreNeverRestored() {
        if (m_engine != DbEngine::Sqlite) QSKIP("the embedded database");
        issue(4);
        QTemporaryDir dir;
        BackupOps ops(st());
        const auto good = ops.backupEmbedded(dir.path());
        QVERIFY(good.ok);
        // not a database at all
        const QString text = dir.filePath("notes.db");
        writeFile(text, "just some notes");
        // a copy cut off half way
        QFile whole(good.file);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        const QString truncated = dir.filePath("half.db");
        writeFile(truncated, bytes.left(bytes.size() / 2));
        // another program's database
        const QString other = dir.filePath("other.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
            db.setDatabaseName(other);
            db.open();
            QSqlQuery(db).exec("create table accounts (id integer, name text)");
            db.close();
        }
        QSqlDatabase::removeDatabase("other");
        for (const QString& bad : {text, truncated, other, dir.filePath("missing.db")}) {
            const QString why = ops.checkRestorable(bad);
            QVERIFY2(!why.isEmpty(), qPrintable(bad));
            const auto r = ops.restoreEmbedded(bad);
            QVERIFY(!r.ok);
            QCOMPARE(r.message, why);
        }
        QCOMPARE(tickets(), 4); // the live data untouched
        QCOMPARE(QDir(QFileInfo(st().embeddedFile()).path())
                     .entryList({"*.before-restore-*"}, QDir::Files)
                     .size(),
                 0);
    }

    void aRestoreKeepsTheCurrentDataAndReplacesIt() {
        if (m_engine != DbEngine::Sqlite) QSKIP("the embedded database");
        issue(5);
        QTemporaryDir dir;
        BackupOps ops(st());
        const auto copy = ops.backupEmbedded(dir.path());
        QVERIFY(copy.ok);
        issue(2); // seven now
        BackupScreen screen(st());
        screen.ops().stamp = [] { return QString("20261209-101500"); };
        screen.findChild<QLineEdit*>("Text1")->setText(st().embeddedFile());
        screen.restore();
        QCOMPARE(Dialogs::shownTexts().last(), QString("Source file should not be same"));
        screen.findChild<QLineEdit*>("Text1")->setText(copy.file);
        Dialogs::setNextInput("Yes ");
        screen.restore(); // not "YES": nothing happens
        QCOMPARE(tickets(), 7);
        Dialogs::setNextInput("yes");
        screen.restore();
        const auto shown = Dialogs::takeMessages();
        QCOMPARE(shown.last().text, QString("Restore Complete!"));
        QCOMPARE(shown.last().title, QString("RESTORE SUCCESSFUL"));
        QCOMPARE(shown.last().icon, QMessageBox::Information);
        QCOMPARE(tickets(), 5);
        const QString kept = st().embeddedFile() + ".before-restore-20261209-101500";
        QCOMPARE(inspect(kept), qMakePair(QString("ok"), 7));
        // the station goes on working on the restored data
        issue(1);
        QCOMPARE(tickets(), 6);
    }

    void theServerIsDumpedAndRestoredByItsOwnPrograms() {
        if (m_engine != DbEngine::Postgres) QSKIP("the shared server");
        if (ServerBackupJob::program("pg_dump").isEmpty()) QSKIP("no pg_dump here");
        issue(6);
        QTemporaryDir dir;
        ServerBackupJob job(st());
        QSignalSpy done(&job, &ServerBackupJob::finished);
        QSignalSpy progress(&job, &ServerBackupJob::progress);
        job.startBackup(dir.path(), "20261209-101500");
        QVERIFY(done.wait(60000));
        QVERIFY2(done.at(0).at(0).toBool(), qPrintable(done.at(0).at(1).toString()));
        QVERIFY(progress.count() > 0);
        QCOMPARE(QFileInfo(job.file()).fileName(),
                 QString("tallyvox-%1-20261209-101500.dump").arg(m_db->databaseName()));
        exec("delete from tblTicket");
        issue(1);
        job.startRestore(job.file());
        QVERIFY(done.wait(60000));
        QVERIFY2(done.at(1).at(0).toBool(), qPrintable(done.at(1).at(1).toString()));
        QVERIFY(st().openConnection());
        QCOMPARE(tickets(), 6);
        // the numbering still works on the restored server
        issue(1);
        QCOMPARE(tickets(), 7);
        // a file that is no dump fails with the program's reason and changes nothing
        const QString bad = dir.filePath("bad.dump");
        writeFile(bad, "nonsense");
        job.startRestore(bad);
        QVERIFY(done.wait(60000));
        QVERIFY(!done.at(2).at(0).toBool());
        QVERIFY(done.at(2).at(1).toString().startsWith("Restore failed: "));
        QVERIFY(st().openConnection());
        QCOMPARE(tickets(), 7);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    int tickets() { return st().dbConnection->scalar("select count(*) from tblTicket").toInt(); }
    void issue(int n) {
        for (int i = 0; i < n; ++i)
            exec(st().dbConnection->dialect().issueTicketStatement().startsWith("select")
                     ? "select * from tv_issue_ticket(1, '2026-12-09', '09:00:00')"
                     : "insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr,"
                       " attended) select 1, coalesce(max(tickNo), 0) + 1, '2026-12-09',"
                       " '09:00:00', 0, 'A', 0 from tblTicket");
    }
    static void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
    }
    // The integrity check and the ticket count of a data file.
    static QPair<QString, int> inspect(const QString& file) {
        QPair<QString, int> out{"unreadable", -1};
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "inspect");
            db.setDatabaseName(file);
            db.setConnectOptions("QSQLITE_OPEN_READONLY");
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec("pragma integrity_check") && q.next()) out.first = q.value(0).toString();
                if (q.exec("select count(*) from tblTicket") && q.next())
                    out.second = q.value(0).toInt();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("inspect");
        return out;
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(BackupTest)
#include "test_backup.moc"
