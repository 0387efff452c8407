// The modes that show no window run where there is no display: a database
// server prepared over ssh, a script filling a demo hall.
#include "core/connection.h"
#include "core/recordset.h"
#include "test_station.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;
using namespace tv::test;

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void helpAndVersionNeedNoDisplay() {
        QCOMPARE(run({"--version"}), 0);
        QVERIFY(m_out.contains("Tallyvox"));
        QCOMPARE(run({"--help"}), 0);
        QVERIFY(m_out.contains("--init-db"));
    }

    void initDbAndDemoNeedNoDisplay() {
        QCOMPARE(run({"--init-db", "--admin-password", "s3cret"}), 0);
        QVERIFY2(m_out.contains("administrator ADMIN created"), qPrintable(m_out + m_err));
        QCOMPARE(run({"--init-db"}), 0); // again: already current
        QVERIFY(m_out.contains("already current"));
        QCOMPARE(run({"--demo", "--profile", "display"}), 0);
        QVERIFY2(m_out.contains("Demo hall"), qPrintable(m_out + m_err));
    }

private:
    // Runs the program the way a shell without a desktop does.
    int run(const QStringList& args) {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            e.remove(name);
        e.insert("TALLYVOX_HOME", m_home.path());
        QProcess p;
        p.setProcessEnvironment(e);
        p.start(TALLYVOX_EXE, args);
        if (!p.waitForFinished(60000)) return -1;
        m_out = QString::fromUtf8(p.readAllStandardOutput());
        m_err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }
    QTemporaryDir m_home;
    QString m_out;
    QString m_err;
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
