// Keys of the ticket API: made once and shown once, kept only as digests,
// refused when wrong, revoked for good.
#include "core/connection.h"
#include "core/recordset.h"
#include "test_station.h"
#include "web/api_keys.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;
using namespace tv::web;

class ApiKeysTest : public QObject {
    Q_OBJECT

public:
    explicit ApiKeysTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(9, 0, 0)));
    }

    void aKeyFromBirthToRevocation() {
        ApiKeys keys(st());
        const auto made = keys.create("  Appointments  ");
        QVERIFY2(!made.key.isEmpty(), qPrintable(made.error));
        QVERIFY(ApiKeys::looksLikeKey(made.key));
        QCOMPARE(keys.verify(made.key), std::optional<QString>("Appointments"));

        // The key itself is nowhere in the database.
        RecordSet rs(st().dbConnection, "select keyName, keyHash from tv_api_key");
        QCOMPARE(rs.recordCount(), 1);
        QVERIFY(!rs.text(1).contains(made.key.mid(5)));

        // A second active key of the same name would make revoking ambiguous.
        const auto again = keys.create("appointments");
        QVERIFY(again.key.isEmpty());
        QVERIFY(again.error.contains("already"));

        const auto other = keys.create("Web form");
        QVERIFY(!other.key.isEmpty());
        QVERIFY(other.key != made.key);

        st().clock().setFixed(QDateTime(QDate(2026, 12, 10), QTime(8, 30, 0)));
        QVERIFY(keys.revoke("Appointments"));
        QVERIFY(!keys.verify(made.key));
        QVERIFY(keys.verify(other.key));       // the other keeps working
        QVERIFY(!keys.revoke("Appointments")); // nothing left to revoke

        const auto list = keys.list();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].name, QString("Appointments"));
        QCOMPARE(list[0].created, QDateTime(QDate(2026, 12, 9), QTime(9, 0, 0)));
        QCOMPARE(list[0].revoked, QDateTime(QDate(2026, 12, 10), QTime(8, 30, 0)));
        QVERIFY(!list[1].revoked.isValid());

        // The name is free again once its key is revoked.
        QVERIFY(!keys.create("Appointments").key.isEmpty());
    }

    void wrongKeysAreRefused() {
        ApiKeys keys(st());
        const QString key = keys.create("Kiosk web").key;
        QString tampered = key;
        tampered[10] = tampered[10] == u'a' ? u'b' : u'a';
        for (const QString& k : {QString(), QString("tvk1."), tampered, key + "x", key.left(20),
                                 QString("' or '1'='1"), ApiKeys::digest(key)})
            QVERIFY2(!keys.verify(k), qPrintable(k));
    }

    void badNamesAreRefused() {
        ApiKeys keys(st());
        for (const QString& n :
             {QString(), QString("   "), QString(61, u'x'), QString("tab\there")})
            QVERIFY2(keys.create(n).key.isEmpty(), qPrintable(n));
        QCOMPARE(st().dbConnection->scalar("select count(*) from tv_api_key").toInt(), 0);
        // Quotes are only characters.
        QVERIFY(!keys.create("O'Brien's \"form\"").key.isEmpty());
        QVERIFY(keys.revoke("O'Brien's \"form\""));
    }

private:
    Station& st() { return m_db->station(); }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(ApiKeysTest)
#include "test_api_keys.moc"
