// The console: its menus, the display switch, the Enable Scroll switch, Exit
// and the start-up work; and the demo hall it is tried with.
#include "app/demo_hall.h"
#include "app/main_window.h"
#include "calling/call_screen.h"
#include "core/connection.h"
#include "core/login_ops.h"
#include "core/paths.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "display/display_board.h"
#include "test_station.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>

using namespace tv;
using namespace tv::test;

class MainWindowTest : public QObject {
    Q_OBJECT

public:
    explicit MainWindowTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        qputenv("TALLYVOX_HOME", m_home.path().toUtf8());
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() {
        m_db.reset();
        qunsetenv("TALLYVOX_HOME");
    }
    void init() {
        m_db->clearTables();
        Dialogs::clearMessages();
        Dialogs::clearAnswers();
        st().settings().set(keys::DisplayAuto, 0);
        st().settings().set(keys::ThemeScroll, 0);
        st().settings().set(keys::ThemeName, "HR1");
        st().themeNo = 0;
    }

    void menusAsTheConsoleShowsThem() {
        MainWindow w(st());
        QCOMPARE(w.objectName(), QString("MDI"));
        QCOMPARE(w.windowTitle(), QString("Tallyvox"));
        QCOMPARE(w.action("display")->text(), QString("Start Display"));
        QCOMPARE(w.action("startNews")->text(), QString("Start/Stop News"));
        QCOMPARE(w.action("servStartNo")->text(), QString("Service Start No."));
        QVERIFY(w.action("printTicket")->isEnabled());
        QVERIFY(w.action("call")->isEnabled());
        for (const char* item : {"deptLst", "Servlst", "Counter", "compdet", "userLst"})
            QVERIFY2(w.action(item)->isEnabled(), item);
        QVERIFY(w.action("sendto")->isEnabled());
        QVERIFY(w.findChild<QToolButton*>("Command3")->isEnabled());
        QVERIFY(w.findChild<QToolButton*>("Command4")->isEnabled());
        QVERIFY(w.findChild<QToolButton*>("Command2")->isEnabled());
    }

    void reportsAndDataCareOpenAtTheTopLeft() {
        MainWindow w(st());
        w.show();
        const QList<QPair<const char*, const char*>> items{
            {"deptBased", "frmReport"},      {"servBase", "frmRptServ"},
            {"cntBased", "frmRptCounter"},   {"pendRep", "frmPending"},
            {"statistics", "frmStatistics"}, {"clrTickData", "frmClearData"},
            {"ClrCall", "frmcallDelete"},    {"bkup", "frmBackup"}};
        for (const auto& [action, window] : items) {
            w.action(action)->trigger();
            QMdiSubWindow* sub = w.area()->subWindowList().last();
            QCOMPARE(sub->widget()->objectName(), QString(window));
            QCOMPARE(sub->pos(), QPoint(0, 0));
        }
        QCOMPARE(w.area()->subWindowList().size(), items.size());
        // the report opened last is what "Send to Excel" exports
        QCOMPARE(st().exportSource.data()->objectName(), QString("frmClearData"));
    }

    void masterDataWindowsOpenOnceAtTheTopLeft() {
        MainWindow w(st());
        w.show();
        const QStringList items{"deptLst", "Servlst", "Counter", "compdet", "userLst"};
        for (const QString& item : items)
            w.action(item)->trigger();
        QStringList names;
        for (QMdiSubWindow* s : w.area()->subWindowList()) {
            QCOMPARE(s->pos(), QPoint(0, 0));
            names << s->widget()->objectName();
        }
        QCOMPARE(names, QStringList(
                            {"frmDeptLst", "frmServLst", "frmCntLst", "frmCompany", "frmUserLst"}));
        w.action("deptLst")->trigger(); // again: the one it has comes to the front
        QCOMPARE(w.area()->subWindowList().size(), 5);
        QCOMPARE(w.area()->activeSubWindow()->widget()->objectName(), QString("frmDeptLst"));
        // its Close takes the whole child away; opening it again makes a new one
        w.findChild<QWidget*>("frmDeptLst")->findChild<QPushButton*>("Command1")->click();
        QTRY_COMPARE(w.area()->subWindowList().size(), 4);
        w.action("deptLst")->trigger();
        QCOMPARE(w.area()->subWindowList().size(), 5);
    }

    void supervisorScreenHidesAndComesBackAsItWas() {
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (7, "
             "1, 'Room 7', 'R7', 1)");
        st().login = LoginState();
        st().login.isAdmin = true;
        MainWindow w(st());
        w.show();
        w.findChild<QToolButton*>("Command4")->click();
        auto* screen = w.findChild<QWidget*>("frmCallAdmin");
        QVERIFY(screen);
        QCOMPARE(screen->parentWidget()->pos(), QPoint(0, 0));
        screen->findChild<QComboBox*>("cmbCounter")->setEditText("Room 7");
        QVERIFY(!screen->parentWidget()->close()); // the frame's close box is refused
        QVERIFY(screen->isVisible());
        screen->findChild<QPushButton*>("Command7")->click();
        QVERIFY(!screen->parentWidget()->isVisible());
        w.findChild<QToolButton*>("Command4")->click();
        QCOMPARE(w.findChild<QWidget*>("frmCallAdmin"), screen);
        QVERIFY(screen->isVisible());
        QCOMPARE(screen->findChild<QComboBox*>("cmbCounter")->currentText(), QString("Room 7"));
        QCOMPARE(st().login.counterId, qint16(7));
    }

    void transferAppOpensTheTransferOnlyCallScreen() {
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (7, "
             "1, 'Room 7', 'R7', 1)");
        st().settings().set(keys::TicketTransfer, "Room 7");
        st().login = LoginState();
        st().login.isAdmin = true;
        MainWindow w(st());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.findChild<QToolButton*>("Command3")->click();
        // it becomes the console's active child, takes the default and goes
        const auto callScreen = [] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == "frmCall") return qobject_cast<CallScreen*>(top);
            return static_cast<CallScreen*>(nullptr);
        };
        QTRY_VERIFY(callScreen());
        CallScreen* call = callScreen();
        QVERIFY(call->isVisible());
        QCOMPARE(call->tabs()->currentIndex(), 3);
        QVERIFY(!call->tabs()->isTabEnabled(0));
        QCOMPARE(st().login.counterId, qint16(7));
        QTRY_VERIFY(!w.findChild<QWidget*>("frmSelService"));
        QVERIFY(Dialogs::shownTexts().isEmpty());
        st().settings().set(keys::TicketTransfer, QString());
    }

    void startDisplayWithoutThemeSaysSo() {
        MainWindow w(st());
        w.startStopDisplay();
        QCOMPARE(Dialogs::shownTexts(),
                 QStringList({"Please select a theme\r\nGo to Module Setting-> Select Theme"}));
        QVERIFY(!w.displayRunning());
        QVERIFY(!w.displayBoard());
    }

    void startAndStopDisplay() {
        exec("insert into tbltheme (themeauto, themename, colums, rows) values (4, 'HR1', 2, 5)");
        st().settings().setCounterList(4, "3,7");
        st().themeNo = 4;
        MainWindow w(st());
        w.startStopDisplay();
        QVERIFY(w.displayRunning());
        QCOMPARE(w.action("display")->text(), QString("Stop Display"));
        QCOMPARE(st().callFilter, QString("and(servAuto=3 or servAuto=7)"));
        QVERIFY(w.displayBoard() && w.displayBoard()->isVisible());
        w.startStopDisplay();
        QCOMPARE(w.action("display")->text(), QString("Start Display"));
    }

    void exitRules() {
        exec("insert into tbltheme (themeauto, themename, colums, rows) values (4, 'HR1', 2, 5)");
        st().themeNo = 4;
        MainWindow w(st());
        QSignalSpy end(&w, &MainWindow::programEndRequested);
        w.startStopDisplay();
        Dialogs::setNextAnswer(QMessageBox::Yes);
        w.exitProgram(); // the board runs: Yes does nothing
        QCOMPARE(Dialogs::shownTexts().value(0), QString("Do you want to exit "));
        QCOMPARE(end.count(), 0);
        w.startStopDisplay();
        Dialogs::setNextAnswer(QMessageBox::No);
        w.exitProgram();
        QCOMPARE(end.count(), 0);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        w.exitProgram();
        QCOMPARE(end.count(), 1);
    }

    void newsSwitchTogglesAndIsStored() {
        MainWindow w(st());
        QVERIFY(!w.enableScroll()->isChecked());
        w.action("startNews")->trigger();
        QVERIFY(w.enableScroll()->isChecked());
        QCOMPARE(st().settings().text(keys::ThemeScroll), QString("1"));
        w.action("startNews")->trigger();
        QVERIFY(!w.enableScroll()->isChecked());
        QCOMPARE(st().settings().text(keys::ThemeScroll), QString("0"));
    }

    void startUpWork() {
        exec(
            "insert into tbltheme (themeauto, themename, colums, rows) values (9, 'Hall B', 2, 5)");
        st().settings().set(keys::ThemeName, "hall b");
        st().settings().set(keys::ThemeScroll, 1);
        st().settings().set(keys::DisplayAuto, 1);
        MainWindow w(st());
        w.startUp();
        QCOMPARE(st().themeNo, qint16(9));
        QVERIFY(w.enableScroll()->isChecked());
        QVERIFY(w.displayRunning());
        QVERIFY(w.displayBoard()->isVisible());
        QVERIFY(w.isMinimized());
    }

    void childWindowsOpenAtTheTopLeft() {
        MainWindow w(st());
        w.show();
        w.openStartNumbers();
        w.openTicketScreen(false);
        const auto subs = w.area()->subWindowList();
        QCOMPARE(subs.size(), 2);
        for (QMdiSubWindow* s : subs)
            QCOMPARE(s->pos(), QPoint(0, 0));
        QCOMPARE(subs.at(1)->widget()->objectName(), QString("frmTicket"));
    }

    void demoHallLogsItsStationsIn() {
        const QStringList said = fillDemoHall(st());
        QVERIFY(said.join('\n').contains("password admin-demo"));
        QCOMPARE(RecordSet(st().dbConnection, "select * from tblCounter").recordCount(), 6);
        QCOMPARE(RecordSet(st().dbConnection, "select * from tblService").recordCount(), 4);
        QCOMPARE(RecordSet(st().dbConnection, "select * from tbltheme where themename='HR1'")
                     .recordCount(),
                 1);
        RecordSet pass(st().dbConnection, "select pass from tblCounter where contName='Room 1'");
        QVERIFY(pass.text(0).startsWith("$argon2id$")); // no plain password stored
        // one desktop, one owner of F4 to F7: the second counter leaves them alone
        const auto shortcuts = [](const char* profile) {
            return StationSettings(paths::settingsFile(profile)).number(keys::ShortcutEnable);
        };
        QCOMPARE(shortcuts("counter1"), 1);
        QCOMPARE(shortcuts("counter2"), 0);
        LoginOps ops(st());
        LoginRequest good;
        good.userName = "admin";
        good.password = "admin-demo";
        QVERIFY(ops.login(good).ok);
        LoginRequest bad = good;
        bad.password = "admin";
        QVERIFY(!ops.login(bad).ok);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql) { st().dbConnection->execute(sql); }
    DbEngine m_engine;
    QTemporaryDir m_home;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
