// The counter's call screen: tabs, buttons and their lock, lists and their
// captions, transfer, settings and the close rules.
#include "calling/call_screen.h"
#include "calling/hotkeys.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "test_station.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

using namespace tv;
using namespace tv::test;

class CallScreenTest : public QObject {
    Q_OBJECT

public:
    explicit CallScreenTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        Dialogs::clearMessages();
        Dialogs::clearAnswers();
        st().settings().set(keys::ShowBoth, 0);
        st().settings().set(keys::ShortcutEnable, 1);
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, active) "
             "values (1, 1, 'Lab', 'A', 1, 99, 1)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (3, "
             "1, 'Room 3', 'R3', 1)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (4, "
             "1, 'Room 4', 'R4', 1)");
        for (int n = 1; n <= 3; ++n)
            exec("insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, "
                 "attended) values (1, ?, ?, '08:30:00', 0, ?, 0)",
                 {n, st().clock().todayText(), QString("A%1").arg(n)});
        st().login = LoginState();
        st().login.counterId = 3;
        st().login.serviceId = 1;
    }

    void layoutAndLoad() {
        CallScreen screen(st());
        QCOMPARE(screen.objectName(), QString("frmCall"));
        QCOMPARE(screen.windowTitle(), QString("Room 3"));
        QStringList captions;
        for (int i = 0; i < screen.tabs()->count(); ++i)
            captions << screen.tabs()->tabText(i);
        QCOMPARE(captions, QStringList({"Call Window", "Attended", "Cancelled", "Transfer",
                                        "Transfered", "Pending", "Settings"}));
        QCOMPARE(screen.tabs()->currentIndex(), 0);
        QCOMPARE(label(screen, "Label1"), QString("Idle"));
        QCOMPARE(label(screen, "lblTotal"), QString("Total Pending : 3"));
        QCOMPARE(label(screen, "lblLast"), QString("Last Served : Not Available"));
        QCOMPARE(button(screen, "Command2")->text(), QString("Next   F4"));
        QCOMPARE(button(screen, "Command1")->text(), QString("Recall   F5"));
        QCOMPARE(button(screen, "Command3")->text(), QString("Cancell F6"));
        QCOMPARE(button(screen, "Command6")->text(), QString("Refresh F7"));
        QVERIFY(!screen.timer1()->isActive());
        QCOMPARE(screen.timer1()->interval(), 5000);
        QVERIFY(screen.timer2()->isActive());
        QVERIFY(screen.callKeys()); // an operator takes the call keys
        QCOMPARE(screen.findChild<QComboBox*>("cmbService")->count(), 2);
    }

    void nextLocksTheButtonsUntilTheTimerTicks() {
        CallScreen screen(st());
        button(screen, "Command2")->click();
        QCOMPARE(label(screen, "lblToken"), QString("A1"));
        QCOMPARE(label(screen, "Label1"), QString("Calling"));
        QVERIFY(!button(screen, "Command2")->isEnabled());
        QVERIFY(!button(screen, "Command1")->isEnabled());
        QVERIFY(screen.timer1()->isActive());
        // the key path runs the handler even while the button is locked
        screen.Command2_Click();
        QCOMPARE(label(screen, "lblToken"), QString("A2"));
        QMetaObject::invokeMethod(screen.timer1(), "timeout");
        QVERIFY(button(screen, "Command2")->isEnabled());
        QVERIFY(button(screen, "Command1")->isEnabled());
    }

    void refreshFillsTheCaptions() {
        CallScreen screen(st());
        QCOMPARE(screen.tabs()->tabText(2),
                 QString("Cancelled")); // design texts until the first refresh
        screen.Command2_Click();
        screen.Command3_Click(); // cancel A1
        button(screen, "Command6")->click();
        QCOMPARE(screen.tabs()->tabText(2), QString("Cancelled 1"));
        QCOMPARE(screen.tabs()->tabText(4), QString("Transfred 0"));
        QCOMPARE(label(screen, "lblTransfered"), QString("Transfred 0"));
        QCOMPARE(screen.tabs()->tabText(5), QString("Pending : 2"));
        QCOMPARE(screen.list(5)->rows(), 3);
        QCOMPARE(screen.list(5)->textMatrix(0, 3), QString("T.Time"));
        QCOMPARE(screen.list(5)->textMatrix(1, 2), QString("A3"));
        QCOMPARE(screen.list(5)->textMatrix(1, 4), QString("30"));
        QCOMPARE(screen.list(2)->textMatrix(1, 2), QString("A1"));
    }

    void theRefreshComesEverySixtyOneTicks() {
        CallScreen screen(st());
        for (int i = 0; i < 60; ++i)
            QMetaObject::invokeMethod(screen.timer2(), "timeout");
        QCOMPARE(screen.tabs()->tabText(5), QString("Pending"));
        QMetaObject::invokeMethod(screen.timer2(), "timeout");
        QCOMPARE(screen.tabs()->tabText(5), QString("Pending : 3"));
    }

    void doubleClicksCallAgain() {
        CallScreen screen(st());
        screen.Command2_Click();
        screen.tabs()->setCurrentIndex(1); // reloads Attended
        QCOMPARE(screen.list(1)->rows(), 2);
        screen.listDoubleClicked(screen.list(1), 0); // the heading: nothing
        QCOMPARE(count("select * from tblCall"), 1);
        screen.listDoubleClicked(screen.list(1), 1);
        QCOMPARE(count("select * from tblCall where callRoom='Lab Report'"), 1);
        screen.tabs()->setCurrentIndex(5);
        screen.listDoubleClicked(screen.list(5), 1); // A3 from Pending
        QCOMPARE(label(screen, "lblToken"), QString("A3"));
        QCOMPARE(count("select * from tblCall"), 3);
    }

    void transferFromTheScreen() {
        CallScreen screen(st());
        screen.Command2_Click();
        screen.tabs()->setCurrentIndex(3);
        auto* tokens = screen.findChild<QComboBox*>("cmbToken");
        QCOMPARE(tokens->count(), 3);
        QCOMPARE(tokens->currentText(), QString("A1")); // the current token is preselected
        tokens->setEditText("");
        screen.Command5_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Select a token first"));
        tokens->setCurrentIndex(1);
        screen.findChild<QComboBox*>("cmbService")->setCurrentText("Room 4");
        screen.findChild<QLineEdit*>("txtRef")->setText("x-ray first");
        screen.Command5_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Updated"));
        QCOMPARE(c1("select status from tblticket where no_abr='A2'"), QString("Transferred"));
        QCOMPARE(label(screen, "lblNo"), QString()); // the current ticket is dropped
    }

    void theCurrentTicketTransfersWhereverItStandsInTheList() {
        CallScreen screen(st());
        screen.Command2_Click();
        screen.Command2_Click(); // A2 current: the second entry of the list
        screen.tabs()->setCurrentIndex(3);
        auto* tokens = screen.findChild<QComboBox*>("cmbToken");
        QCOMPARE(tokens->currentText(), QString("A2"));
        screen.findChild<QComboBox*>("cmbService")->setCurrentText("Room 4");
        screen.Command5_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Updated"));
        QCOMPARE(c1("select status from tblticket where no_abr='A2'"), QString("Transferred"));
        // a token typed exactly as listed counts as chosen; one that is not listed does nothing
        tokens->setEditText("A3");
        screen.Command5_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Updated"));
        QCOMPARE(c1("select attended from tblticket where no_abr='A3'"), QString("4"));
        tokens->setEditText("A9");
        screen.Command5_Click();
        QVERIFY(Dialogs::takeMessages().isEmpty());
    }

    void settingsAreStoredAtOnce() {
        CallScreen screen(st());
        screen.findChild<QCheckBox*>("chkboth")->click();
        QCOMPARE(st().settings().text(keys::ShowBoth), QString("1"));
        screen.Command2_Click();
        QCOMPARE(c1("select callRoom from tblCall"), QString("Room 3"));
        screen.findChild<QCheckBox*>("chkShort")->click();
        QCOMPARE(st().settings().text(keys::ShortcutEnable), QString("0"));
    }

    void operatorExitAsksAndEndsTheProgram() {
        CallScreen screen(st());
        QSignalSpy end(&screen, &CallScreen::programEndRequested);
        Dialogs::setNextAnswer(QMessageBox::No);
        screen.Command7_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Do you want to Close"));
        QCOMPARE(end.count(), 0);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        screen.Command7_Click();
        QCOMPARE(end.count(), 1);
        QVERIFY(!screen.callKeys()->taken(CallKeys::Next)); // given back
    }

    void operatorClosingTheWindowEndsTheProgram() {
        CallScreen screen(st());
        QSignalSpy end(&screen, &CallScreen::programEndRequested);
        screen.show();
        screen.close();
        QCOMPARE(end.count(), 1);
    }

    void administratorTakesNoKeysAndClosesFreely() {
        st().login.isAdmin = true;
        CallScreen screen(st());
        QVERIFY(!screen.callKeys());
        QSignalSpy end(&screen, &CallScreen::programEndRequested);
        screen.show();
        screen.Command7_Click();
        QVERIFY(Dialogs::shownTexts().isEmpty());
        QVERIFY(!screen.isVisible());
        QCOMPARE(end.count(), 0);
    }

    void databaseFailureIsShownAndTheScreenStays() {
        CallScreen screen(st());
        exec("alter table tblCall rename to tblCall_away");
        screen.Command2_Click();
        exec("alter table tblCall_away rename to tblCall");
        QCOMPARE(Dialogs::takeMessages().size(), 1);
        QCOMPARE(label(screen, "Label1"), QString("Idle"));
        screen.Command2_Click(); // still usable, and the ticket was not lost
        QCOMPARE(label(screen, "Label1"), QString("Calling"));
        QCOMPARE(label(screen, "lblToken"), QString("A1"));
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    QString c1(const QString& sql) {
        RecordSet rs(st().dbConnection, sql);
        return rs.recordCount() == 0 ? QString() : rs.textOrEmpty(0);
    }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }
    static QString label(QWidget& w, const char* name) {
        return w.findChild<QLabel*>(name)->text();
    }
    static QPushButton* button(QWidget& w, const char* name) {
        return w.findChild<QPushButton*>(name);
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(CallScreenTest)
#include "test_call_screen.moc"
