// The road of one ticket through real station processes on the shared server,
// with the demo hall's profiles: the kiosk (opened from the display station's
// console) issues, counter1 calls, the display station's board shows it.
#include "core/paths.h"
#include "core/station_settings.h"
#include "test_station.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;
using namespace tv::test;

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!pgServer().available()) {
            if (qEnvironmentVariableIntValue("TALLYVOX_TEST_REQUIRE_PG") == 1)
                QFAIL("no PostgreSQL test server");
            QSKIP("no PostgreSQL test server");
        }
        m_dbName = QString("tv_e2e_%1").arg(QCoreApplication::applicationPid());
        QCOMPARE(pgAdmin("create database " + m_dbName), QString());
        qputenv("TALLYVOX_HOME", m_home.path().toUtf8());
        StationSettings s(paths::settingsFile("display"));
        s.set(keys::SqlHost, pgServer().hostSetting());
        s.set(keys::SqlDatabase, m_dbName);
        s.set(keys::SqlUser, pgServer().user);
        s.set(keys::SqlPassword, pgServer().password);
        s.set(keys::SqlAuthentication, "SQL Authentication");
        qunsetenv("TALLYVOX_HOME");
    }
    void cleanupTestCase() {
        for (QProcess* p : {m_display, m_counter}) {
            if (!p) continue;
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
        if (!m_dbName.isEmpty()) pgAdmin("drop database if exists " + m_dbName + " with (force)");
    }

    void aTicketFromKioskToBoard() {
        QCOMPARE(runOnce({"--demo", "--profile", "display"}), 0);
        m_display = station("display");
        m_counter = station("counter1");
        QTRY_COMPARE_WITH_TIMEOUT(ask(m_display, "has frmDisplay"), QString("OK"), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(ask(m_counter, "has frmCall"), QString("OK"), 30000);

        QCOMPARE(ask(m_display, "trigger printTicket"), QString("OK"));
        QCOMPARE(ask(m_display, "touch frmTicket 1"), QString("OK")); // Laboratory
        QCOMPARE(ask(m_display, "touch frmTicket 1"), QString("OK")); // Blood Test: ticket A1
        QCOMPARE(ask(m_counter, "click Command2"), QString("OK"));    // Next at Room 1
        QTRY_VERIFY_WITH_TIMEOUT(ask(m_display, "dump frmDisplay FG").startsWith("OK A1|Room 1"),
                                 15000);
    }

private:
    QProcessEnvironment env() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("TALLYVOX_HOME", m_home.path());
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("TALLYVOX_AUTOMATION", "1");
        return e;
    }
    int runOnce(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(TALLYVOX_EXE, args);
        p.waitForFinished(60000);
        return p.exitCode();
    }
    QProcess* station(const QString& profile) {
        auto* p = new QProcess;
        p->setProcessEnvironment(env());
        p->start(TALLYVOX_EXE, {"--profile", profile});
        p->waitForStarted();
        return p;
    }
    // One command to a station, its one-line answer.
    static QString ask(QProcess* p, const QString& command) {
        p->write(command.toUtf8() + '\n');
        while (!p->canReadLine())
            if (!p->waitForReadyRead(10000)) return "ERR no answer";
        return QString::fromUtf8(p->readLine()).trimmed();
    }
    QTemporaryDir m_home;
    QString m_dbName;
    QProcess* m_display = nullptr;
    QProcess* m_counter = nullptr;
};

QTEST_GUILESS_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
