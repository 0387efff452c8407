// Logging in as administrator or counter, the remembered login and the
// password changes, on every engine.
#include "core/connection.h"
#include "core/db_error.h"
#include "core/login_ops.h"
#include "core/password_hash.h"
#include "core/recordset.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

using Role = LoginRequest::Role;

class LoginOpsTest : public QObject {
    Q_OBJECT

public:
    explicit LoginOpsTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        // Hashing is slow on purpose: make the rows' hashes once.
        m_adminHash = hashPassword("secret");
        m_counterHash = hashPassword("c0unter");
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        c()->execute("insert into tbluser (userAuto, username, password, userType) "
                     "values (1, ?, ?, ?), (2, ?, ?, ?), (5, ?, ?, ?)",
                     {QString("Admin"), m_adminHash, QString("Admin"), QString("legacy"),
                      QString("Plain'Pass"), QString("Admin"), QString("O'Brien"), m_adminHash,
                      QString("Admin")});
        c()->execute("insert into tblCounter (cntAuto, servAuto, contName, displayName, username, "
                     "pass, active) values (3, 7, ?, ?, ?, ?, 1), (4, 8, ?, ?, ?, ?, 0)",
                     {QString("Room 3"), QString("R3"), QString("Ravi"), m_counterHash,
                      QString("Room 4"), QString("R4"), QString("Meera"), QString("old")});
        for (const SettingKey& k : {keys::LoginRemember, keys::LoginType, keys::LoginName,
                                    keys::LoginPass, keys::LoginCounter})
            st().settings().set(k, QString::fromLatin1(k.defaultValue));
        st().login = LoginState{};
    }

    void bothRolesLogIn() {
        LoginOps ops(st());
        st().login.counterId = 9;
        QCOMPARE(ops.login(admin("Admin", "secret")).ok, true);
        QVERIFY(st().login.isAdmin);
        QCOMPARE(st().login.adminUserId, 1);

        const LoginResult r = ops.login(counter("Room 3", "Ravi", "c0unter"));
        QVERIFY(r.ok);
        QVERIFY(r.message.isEmpty());
        QVERIFY(!st().login.isAdmin);
        QCOMPARE(st().login.counterId, qint16(3));
        QCOMPARE(st().login.serviceId, qint16(7));
    }

    void wrongCredentialsChangeNothing() {
        LoginOps ops(st());
        LoginResult r = ops.login(admin("Admin", "wrong"));
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QString("Please enter a valid username and password"));
        r = ops.login(counter("Room 3", "Ravi", "wrong"));
        QCOMPARE(r.message, QString("Please enter a valid Username and Password"));
        // The right user and password at another counter, or the counter's
        // user as administrator.
        QVERIFY(!ops.login(counter("Room 4", "Ravi", "c0unter")).ok);
        QVERIFY(!ops.login(admin("Ravi", "c0unter")).ok);
        QVERIFY(!ops.login(admin("", "")).ok);
        QVERIFY(!ops.login(counter("", "", "")).ok);
        QVERIFY(!st().login.isAdmin);
        QCOMPARE(st().login.counterId, qint16(0));
        QCOMPARE(st().settings().text(keys::LoginPass), QString());
    }

    void namesAreCaseFreePasswordsExact() {
        LoginOps ops(st());
        QVERIFY(ops.login(admin("aDMIN", "secret")).ok);
        QVERIFY(!ops.login(admin("Admin", "Secret")).ok);
        QVERIFY(!ops.login(admin("Admin", "secret ")).ok);
        QVERIFY(ops.login(counter("room 3", "RAVI", "c0unter")).ok);
        QVERIFY(!ops.login(counter("Room 3", "Ravi", "C0UNTER")).ok);
        // A plain row compares exactly too.
        QVERIFY(!ops.login(admin("legacy", "plain'pass")).ok);
    }

    void quotesAreJustCharacters() {
        LoginOps ops(st());
        const QString inject = "x' or '1'='1";
        QVERIFY(!ops.login(admin(inject, inject)).ok);
        QVERIFY(!ops.login(admin("Admin", "' or '1'='1")).ok);
        QVERIFY(!ops.login(admin("Admin'--", "")).ok);
        QVERIFY(!ops.login(counter(inject, inject, inject)).ok);
        QVERIFY(!ops.login(counter("Room 3", "Ravi", "' or ''='")).ok);
        QVERIFY(!st().login.isAdmin);
        QCOMPARE(st().login.counterId, qint16(0));
        // A real name with a quote logs in like any other.
        QVERIFY(ops.login(admin("o'brien", "secret")).ok);
        QCOMPARE(st().login.adminUserId, 5);
        QCOMPARE(c()->scalar("select count(*) from tbluser").toInt(), 3);
    }

    void memorizeKeepsATokenNeitherPasswordNorHash() {
        LoginOps ops(st());
        QVERIFY(ops.login(admin("admin", "secret", true)).ok);
        QCOMPARE(setting(keys::LoginRemember), QString("1"));
        QCOMPARE(setting(keys::LoginType), QString("optAdmin"));
        QCOMPARE(setting(keys::LoginName), QString("admin")); // as typed
        const QString adminToken = setting(keys::LoginPass);
        QVERIFY(isLoginToken(adminToken));
        QVERIFY(!adminToken.contains("secret") && adminToken != m_adminHash);
        QCOMPARE(setting(keys::LoginCounter), QString());
        // the database keeps only the token's digest
        QCOMPARE(tokens("select role, ownerAuto, station from tv_login_token where tokenHash=?",
                        {loginTokenDigest(adminToken)}),
                 QStringList({"A|1|test"}));
        QCOMPARE(tokens("select * from tv_login_token where tokenHash=?", {adminToken}).size(), 0);

        QVERIFY(ops.login(counter("Room 3", "Ravi", "c0unter", true)).ok);
        QCOMPARE(setting(keys::LoginType), QString("optCounter"));
        QCOMPARE(setting(keys::LoginName), QString("Ravi"));
        QCOMPARE(setting(keys::LoginCounter), QString("Room 3"));
        const RememberedLogin r = ops.remembered();
        QVERIFY(r.remember);
        QCOMPARE(r.type, QString("optCounter"));
        QVERIFY(isLoginToken(r.pass));
        // the station remembers one login: the administrator's token is gone
        QCOMPARE(tokens("select role, ownerAuto from tv_login_token"), QStringList({"C|3"}));
    }

    void untickedMemorizeClearsNameAndPassOnly() {
        LoginOps ops(st());
        QVERIFY(ops.login(counter("Room 3", "Ravi", "c0unter", true)).ok);
        QVERIFY(ops.login(admin("Admin", "secret", false)).ok);
        QCOMPARE(setting(keys::LoginRemember), QString("1"));
        QCOMPARE(setting(keys::LoginType), QString("optCounter"));
        QCOMPARE(setting(keys::LoginCounter), QString("Room 3"));
        QCOMPARE(setting(keys::LoginName), QString());
        QCOMPARE(setting(keys::LoginPass), QString());
        QCOMPARE(tokens("select * from tv_login_token").size(), 0); // forgotten here too
        // A failed attempt leaves the remembered login alone.
        QVERIFY(ops.login(admin("Admin", "secret", true)).ok);
        const QString kept = setting(keys::LoginPass);
        QVERIFY(!ops.login(admin("Admin", "nope", false)).ok);
        QCOMPARE(setting(keys::LoginPass), kept);
    }

    void rememberedTokenHoldsUntilThePasswordChanges() {
        LoginOps ops(st());
        QVERIFY(ops.login(admin("Admin", "secret", true)).ok);
        const QString kept = ops.remembered().pass;
        st().login = LoginState{};
        QVERIFY(ops.login(remembered(admin("Admin", kept, true))).ok);
        QCOMPARE(st().login.adminUserId, 1);
        QCOMPARE(setting(keys::LoginPass), kept); // a remembered login keeps its token
        // Typed into the box, the token is no password; nor does it fit another account.
        QVERIFY(!ops.login(admin("Admin", kept)).ok);
        QVERIFY(!ops.login(remembered(admin("O'Brien", kept))).ok);
        QVERIFY(!ops.login(remembered(counter("Room 3", "Ravi", kept))).ok);
        QVERIFY(ops.changeAdminPassword("secret", "fresh", "fresh").changed);
        QVERIFY(!ops.login(remembered(admin("Admin", kept))).ok);
        QVERIFY(ops.login(admin("Admin", "fresh")).ok);
    }

    void theStoredHashIsNoRememberedLogin() {
        // Anyone who can read the user table has the hashes: one put into a
        // station's settings file must not log in.
        LoginOps ops(st());
        QVERIFY(!ops.login(remembered(admin("Admin", m_adminHash))).ok);
        QVERIFY(!ops.login(remembered(counter("Room 3", "Ravi", m_counterHash))).ok);
        QVERIFY(!st().login.isAdmin);
        // nor does a made-up token
        QVERIFY(!ops.login(remembered(admin("Admin", newLoginToken()))).ok);
    }

    void revokingEndsEveryStationsRememberedLogin() {
        LoginOps ops(st());
        QVERIFY(ops.login(counter("Room 3", "Ravi", "c0unter", true)).ok);
        const QString kept = ops.remembered().pass;
        LoginOps::revokeLoginTokens(*c(), "C", 3);
        QVERIFY(!ops.login(remembered(counter("Room 3", "Ravi", kept))).ok);
        QVERIFY(ops.login(counter("Room 3", "Ravi", "c0unter", true)).ok);
        QVERIFY(ops.changeCounterPassword("c0unter", "n3w", "n3w").changed);
        QCOMPARE(tokens("select * from tv_login_token").size(), 0);
    }

    void rememberedPlainPasswordFromAnOldStationIsReplaced() {
        LoginOps ops(st());
        QVERIFY(ops.login(remembered(admin("Admin", "secret", true))).ok);
        QVERIFY(isLoginToken(setting(keys::LoginPass)));
        QVERIFY(!ops.login(remembered(admin("Admin", "Secret"))).ok);
    }

    void inactiveCounterIsNotListedButLogsIn() {
        LoginOps ops(st());
        QCOMPARE(ops.addCounter(), QStringList{"Room 3"});
        QVERIFY(ops.login(counter("Room 4", "Meera", "old")).ok);
        QCOMPARE(st().login.counterId, qint16(4));
        QCOMPARE(st().login.serviceId, qint16(8));
    }

    void legacyPlainPasswordBecomesAHashAtLogin() {
        LoginOps ops(st());
        QVERIFY(ops.login(admin("LEGACY", "Plain'Pass", true)).ok);
        QCOMPARE(st().login.adminUserId, 2);
        const QString row = c()->scalar("select password from tbluser where userAuto=2").toString();
        QVERIFY(row.startsWith("$argon2id$"));
        QVERIFY(ops.login(remembered(admin("legacy", setting(keys::LoginPass), true))).ok);
        QVERIFY(ops.login(admin("legacy", "Plain'Pass")).ok);
        QVERIFY(!ops.login(admin("legacy", "plain'pass")).ok);
        QVERIFY(!ops.login(admin("legacy", row)).ok);
        QVERIFY(!ops.login(remembered(admin("legacy", row))).ok);
        // Later logins keep the hash they found.
        QCOMPARE(c()->scalar("select password from tbluser where userAuto=2").toString(), row);

        QVERIFY(ops.login(counter("Room 4", "Meera", "old")).ok);
        const QString pass = c()->scalar("select pass from tblCounter where cntAuto=4").toString();
        QVERIFY(pass.startsWith("$argon2id$"));
        QVERIFY(ops.login(counter("Room 4", "Meera", "old")).ok);
        QVERIFY(!ops.login(counter("Room 4", "Meera", "Old")).ok);
        // Nobody else's row was touched.
        QCOMPARE(c()->scalar("select pass from tblCounter where cntAuto=3").toString(),
                 m_counterHash);
    }

    void counterPasswordChange() {
        LoginOps ops(st());
        QVERIFY(ops.login(counter("Room 3", "Ravi", "c0unter")).ok);
        PasswordChangeResult r = ops.changeCounterPassword("c0unter", "new1", "new2");
        QVERIFY(!r.changed);
        QCOMPARE(r.message, QString("Passwords are not same"));
        r = ops.changeCounterPassword("C0UNTER", "new1", "new1");
        QVERIFY(!r.changed);
        QCOMPARE(r.message, QString("Please enter a valid old password"));
        QCOMPARE(counterPass(3), m_counterHash);

        r = ops.changeCounterPassword("c0unter", "new1", "new1");
        QVERIFY(r.changed);
        QCOMPARE(r.message, QString("Password Changed "));
        QVERIFY(counterPass(3).startsWith("$argon2id$"));
        QVERIFY(ops.login(counter("Room 3", "Ravi", "new1")).ok);
        QVERIFY(!ops.login(counter("Room 3", "Ravi", "c0unter")).ok);

        // An empty new password with an empty confirmation is a password too.
        QVERIFY(ops.changeCounterPassword("new1", "", "").changed);
        QVERIFY(ops.login(counter("Room 3", "Ravi", "")).ok);
        QVERIFY(!ops.login(counter("Room 3", "Ravi", "new1")).ok);
        QCOMPARE(counterPass(4), QString("old")); // only the logged-in counter changes
    }

    void adminPasswordChange() {
        LoginOps ops(st());
        QVERIFY(ops.login(admin("legacy", "Plain'Pass")).ok);
        // The login above hashed the row; put the plain value back to see that a
        // legacy old password is accepted by the change too.
        c()->execute("update tbluser set password=? where userAuto=2", {QString("Plain'Pass")});
        QCOMPARE(ops.changeAdminPassword("Plain'Pass", "a", "b").message,
                 QString("Passwords are not same"));
        QCOMPARE(ops.changeAdminPassword("secret", "a", "a").message,
                 QString("Please enter a valid old password")); // another user's password
        QVERIFY(ops.changeAdminPassword("Plain'Pass", "x' or '1'='1", "x' or '1'='1").changed);
        const QString row = c()->scalar("select password from tbluser where userAuto=2").toString();
        QVERIFY(isPasswordHash(row));
        QVERIFY(ops.login(admin("legacy", "x' or '1'='1")).ok);
        QCOMPARE(c()->scalar("select password from tbluser where userAuto=1").toString(),
                 m_adminHash);
    }

    void rememberedOnlyWhenRemIsOne() {
        LoginOps ops(st());
        st().settings().set(keys::LoginRemember, "yes");
        QVERIFY(!ops.remembered().remember);
        st().settings().set(keys::LoginRemember, "2");
        QVERIFY(!ops.remembered().remember);
        st().settings().set(keys::LoginRemember, "1");
        QVERIFY(ops.remembered().remember);
    }

    void databaseFailureRaises() {
        LoginOps ops(st());
        const auto kept = st().dbConnection;
        st().dbConnection.reset();
        QVERIFY_THROWS_EXCEPTION(DbError, ops.login(admin("Admin", "secret")));
        QVERIFY_THROWS_EXCEPTION(DbError, ops.addCounter());
        st().dbConnection = kept;
        c()->execute("drop table tbluser");
        QVERIFY_THROWS_EXCEPTION(DbError, ops.login(admin("Admin", "secret")));
        QVERIFY(!st().login.isAdmin); // last test: the database goes with the class
    }

private:
    static LoginRequest admin(const QString& user, const QString& pass, bool memorize = false) {
        LoginRequest r;
        r.role = Role::Admin;
        r.userName = user;
        r.password = pass;
        r.memorize = memorize;
        return r;
    }
    static LoginRequest counter(const QString& name, const QString& user, const QString& pass,
                                bool memorize = false) {
        LoginRequest r = admin(user, pass, memorize);
        r.role = Role::Counter;
        r.counterName = name;
        return r;
    }
    static LoginRequest remembered(LoginRequest r) {
        r.rememberedCredential = true;
        return r;
    }
    QString setting(const SettingKey& k) { return st().settings().text(k); }
    // Rows of a query as "a|b|c".
    QStringList tokens(const QString& sql, const QVariantList& binds = {}) {
        QStringList out;
        for (RecordSet rs(c(), sql, binds); !rs.eof(); rs.moveNext()) {
            QStringList row;
            for (int i = 0; i < rs.fieldCount(); ++i)
                row << rs.textOrEmpty(i);
            out << row.join('|');
        }
        return out;
    }
    QString counterPass(int key) {
        return c()->scalar("select pass from tblCounter where cntAuto=?", {key}).toString();
    }
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    QString m_adminHash;
    QString m_counterHash;
};

TALLYVOX_DB_TEST_MAIN(LoginOpsTest)
#include "test_login_ops.moc"
