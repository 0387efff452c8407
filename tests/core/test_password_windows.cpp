// The two password windows: counter and administrator.
#include "core/connection.h"
#include "core/login_ops.h"
#include "core/password_hash.h"
#include "core/ui/dialogs.h"
#include "core/ui/password_windows.h"
#include "test_station.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

using namespace tv;
using namespace tv::test;

class PasswordWindowsTest : public QObject {
    Q_OBJECT

public:
    explicit PasswordWindowsTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        m_oldHash = hashPassword("old");
    }
    void cleanupTestCase() {
        m_db.reset();
        Dialogs::setTestMode(false);
    }
    void init() {
        m_db->clearTables();
        c()->execute("insert into tbluser (userAuto, username, password) values (1, ?, ?)",
                     {QString("Admin"), m_oldHash});
        c()->execute("insert into tblCounter (cntAuto, servAuto, contName, username, pass, active) "
                     "values (3, 7, ?, ?, ?, 1)",
                     {QString("Room 3"), QString("Ravi"), m_oldHash});
        st().login = LoginState{};
        st().login.counterId = 3;
        st().login.adminUserId = 1;
        Dialogs::setTestMode(true);
    }

    void captionsAndControls() {
        PasswordWindow counter(st(), PasswordWindow::Role::Counter);
        QCOMPARE(counter.objectName(), QString("frmChPass"));
        QCOMPARE(counter.windowTitle(), QString("Change Password"));
        PasswordWindow admin(st(), PasswordWindow::Role::Admin);
        QCOMPARE(admin.objectName(), QString("frmAdminPass"));
        QCOMPARE(admin.windowTitle(), QString("Change Admin Password"));
        for (const char* name : {"txtOld", "Text1", "Text2"})
            QCOMPARE(box(admin, name)->echoMode(), QLineEdit::Password);
        QCOMPARE(admin.findChild<QPushButton*>("cmdChange")->text(), QString("Chanage"));
    }

    void counterChangeStaysOpenUntilItWorks() {
        PasswordWindow w(st(), PasswordWindow::Role::Counter);
        w.show();
        fill(w, "old", "new", "New");
        w.findChild<QPushButton*>("cmdChange")->click();
        fill(w, "wrong", "new", "new");
        QTest::keyClick(box(w, "Text2"), Qt::Key_Return); // Enter in the confirmation
        QCOMPARE(Dialogs::shownTexts(),
                 (QStringList{"Passwords are not same", "Please enter a valid old password"}));
        QVERIFY(w.isVisible());
        QCOMPARE(pass("select pass from tblCounter where cntAuto=3"), m_oldHash);

        fill(w, "old", "new", "new");
        QTest::keyClick(box(w, "Text2"), Qt::Key_Return);
        QCOMPARE(Dialogs::shownTexts().last(), QString("Password Changed "));
        QVERIFY(!w.isVisible());
        const QString row = pass("select pass from tblCounter where cntAuto=3");
        QVERIFY(isPasswordHash(row));
        QVERIFY(verifyPassword(row, "new"));
        QCOMPARE(pass("select password from tbluser where userAuto=1"), m_oldHash);
    }

    void adminChangeAcceptsAnEmptyPassword() {
        PasswordWindow w(st(), PasswordWindow::Role::Admin);
        w.show();
        fill(w, "old", "", "");
        w.change();
        QCOMPARE(Dialogs::shownTexts(), QStringList{"Password Changed "});
        QVERIFY(!w.isVisible());
        QVERIFY(verifyPassword(pass("select password from tbluser where userAuto=1"), ""));
        QCOMPARE(pass("select pass from tblCounter where cntAuto=3"), m_oldHash);
    }

    void databaseFailureIsReportedNotFatal() {
        PasswordWindow w(st(), PasswordWindow::Role::Admin);
        w.show();
        fill(w, "old", "n", "n");
        const auto kept = st().dbConnection;
        st().dbConnection.reset();
        w.change();
        st().dbConnection = kept;
        QCOMPARE(Dialogs::shownTexts(), QStringList{"There is no database connection"});
        QVERIFY(w.isVisible());
    }

private:
    static QLineEdit* box(QWidget& w, const char* name) {
        QLineEdit* b = w.findChild<QLineEdit*>(QString::fromLatin1(name));
        if (!b) qFatal("no box %s", name);
        return b;
    }
    static void fill(QWidget& w, const QString& old, const QString& n, const QString& confirm) {
        box(w, "txtOld")->setText(old);
        box(w, "Text1")->setText(n);
        box(w, "Text2")->setText(confirm);
    }
    QString pass(const char* sql) { return c()->scalar(QString::fromLatin1(sql)).toString(); }
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    QString m_oldHash;
};

TALLYVOX_DB_TEST_MAIN(PasswordWindowsTest)
#include "test_password_windows.moc"
