// Opening the station's connection: the embedded file, the shared server, and
// what happens when the server is not there.
#include "core/connection.h"
#include "core/data_path.h"
#include "core/recordset.h"
#include "core/schema.h"
#include "test_station.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>

using namespace tv;
using namespace tv::test;

class ConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void embeddedDatabaseIsCreatedOnFirstStart() {
        Station st("t", m_dir->filePath("s.ini"));
        st.setEmbeddedFile(m_dir->filePath("sub/folder/data.db"));
        QVERIFY(st.openConnection());
        QCOMPARE(schema::storedVersion(*st.dbConnection), schema::currentVersion());
        QVERIFY(QFile::exists(m_dir->filePath("sub/folder/data.db")));
        RecordSet rs(st.dbConnection, "pragma journal_mode");
        QCOMPARE(rs.text(0).toLower(), QString("wal"));
    }

    void eachOpenIsANewConnection() {
        Station st("t", m_dir->filePath("s.ini"));
        st.setEmbeddedFile(m_dir->filePath("data.db"));
        QVERIFY(st.openConnection());
        auto first = st.dbConnection;
        QVERIFY(st.openConnection());
        QVERIFY(first != st.dbConnection);
        QVERIFY(first->isOpen()); // still usable by whoever holds it
    }

    void pathFileNamesTheDataFile() {
        writeFile("path.txt", "\"/srv/hall one/data.mdb\"\n/srv/hall two/data.mdb\n");
        const DataPath p = readDataPath(m_dir->path());
        QCOMPARE(p.file, QString("/srv/hall two/data.mdb"));
        QCOMPARE(p.dataFolder, QString("/srv/hall two"));
        QVERIFY(p.error.isEmpty());

        writeFile("path.txt", "\"C:\\hall, east\\data.mdb\"");
        QCOMPARE(readDataPath(m_dir->path()).file, QString("C:\\hall, east\\data.mdb"));

        writeFile("path.txt", "local.db\n");
        QCOMPARE(embeddedDataFile(m_dir->path()), m_dir->filePath("local.db"));
    }

    void missingPathFileIsReported() {
        const DataPath p = readDataPath(m_dir->path());
        QVERIFY(!p.error.isEmpty());
        QVERIFY(p.file.isEmpty());
        QVERIFY(!embeddedDataFile(m_dir->path()).isEmpty()); // falls back to the default file
    }

    void refusedServerFailsAndAsksForSettings() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close(); // nobody listens there now
        Station st("t", m_dir->filePath("s.ini"));
        st.settings().set(keys::SqlHost, QString("127.0.0.1:%1").arg(port));
        st.settings().set(keys::SqlDatabase, "hall");
        st.loadConnectionSettings();
        QSignalSpy failed(&st, &Station::connectionFailed);
        QVERIFY(!st.openConnection());
        QCOMPARE(failed.count(), 1);
        QVERIFY(!st.lastConnectionError().isEmpty());
        QVERIFY(!st.dbConnection);
    }

    void silentServerGivesUpWithinTheLimit() {
        // Accepts the connection and never answers, like a hung server.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        Station st("t", m_dir->filePath("s.ini"));
        st.settings().set(keys::SqlHost, QString("127.0.0.1:%1").arg(silent.serverPort()));
        st.loadConnectionSettings();
        st.connectTimeoutSeconds = 2;
        QElapsedTimer t;
        t.start();
        QVERIFY(!st.openConnection());
        QVERIFY2(t.elapsed() < 8000, qPrintable(QString::number(t.elapsed())));
    }

    void failedOpenKeepsTheWorkingConnection() {
        Station st("t", m_dir->filePath("s.ini"));
        st.setEmbeddedFile(m_dir->filePath("data.db"));
        QVERIFY(st.openConnection());
        auto working = st.dbConnection;
        st.settings().set(keys::SqlHost, "127.0.0.1:1");
        st.loadConnectionSettings();
        QVERIFY(!st.openConnection());
        QCOMPARE(st.dbConnection, working);
    }

    void quotesInNameAndPasswordConnect() {
        if (!pgServer().available()) QSKIP("no PostgreSQL test server");
        pgAdmin("drop role if exists \"o'hara\"");
        QCOMPARE(pgAdmin("create role \"o'hara\" login password 'it''s; a \"secret\"'"), QString());
        Station st("t", m_dir->filePath("s.ini"));
        st.settings().set(keys::SqlHost, pgServer().hostSetting());
        st.settings().set(keys::SqlDatabase, "postgres");
        st.settings().set(keys::SqlUser, "o'hara");
        st.settings().set(keys::SqlPassword, "it's; a \"secret\"");
        st.loadConnectionSettings();
        QVERIFY2(st.openConnection(), qPrintable(st.lastConnectionError()));
        RecordSet rs(st.dbConnection, "select current_user");
        QCOMPARE(rs.text(0), QString("o'hara"));

        st.settings().set(keys::SqlPassword, "it's; a \"secreT\"");
        st.loadConnectionSettings();
        QVERIFY(!st.openConnection());
        QVERIFY(st.lastConnectionError().contains("password", Qt::CaseInsensitive));
    }

    void otherAuthenticationSendsNoPassword() {
        if (!pgServer().available()) QSKIP("no PostgreSQL test server");
        Station st("t", m_dir->filePath("s.ini"));
        st.settings().set(keys::SqlHost, pgServer().hostSetting());
        st.settings().set(keys::SqlDatabase, "postgres");
        st.settings().set(keys::SqlUser, pgServer().user);
        st.settings().set(keys::SqlPassword, pgServer().password);
        st.settings().set(keys::SqlAuthentication, ""); // empty: not server authentication
        st.loadConnectionSettings();
        // Over TCP the test server wants a password, which this kind never sends.
        QVERIFY(!st.openConnection());
        // Over the local socket the server trusts the system user.
        const QString socket = qEnvironmentVariable("TALLYVOX_TEST_PG_SOCKET");
        if (socket.isEmpty()) return;
        qputenv("PGUSER", pgServer().user.toUtf8());
        st.settings().set(keys::SqlHost, QString("%1:%2").arg(socket).arg(pgServer().port));
        st.loadConnectionSettings();
        QVERIFY2(st.openConnection(), qPrintable(st.lastConnectionError()));
        qunsetenv("PGUSER");
    }

    void serverDatabaseIsNotCreatedBehindTheAdministratorsBack() {
        if (!pgServer().available()) QSKIP("no PostgreSQL test server");
        pgAdmin("drop database if exists tv_empty_hall with (force)");
        QCOMPARE(pgAdmin("create database tv_empty_hall"), QString());
        Station st("t", m_dir->filePath("s.ini"));
        st.settings().set(keys::SqlHost, pgServer().hostSetting());
        st.settings().set(keys::SqlDatabase, "tv_empty_hall");
        st.settings().set(keys::SqlUser, pgServer().user);
        st.settings().set(keys::SqlPassword, pgServer().password);
        st.loadConnectionSettings();
        QVERIFY(st.openConnection());
        QCOMPARE(schema::storedVersion(*st.dbConnection), 0);
        schema::migrate(*st.dbConnection);
        QCOMPARE(schema::storedVersion(*st.dbConnection), schema::currentVersion());
        st.dbConnection.reset();
        pgAdmin("drop database if exists tv_empty_hall with (force)");
    }

private:
    void writeFile(const QString& name, const QByteArray& text) {
        QFile f(m_dir->filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(ConnectionTest)
#include "test_connection.moc"
