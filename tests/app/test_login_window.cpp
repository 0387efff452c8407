// The login window: its controls, the remembered login, Enter moves, the
// login on activation and the way to the connection dialog.
#include "app/login_window.h"
#include "core/connection.h"
#include "core/password_hash.h"
#include "core/ui/dialogs.h"
#include "test_station.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

using namespace tv;
using namespace tv::test;

class LoginWindowTest : public QObject {
    Q_OBJECT

public:
    explicit LoginWindowTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        Dialogs::setTestMode(true);
        m_db = std::make_unique<TestStation>(m_engine);
        m_adminHash = hashPassword("secret");
        m_counterHash = hashPassword("c0unter");
    }
    void cleanupTestCase() {
        m_db.reset();
        Dialogs::setTestMode(false);
    }
    void init() {
        m_db->clearTables();
        c()->execute("insert into tbluser (userAuto, username, password) values (1, ?, ?)",
                     {QString("Admin"), m_adminHash});
        c()->execute("insert into tblCounter (cntAuto, servAuto, contName, username, pass, active) "
                     "values (3, 7, ?, ?, ?, 1), (4, 8, ?, ?, ?, 0), (6, 7, ?, ?, ?, 1)",
                     {QString("Room 3"), QString("Ravi"), m_counterHash, QString("Room 4"),
                      QString("Meera"), m_counterHash, QString("Room 6"), QString("Anu"),
                      m_counterHash});
        for (const SettingKey& k : {keys::LoginRemember, keys::LoginType, keys::LoginName,
                                    keys::LoginPass, keys::LoginCounter})
            st().settings().set(k, QString::fromLatin1(k.defaultValue));
        st().login = LoginState{};
        Dialogs::setTestMode(true); // empties the log
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmSql") w->close();
    }

    void controlsAndCaptions() {
        LoginWindow w(st());
        QCOMPARE(w.objectName(), QString("frmLogin"));
        QCOMPARE(w.windowTitle(), QString("Login Here"));
        QCOMPARE(child<QRadioButton>(w, "optAdmin")->text(), QString("Admin"));
        QCOMPARE(child<QRadioButton>(w, "optCounter")->text(), QString("Counter"));
        QCOMPARE(child<QLabel>(w, "lblCounter")->text(), QString("Select Counter "));
        QCOMPARE(child<QCheckBox>(w, "chkRem")->text(), QString("Memorize "));
        QCOMPARE(child<QLineEdit>(w, "txtPass")->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QPushButton>(w, "cmdLogin")->text(), QString("Login"));
        QCOMPARE(child<QPushButton>(w, "cmdExit")->text(), QString("Exit"));
        QStringList labels;
        for (QLabel* l : w.findChildren<QLabel*>())
            labels << l->text();
        QVERIFY(labels.contains("User Name"));
        QVERIFY(labels.contains("Password"));

        // Nothing remembered: administrator, no counter list, empty boxes.
        QVERIFY(child<QRadioButton>(w, "optAdmin")->isChecked());
        QVERIFY(!child<QCheckBox>(w, "chkRem")->isChecked());
        QVERIFY(child<QComboBox>(w, "cmbCounter")->isHidden());
        QVERIFY(child<QLabel>(w, "lblCounter")->isHidden());
        QVERIFY(child<QLineEdit>(w, "txtUser")->text().isEmpty());

        QSignalSpy exit(&w, &LoginWindow::exitRequested);
        child<QPushButton>(w, "cmdExit")->click();
        QCOMPARE(exit.count(), 1);
    }

    void counterListFollowsTheRole() {
        LoginWindow w(st());
        auto* list = child<QComboBox>(w, "cmbCounter");
        child<QRadioButton>(w, "optCounter")->click();
        QVERIFY(!list->isHidden());
        QVERIFY(!child<QLabel>(w, "lblCounter")->isHidden());
        QCOMPARE(items(list), (QStringList{"Room 3", "Room 6"})); // Room 4 is inactive
        // Choosing the counter role again refills rather than adds.
        c()->execute("update tblCounter set active=1 where cntAuto=4");
        child<QRadioButton>(w, "optCounter")->click();
        QCOMPARE(list->count(), 3);
        child<QRadioButton>(w, "optAdmin")->click();
        QVERIFY(list->isHidden());
        QVERIFY(child<QLabel>(w, "lblCounter")->isHidden());
    }

    void rememberedCounterLogsInByItself() {
        const QString token = rememberLogin("optCounter", "Meera", "c0unter", "Room 4");
        LoginWindow w(st());
        QVERIFY(child<QRadioButton>(w, "optCounter")->isChecked());
        QVERIFY(child<QCheckBox>(w, "chkRem")->isChecked());
        QVERIFY(!child<QComboBox>(w, "cmbCounter")->isHidden());
        // Not in the list (inactive), yet remembered and shown.
        QCOMPARE(child<QComboBox>(w, "cmbCounter")->currentText(), QString("Room 4"));
        QCOMPARE(child<QLineEdit>(w, "txtUser")->text(), QString("Meera"));
        QCOMPARE(child<QLineEdit>(w, "txtPass")->text(), token);
        QVERIFY(w.holdsRememberedCredential());

        QSignalSpy admin(&w, &LoginWindow::adminLoggedIn);
        QSignalSpy counter(&w, &LoginWindow::counterLoggedIn);
        w.windowActivated();
        QCOMPARE(counter.count(), 1);
        QCOMPARE(admin.count(), 0);
        QCOMPARE(st().login.counterId, qint16(4));
        QVERIFY(Dialogs::shownTexts().isEmpty());
        // Logged in: neither another activation nor the splash logs in twice.
        w.windowActivated();
        w.loginAction();
        QCOMPARE(counter.count(), 1);
    }

    void typingReplacesTheRememberedLogin() {
        const QString token = rememberLogin("optAdmin", "Admin", "secret", {});
        LoginWindow w(st());
        auto* pass = child<QLineEdit>(w, "txtPass");
        QVERIFY(child<QComboBox>(w, "cmbCounter")->isHidden());
        pass->selectAll();
        QTest::keyClicks(pass, token.left(12)); // typed text, however token-like
        QVERIFY(!w.holdsRememberedCredential());
        pass->selectAll();
        QTest::keyClicks(pass, token);
        QSignalSpy admin(&w, &LoginWindow::adminLoggedIn);
        w.loginAction();
        QCOMPARE(admin.count(), 0);
        QCOMPARE(Dialogs::shownTexts(), QStringList{"Please enter a valid username and password"});
        pass->selectAll();
        QTest::keyClicks(pass, "secret");
        w.loginAction();
        QCOMPARE(admin.count(), 1);
        QVERIFY(st().login.isAdmin);
    }

    void memorizeBoxDecidesWhatIsKept() {
        LoginWindow w(st());
        child<QLineEdit>(w, "txtUser")->setText("Admin");
        child<QLineEdit>(w, "txtPass")->setText("secret");
        child<QCheckBox>(w, "chkRem")->setChecked(true);
        w.loginAction();
        QCOMPARE(st().settings().text(keys::LoginRemember), QString("1"));
        QVERIFY(isLoginToken(st().settings().text(keys::LoginPass)));

        // Unticked on the next start: name and password go, "Rem" stays, and
        // the start after that shows the box ticked with empty fields.
        LoginWindow again(st());
        QVERIFY(child<QCheckBox>(again, "chkRem")->isChecked());
        child<QCheckBox>(again, "chkRem")->setChecked(false);
        again.loginAction();
        QCOMPARE(st().settings().text(keys::LoginName), QString());
        QCOMPARE(st().settings().text(keys::LoginPass), QString());
        LoginWindow third(st());
        QVERIFY(child<QCheckBox>(third, "chkRem")->isChecked());
        QVERIFY(child<QLineEdit>(third, "txtUser")->text().isEmpty());
        QSignalSpy admin(&third, &LoginWindow::adminLoggedIn);
        third.windowActivated(); // empty boxes: nothing to try, nothing to say
        QCOMPARE(admin.count(), 0);
        QVERIFY(Dialogs::shownTexts().isEmpty());
    }

    void nothingIsReportedThatTheUserNeverTried() {
        LoginWindow w(st());
        w.windowActivated(); // a fresh station
        QVERIFY(Dialogs::shownTexts().isEmpty());
        // switching to another program mid-typing and coming back
        QTest::keyClicks(child<QLineEdit>(w, "txtUser"), "Adm");
        w.windowDeactivated();
        w.windowActivated();
        QVERIFY(Dialogs::shownTexts().isEmpty());
        QVERIFY(!st().login.isAdmin);
        // the Login button always tries
        child<QPushButton>(w, "cmdLogin")->click();
        QCOMPARE(Dialogs::shownTexts(), QStringList{"Please enter a valid username and password"});
    }

    void aRememberedLoginThatNoLongerHoldsIsSaidOnce() {
        rememberLogin("optCounter", "Ravi", "c0unter", "Room 3");
        c()->execute("delete from tv_login_token"); // the password changed elsewhere
        LoginWindow w(st());
        w.windowActivated();
        QCOMPARE(Dialogs::shownTexts(), QStringList{"Please enter a valid Username and Password"});
        w.windowDeactivated();
        w.windowActivated();
        QCOMPARE(Dialogs::shownTexts().size(), 1);
        QVERIFY(!w.holdsRememberedCredential());
    }

    void aPasswordHashInTheSettingsFileDoesNotLogIn() {
        // what the station used to remember, and what anyone reading the
        // user table could put there
        remember("optAdmin", "Admin", m_adminHash, {});
        LoginWindow w(st());
        QSignalSpy admin(&w, &LoginWindow::adminLoggedIn);
        w.windowActivated();
        QCOMPARE(admin.count(), 0);
        QVERIFY(!st().login.isAdmin);
    }

    void showingTheWindowRunsTheLogin() {
        rememberLogin("optAdmin", "Admin", "secret", {});
        LoginWindow w(st());
        QSignalSpy admin(&w, &LoginWindow::adminLoggedIn);
        w.show();
        w.activateWindow();
        QTRY_COMPARE(admin.count(), 1);
        QVERIFY(w.isHidden());
    }

    void enterMovesAndLogsIn() {
        LoginWindow w(st());
        QSignalSpy counter(&w, &LoginWindow::counterLoggedIn);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* list = child<QComboBox>(w, "cmbCounter");
        auto* user = child<QLineEdit>(w, "txtUser");
        auto* pass = child<QLineEdit>(w, "txtPass");
        child<QRadioButton>(w, "optCounter")->click();
        QTRY_VERIFY(list->hasFocus());
        list->setCurrentText("Room 3");
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(user->hasFocus());
        QTest::keyClicks(user, "RAVI");
        QTest::keyClick(user, Qt::Key_Return);
        QVERIFY(pass->hasFocus());
        QTest::keyClicks(pass, "c0unter");
        QTest::keyClick(pass, Qt::Key_Return);
        QCOMPARE(counter.count(), 1);
        QCOMPARE(st().login.counterId, qint16(3));
        QVERIFY(Dialogs::shownTexts().isEmpty());
    }

    void enteringTheUserBoxSelectsItsText() {
        LoginWindow w(st());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* user = child<QLineEdit>(w, "txtUser");
        user->setText("Admin");
        user->deselect();
        child<QLineEdit>(w, "txtPass")->setFocus();
        user->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(user->selectedText(), QString("Admin"));
    }

    void databaseErrorOpensTheConnectionDialog() {
        rememberLogin("optAdmin", "Admin", "secret", {});
        LoginWindow w(st());
        QSignalSpy admin(&w, &LoginWindow::adminLoggedIn);
        const auto kept = st().dbConnection;
        st().dbConnection.reset();
        w.windowActivated();
        st().dbConnection = kept;
        QCOMPARE(admin.count(), 0);
        QVERIFY(sqlDialogOpen());
        QVERIFY(Dialogs::shownTexts().isEmpty());
        QVERIFY(!st().login.isAdmin);
        // Back from the dialog is no new activation; the Login button works
        // once the database is there again.
        w.windowActivated();
        QCOMPARE(admin.count(), 0);
        w.loginAction();
        QCOMPARE(admin.count(), 1);
    }

private:
    template <typename T> static T* child(QWidget& w, const char* name) {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no control %s", name);
        return found;
    }
    static QStringList items(QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    static bool sqlDialogOpen() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmSql" && w->isVisible()) return true;
        return false;
    }
    // Logs in once with Memorize ticked, as an earlier start did; returns the
    // token the station now remembers.
    QString rememberLogin(const QString& type, const QString& name, const QString& password,
                          const QString& counter) {
        LoginRequest r;
        r.role = type == "optAdmin" ? LoginRequest::Role::Admin : LoginRequest::Role::Counter;
        r.userName = name;
        r.password = password;
        r.counterName = counter;
        r.memorize = true;
        if (!LoginOps(st()).login(r).ok) qFatal("the remembered login did not log in");
        st().login = LoginState{};
        return st().settings().text(keys::LoginPass);
    }
    void remember(const QString& type, const QString& name, const QString& pass,
                  const QString& counter) {
        StationSettings& s = st().settings();
        s.set(keys::LoginRemember, "1");
        s.set(keys::LoginType, type);
        s.set(keys::LoginName, name);
        s.set(keys::LoginPass, pass);
        s.set(keys::LoginCounter, counter);
    }
    Station& st() { return m_db->station(); }
    std::shared_ptr<Connection> c() { return st().dbConnection; }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    QString m_adminHash;
    QString m_counterHash;
};

TALLYVOX_DB_TEST_MAIN(LoginWindowTest)
#include "test_login_window.moc"
