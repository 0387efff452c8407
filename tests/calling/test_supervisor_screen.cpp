// The supervisor's call screen (any counter, chosen by name, station-wide)
// and the counter selection that opens the transfer-only call screen.
#include "calling/call_screen.h"
#include "calling/counter_choice.h"
#include "calling/counter_selection_window.h"
#include "calling/hotkeys.h"
#include "calling/supervisor_call_screen.h"
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
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace tv;
using namespace tv::test;

class SupervisorScreenTest : public QObject {
    Q_OBJECT

public:
    explicit SupervisorScreenTest(DbEngine e) : m_engine(e) {}

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
        st().settings().set(keys::TicketTransfer, QString());
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
        exec("insert into tblDept (deptAuto, deptName, active) values (1, 'Lab', 1)");
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, active) "
             "values (1, 1, 'Blood', 'A', 1, 99, 1)");
        exec("insert into tblService (servAuto, deptAuto, servName, abrno, startno, endno, active) "
             "values (2, 1, 'X-Ray', 'X', 1, 99, 1)");
        counter(3, 1, "Room 3", "R3", 1);
        counter(4, 2, "Room 4", "R4", 1);
        counter(5, 2, "Store", "S", 0);
        for (int n = 1; n <= 2; ++n) {
            ticket(1, n, QString("A%1").arg(n));
            ticket(2, n, QString("X%1").arg(n));
        }
        // an administrator at the console, no counter chosen yet
        st().login = LoginState();
        st().login.isAdmin = true;
        st().login.adminUserId = 1;
    }

    void whatDiffersFromTheOperatorsScreen() {
        SupervisorCallScreen s(st());
        QCOMPARE(s.objectName(), QString("frmCallAdmin"));
        QCOMPARE(button(s, "Command3")->text(), QString("Call This F6"));
        QCOMPARE(button(s, "Command7")->text(), QString("Close"));
        QCOMPARE(s.findChild<QCheckBox*>("chkboth")->text(), QString("Show Counter && Display"));
        QCOMPARE(label(s, "Label3"), QString("Dr. Name/ Room"));
        QVERIFY(!s.tabs()->isTabEnabled(3));
        QVERIFY(!s.findChild<QMenuBar*>());
        QVERIFY(!s.findChild<QLabel*>("lblTransfered"));
        auto* chooser = s.findChild<QComboBox*>("cmbCounter");
        QCOMPARE(chooser->count(), 3); // every counter, active or not
        QCOMPARE(chooser->currentText(), QString());
        QVERIFY(!s.callKeys()); // an administrator takes no keys
        // nothing chosen: the screen works for whatever the station holds
        QCOMPARE(st().login.counterId, qint16(0));
        s.Command2_Click();
        QCOMPARE(label(s, "Label1"), QString("Idle"));
        QCOMPARE(count("select * from tblCall"), 0);
    }

    void choosingACounterIsStationWide() {
        CallScreen operatorScreen(st());
        SupervisorCallScreen s(st());
        chooser(s)->setEditText("Room 4");
        QCOMPARE(st().login.counterId, qint16(4));
        QCOMPARE(st().login.serviceId, qint16(2));
        QCOMPARE(st().login.counterName, QString("Room 4"));
        QCOMPARE(st().login.counterDisplayName, QString("R4"));
        QCOMPARE(label(s, "lblDr"), QString("R4"));
        QCOMPARE(label(s, "lblTotal"), QString("Total Pending : 2"));
        QCOMPARE(s.windowTitle(), QString()); // the caption is not changed
        // the operator's screen beside it now calls for Room 4
        operatorScreen.Command2_Click();
        QCOMPARE(c1("select attended from tblTicket where no_abr='X1'"), QString("4"));
        QCOMPARE(c1("select callCounter from tblCall"), QString("R4"));
        // and the supervisor calls for Room 4 too
        s.Command2_Click();
        QCOMPARE(label(s, "lblToken"), QString("X2"));
    }

    void aNameThatIsNoCounterSwitchesTheCallsOff() {
        SupervisorCallScreen s(st());
        auto* box = chooser(s);
        box->setEditText("Room 3");
        QVERIFY(button(s, "Command2")->isEnabled());
        for (const char* typed : {"R", "Ro", "Room", "Room ", "' or '1'='1"}) {
            box->setEditText(typed);
            for (const char* b : {"Command1", "Command2", "Command3"})
                QVERIFY2(!button(s, b)->isEnabled(), typed);
        }
        QCOMPARE(st().login.counterId, qint16(3)); // the last counter stays
        // the 5-second lock gives nothing back while no counter is named
        QMetaObject::invokeMethod(s.timer1(), "timeout");
        QVERIFY(!button(s, "Command2")->isEnabled());
        box->setEditText("Room 4");
        for (const char* b : {"Command1", "Command2", "Command3"})
            QVERIFY(button(s, b)->isEnabled());
        // a choice from the list works the same way
        box->setCurrentIndex(box->findText("Room 3"));
        QCOMPARE(st().login.counterId, qint16(3));
    }

    void callThisCancelsTheCurrentTicket() {
        SupervisorCallScreen s(st());
        chooser(s)->setEditText("Room 3");
        s.Command2_Click();
        QCOMPARE(label(s, "lblToken"), QString("A1"));
        button(s, "Command3")->click();
        QCOMPARE(c1("select status from tblTicket where no_abr='A1'"), QString("Cancelled"));
        QCOMPARE(label(s, "lblToken"), QString("A1")); // still current
    }

    void aCounterWithoutACallTodayShowsNoToken() {
        SupervisorCallScreen s(st());
        chooser(s)->setEditText("Room 3");
        s.Command2_Click();
        QCOMPARE(label(s, "lblToken"), QString("A1"));
        chooser(s)->setEditText("Room 4");
        QCOMPARE(label(s, "lblToken"), QString());
        QCOMPARE(label(s, "lblLast"), QString("Last Served : Not Available"));
        // the ticket stays current: the next Next finishes it
        s.Command2_Click();
        QVERIFY(!c1("select finished from tblTicket where no_abr='A1'").isEmpty());
        QCOMPARE(label(s, "lblToken"), QString("X1"));
        // back at Room 3, its last called ticket is current again
        chooser(s)->setEditText("Room 3");
        QCOMPARE(label(s, "lblToken"), QString("A1"));
    }

    void listsRecallAsOrdinaryCallsAndPendingDoesNothing() {
        SupervisorCallScreen s(st());
        chooser(s)->setEditText("Room 3");
        s.Command2_Click();
        s.tabs()->setCurrentIndex(1);
        s.listDoubleClicked(s.list(1), 1);
        QCOMPARE(count("select * from tblCall where callRoom='Lab Report'"), 0);
        QCOMPARE(count("select * from tblCall"), 2);
        s.tabs()->setCurrentIndex(5);
        QCOMPARE(s.list(5)->rows(), 2);
        s.listDoubleClicked(s.list(5), 1);
        QCOMPARE(count("select * from tblCall"), 2);
    }

    void closeHidesAndKeepsTheCounter() {
        SupervisorCallScreen s(st());
        s.show();
        chooser(s)->setEditText("Room 4");
        s.close(); // the close box is refused
        QVERIFY(s.isVisible());
        s.Command7_Click();
        QVERIFY(Dialogs::shownTexts().isEmpty());
        QVERIFY(s.isHidden());
        s.show();
        QCOMPARE(chooser(s)->currentText(), QString("Room 4"));
        QCOMPARE(st().login.counterId, qint16(4));
    }

    void anOperatorIsAskedBeforeItHides() {
        st().login.isAdmin = false;
        CallScreen operatorScreen(st());
        SupervisorCallScreen s(st());
        s.setOperatorScreen([&] { return &operatorScreen; });
        QVERIFY(s.callKeys());
        s.show();
        chooser(s)->setEditText("Room 3");
        // the keys run the operator's screen
        emit s.callKeys()->pressed(CallKeys::Next);
        QCOMPARE(operatorScreen.ops().lblToken(), QString("A1"));
        Dialogs::setNextAnswer(QMessageBox::No);
        s.Command7_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Do you want to Close"));
        QVERIFY(s.isVisible());
        Dialogs::setNextAnswer(QMessageBox::Yes);
        s.Command7_Click();
        QVERIFY(s.isHidden());
        QVERIFY(!s.callKeys()->taken(CallKeys::Next)); // given back
    }

    void aValidDefaultOpensTheTransferOnlyScreenAtOnce() {
        st().settings().set(keys::TicketTransfer, "Room 4");
        CallScreen* opened = nullptr;
        CallScreen screen(st());
        CounterSelectionWindow w(st(), [&] {
            opened = &screen;
            return &screen;
        });
        w.show();
        QCOMPARE(w.findChild<QComboBox*>("cmbCounter")->count(), 2); // active counters
        w.Form_Activate();
        QCOMPARE(opened, &screen);
        QVERIFY(!w.isVisible());
        QVERIFY(Dialogs::shownTexts().isEmpty());
        QCOMPARE(st().login.counterId, qint16(4));
        QCOMPARE(st().login.serviceId, qint16(2));
        QVERIFY(st().login.isAdmin); // unchanged
        for (int tab : {0, 1, 2, 4, 5, 6})
            QVERIFY(!screen.tabs()->isTabEnabled(tab));
        QVERIFY(screen.tabs()->isTabEnabled(3));
        QCOMPARE(screen.tabs()->currentIndex(), 3);
        QCOMPARE(screen.tabs()->tabText(2),
                 QString("Cancelled")); // no other list filled on the way
        QCOMPARE(screen.findChild<QComboBox*>("cmbToken")->count(), 2); // X1, X2 of Room 4
    }

    void anEmptyOrStaleDefaultIsSaid() {
        int opened = 0;
        const auto open = [&]() -> CallScreen* {
            ++opened;
            return nullptr;
        };
        {
            CounterSelectionWindow w(st(), open);
            w.show();
            w.Form_Activate();
            QCOMPARE(Dialogs::takeMessages().value(0).text,
                     QString("Please enter a valid Counter"));
            QVERIFY(w.isVisible());
        }
        st().settings().set(keys::TicketTransfer, "Room 9");
        // Not shown: an activation arriving late (a busy machine) would run its
        // own Ok in the middle of what follows.
        CounterSelectionWindow w(st(), open);
        w.Form_Activate();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Please enter a valid Counter"));
        QCOMPARE(opened, 0);
        QCOMPARE(st().login.counterId, qint16(0));
        // the user picks one: its service shows, Enter takes it
        QTest::qWait(0); // our message box's return has been let through
        auto* box = w.findChild<QComboBox*>("cmbCounter");
        box->setCurrentIndex(box->findText("Room 3"));
        w.cmbCounterClick();
        QCOMPARE(label(w, "lblService"), QString("Service Name  : Blood"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(opened, 1);
        QCOMPARE(st().login.counterId, qint16(3));
    }

    void anInactiveCounterNamedAsDefaultIsTaken() {
        QCOMPARE(CounterChoice(st()).adoptForTransfer("store"), QString()); // case-free, inactive
        QCOMPARE(st().login.counterId, qint16(5));
        counter(40000, 1, "Annex", "AX", 1);
        const QString said = CounterChoice(st()).adoptForTransfer("Annex");
        QVERIFY2(said.contains("40000"), qPrintable(said));
        QCOMPARE(st().login.counterId, qint16(5));
        QVERIFY(!CounterChoice(st()).getDetails("Annex").found);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    void counter(int key, int service, const QString& name, const QString& display, int active) {
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (?, "
             "?, ?, ?, ?)",
             {key, service, name, display, active});
    }
    void ticket(int service, int no, const QString& token) {
        exec("insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, attended) "
             "values (?, ?, ?, '08:30:00', 0, ?, 0)",
             {service, no, st().clock().todayText(), token});
    }
    QString c1(const QString& sql) {
        RecordSet rs(st().dbConnection, sql);
        return rs.recordCount() == 0 ? QString() : rs.textOrEmpty(0);
    }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }
    static QComboBox* chooser(QWidget& w) { return w.findChild<QComboBox*>("cmbCounter"); }
    static QString label(QWidget& w, const char* name) {
        return w.findChild<QLabel*>(name)->text();
    }
    static QPushButton* button(QWidget& w, const char* name) {
        return w.findChild<QPushButton*>(name);
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(SupervisorScreenTest)
#include "test_supervisor_screen.moc"
