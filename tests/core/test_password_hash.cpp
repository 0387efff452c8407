// Salted password hashes and the plain values still found in old rows.
#include "core/password_hash.h"

#include <QtTest>

using namespace tv;

class PasswordHashTest : public QObject {
    Q_OBJECT

private slots:
    void hashIsSaltedArgon2id() {
        const QString a = hashPassword("s3cret");
        const QString b = hashPassword("s3cret");
        QVERIFY(a.startsWith("$argon2id$"));
        QVERIFY(isPasswordHash(a));
        QVERIFY(!a.contains("s3cret"));
        QVERIFY(a != b); // a fresh salt each time
        QVERIFY(verifyPassword(a, "s3cret"));
        QVERIFY(verifyPassword(b, "s3cret"));
    }

    void hashAcceptsOnlyTheExactPassword() {
        const QString h = hashPassword("Gate-7 é");
        QVERIFY(verifyPassword(h, "Gate-7 é"));
        QVERIFY(!verifyPassword(h, "gate-7 é"));
        QVERIFY(!verifyPassword(h, "Gate-7 e"));
        QVERIFY(!verifyPassword(h, "Gate-7 é "));
        QVERIFY(!verifyPassword(h, ""));
        QVERIFY(!verifyPassword(h, h)); // the hash is not the password
    }

    void emptyPasswordHashesToo() {
        const QString h = hashPassword("");
        QVERIFY(isPasswordHash(h));
        QVERIFY(verifyPassword(h, ""));
        QVERIFY(!verifyPassword(h, " "));
    }

    void legacyPlainValueComparesExactly() {
        QVERIFY(!isPasswordHash("secret"));
        QVERIFY(!isPasswordHash(""));
        QVERIFY(!isPasswordHash("$argon2i$v=19$m=4096,t=3,p=1$x$y")); // not our kind
        QVERIFY(verifyPassword("secret", "secret"));
        QVERIFY(!verifyPassword("secret", "Secret"));
        QVERIFY(!verifyPassword("secret", "secret "));
        QVERIFY(verifyPassword("", ""));
        QVERIFY(!verifyPassword("", "x"));
    }

    void damagedHashMatchesNothing() {
        QString h = hashPassword("pw");
        QVERIFY(!verifyPassword(h.left(h.size() - 4), "pw"));
        QVERIFY(!verifyPassword("$argon2id$garbage", "pw"));
        QVERIFY(!verifyPassword("$argon2id$garbage", "$argon2id$garbage"));
        QVERIFY(!verifyPassword(h + QString(200, 'x'), "pw"));
    }
};

QTEST_APPLESS_MAIN(PasswordHashTest)
#include "test_password_hash.moc"
