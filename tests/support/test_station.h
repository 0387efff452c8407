#pragma once

#include "core/station.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace tv::test {

enum class DbEngine { Sqlite, Postgres };

QString engineName(DbEngine e);

// The throwaway PostgreSQL server the test command started (environment
// TALLYVOX_TEST_PG_HOST, _PORT, _USER, _PASSWORD), if any.
struct PgServer {
    QString host;
    int port = 0;
    QString user;
    QString password;
    bool available() const { return port > 0; }
    QString hostSetting() const { return host + u':' + QString::number(port); }
};
PgServer pgServer();

// Runs a statement on the server's maintenance database as the test superuser.
// Returns the error text, "" on success.
QString pgAdmin(const QString& sql);

// A station of its own for one test class: a temp settings file and a fresh
// database (an embedded file, or a new database on the test server that is
// dropped afterwards), with the tables created.
class TestStation final {
public:
    explicit TestStation(DbEngine engine);
    ~TestStation();

    Station& station() { return *m_station; }
    DbEngine engine() const { return m_engine; }
    QString dir() const { return m_dir.path(); }
    QString databaseName() const { return m_dbName; }
    // Empties every table (keeps the company row), for a clean test.
    void clearTables();

private:
    DbEngine m_engine;
    QTemporaryDir m_dir;
    QString m_dbName;
    std::unique_ptr<Station> m_station;
};

// Runs a database test class once per engine: always on SQLite, and on
// PostgreSQL when the test command started a server. TALLYVOX_TEST_REQUIRE_PG=1
// turns a missing server into a failure.
template <typename T> int runOnEveryEngine(int argc, char** argv) {
    int rc = 0;
    {
        T t(DbEngine::Sqlite);
        rc |= QTest::qExec(&t, argc, argv);
    }
    if (pgServer().available()) {
        T t(DbEngine::Postgres);
        rc |= QTest::qExec(&t, argc, argv);
    } else if (qEnvironmentVariableIntValue("TALLYVOX_TEST_REQUIRE_PG") == 1) {
        qCritical("PostgreSQL tests required but no test server was started");
        rc |= 1;
    } else {
        qWarning("PostgreSQL tests skipped: no test server (run the test command)");
    }
    return rc;
}

} // namespace tv::test

#define TALLYVOX_DB_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                              \
        QApplication app(argc, argv);                                                              \
        return tv::test::runOnEveryEngine<TestClass>(argc, argv);                                  \
    }
