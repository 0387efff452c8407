#include "test_station.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/schema.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace tv::test {

namespace {
QAtomicInt serial;
}

QString engineName(DbEngine e) {
    return e == DbEngine::Sqlite ? "sqlite" : "postgres";
}

PgServer pgServer() {
    PgServer s;
    s.host = qEnvironmentVariable("TALLYVOX_TEST_PG_HOST", QStringLiteral("127.0.0.1"));
    s.port = qEnvironmentVariableIntValue("TALLYVOX_TEST_PG_PORT");
    s.user = qEnvironmentVariable("TALLYVOX_TEST_PG_USER", QStringLiteral("postgres"));
    s.password = qEnvironmentVariable("TALLYVOX_TEST_PG_PASSWORD");
    return s;
}

QString pgAdmin(const QString& sql) {
    const PgServer s = pgServer();
    QString error;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("tv-admin"));
        db.setHostName(s.host);
        db.setPort(s.port);
        db.setUserName(s.user);
        db.setPassword(s.password);
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(sql)) error = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tv-admin"));
    return error;
}

TestStation::TestStation(DbEngine engine) : m_engine(engine) {
    m_station = std::make_unique<Station>(QStringLiteral("test"), m_dir.filePath("station.ini"));
    StationSettings& st = m_station->settings();
    if (engine == DbEngine::Sqlite) {
        m_station->setEmbeddedFile(m_dir.filePath(QStringLiteral("data.db")));
    } else {
        const PgServer s = pgServer();
        m_dbName = QStringLiteral("tv_test_%1_%2")
                       .arg(QCoreApplication::applicationPid())
                       .arg(serial.fetchAndAddRelaxed(1));
        const QString err = pgAdmin(QStringLiteral("create database %1").arg(m_dbName));
        if (!err.isEmpty()) qFatal("cannot create the test database: %s", qPrintable(err));
        st.set(keys::SqlHost, s.hostSetting());
        st.set(keys::SqlDatabase, m_dbName);
        st.set(keys::SqlUser, s.user);
        st.set(keys::SqlPassword, s.password);
        st.set(keys::SqlAuthentication, ConnectionSettings::sqlAuthentication);
    }
    m_station->loadConnectionSettings();
    if (!m_station->openConnection())
        qFatal("cannot open the test database: %s", qPrintable(m_station->lastConnectionError()));
    schema::migrate(*m_station->dbConnection);
}

TestStation::~TestStation() {
    m_station.reset();
    if (m_engine == DbEngine::Postgres)
        pgAdmin(QStringLiteral("drop database if exists %1 with (force)").arg(m_dbName));
}

void TestStation::clearTables() {
    Connection& c = *m_station->dbConnection;
    for (const QString& t : schema::tableNames()) {
        if (t.compare(u"tblComp", Qt::CaseInsensitive) == 0) continue;
        c.execute(QStringLiteral("delete from %1").arg(t));
    }
}

} // namespace tv::test
