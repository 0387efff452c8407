// The program as separate station processes: one running copy per profile,
// and the database set-up from the command line.
#include "core/paths.h"
#include "core/recordset.h"
#include "core/schema.h"
#include "core/station.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_home = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        for (QProcess* p : std::as_const(m_running)) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
        m_running.clear();
    }

    void secondCopyOfAProfileEndsSilently() {
        QProcess* first = start({"--profile", "counter1"});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockFile("counter1")), 15000);
        QCOMPARE(first->state(), QProcess::Running);

        QProcess second;
        second.setProcessEnvironment(env());
        second.start(TALLYVOX_EXE, {"--profile", "Counter1"}); // profile names ignore case
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(first->state(), QProcess::Running);
    }

    void differentProfilesRunSideBySide() {
        QProcess* a = start({"--profile", "display"});
        QProcess* b = start({"--profile", "counter2"});
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(lockFile("display")) && QFile::exists(lockFile("counter2")), 15000);
        QCOMPARE(a->state(), QProcess::Running);
        QCOMPARE(b->state(), QProcess::Running);
    }

    void aCrashedCopyDoesNotLockTheProfileOut() {
        QProcess* first = start({"--profile", "kiosk"});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockFile("kiosk")), 15000);
        first->kill();
        first->waitForFinished(5000);
        QVERIFY(QFile::exists(lockFile("kiosk"))); // left behind by the killed copy
        QProcess* again = start({"--profile", "kiosk"});
        // The new copy takes the lock over: the file then names its process.
        QTRY_VERIFY_WITH_TIMEOUT(lockOwner("kiosk") == again->processId(), 15000);
        QCOMPARE(again->state(), QProcess::Running);
    }

    void initDbCreatesTheTables() {
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(TALLYVOX_EXE, {"--init-db", "--profile", "admin"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardOutput().contains("schema version"));

        qputenv("TALLYVOX_HOME", m_home->path().toUtf8());
        Station st("admin", paths::settingsFile("admin"));
        QVERIFY(st.openConnection());
        QCOMPARE(schema::storedVersion(*st.dbConnection), schema::currentVersion());
        qunsetenv("TALLYVOX_HOME");
    }

    void initDbReportsAnUnreachableServer() {
        QDir().mkpath(m_home->filePath("profiles"));
        QFile ini(m_home->filePath("profiles/admin.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[queue]\nsql\\host=127.0.0.1:1\nsql\\database=hall\n");
        ini.close();
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(TALLYVOX_EXE, {"--init-db", "--profile", "admin"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("cannot open the database"));
    }

private:
    QProcessEnvironment env() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("TALLYVOX_HOME", m_home->path());
        e.insert("QT_QPA_PLATFORM", "offscreen");
        return e;
    }
    QString lockFile(const QString& profile) const {
        return m_home->filePath("profiles/" + profile + ".lock");
    }
    qint64 lockOwner(const QString& profile) const {
        QFile f(lockFile(profile));
        if (!f.open(QIODevice::ReadOnly)) return -1;
        return f.readLine().trimmed().toLongLong();
    }
    QProcess* start(const QStringList& args) {
        auto* p = new QProcess;
        p->setProcessEnvironment(env());
        p->start(TALLYVOX_EXE, args);
        m_running << p;
        return p;
    }
    std::unique_ptr<QTemporaryDir> m_home;
    QList<QProcess*> m_running;
};

QTEST_GUILESS_MAIN(StartupTest)
#include "test_startup.moc"
