// The master-data windows walked through as an administrator does: add,
// edit, delete and a refused delete in each, through the dialogs helper.
#include "admin/company_window.h"
#include "admin/counter_screens.h"
#include "admin/department_screens.h"
#include "admin/service_screens.h"
#include "admin/user_list_window.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"
#include "test_station.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

using namespace tv;
using namespace tv::test;

class AdminWindowsTest : public QObject {
    Q_OBJECT

public:
    explicit AdminWindowsTest(DbEngine e) : m_engine(e) {}

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
        exec("insert into tblDept (deptName, deptDesc, active) values ('Lab', '', 1)");
        m_lab = c1("select deptAuto from tblDept");
    }

    void departmentList() {
        DeptListWindow list(st());
        QCOMPARE(list.windowTitle(), QString("Deparment Lst"));
        QCOMPARE(heads(list.grid()), QStringList({"", "SN", "Deparment", "Active", ""}));
        QCOMPARE(list.grid()->colWidth(0), 1);
        QCOMPARE(list.grid()->colWidth(2), 2500);
        QCOMPARE(list.grid()->rows(), 2);

        list.Command3_Click(); // Add
        auto* edit = list.findChild<MasterEditWindow*>("frmDept");
        QVERIFY(edit && edit->isVisible());
        QCOMPARE(edit->ref(), QString());
        edit->findChild<QPushButton*>("Command2")->click();
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Department name should not be blank"));
        QVERIFY(edit->isVisible()); // what was typed is still there
        text(edit, "txtDept", "Pharmacy");
        edit->findChild<QCheckBox*>("chkActive")->setChecked(true);
        list.Command3_Click(); // open already: the same window, as it was
        QCOMPARE(list.findChildren<MasterEditWindow*>().size(), 1);
        QCOMPARE(edit->findChild<QLineEdit*>("txtDept")->text(), QString("Pharmacy"));
        QVERIFY(edit->Command2_Click());
        QCOMPARE(list.grid()->rows(), 3);
        QCOMPARE(list.grid()->textMatrix(2, 2), QString("Pharmacy"));
        QCOMPARE(list.grid()->textMatrix(2, 3), QString("1"));

        list.editRow(0); // the heading opens nothing
        QVERIFY(!list.editWindow());
        list.editRow(2);
        edit = list.editWindow();
        QCOMPARE(edit->ref(), list.grid()->textMatrix(2, 0));
        QCOMPARE(edit->findChild<QLineEdit*>("txtDept")->text(), QString("Pharmacy"));
        text(edit, "txtDesc", "ground floor");
        QVERIFY(edit->Command2_Click());
        QCOMPARE(c1("select deptDesc from tblDept where deptName='Pharmacy'"),
                 QString("ground floor"));

        list.grid()->setRow(0);
        list.Command2_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Please select an entry"));
        exec("insert into tblService (deptAuto, servName, active) values (" + m_lab +
             ", 'Blood', 0)");
        list.grid()->setRow(1);
        list.Command2_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Cannot delete "));
        list.grid()->setRow(2);
        list.Command2_Click();
        QVERIFY(Dialogs::shownTexts().isEmpty()); // no question, no message
        QCOMPARE(list.grid()->rows(), 2);
        QCOMPARE(count("select * from tblDept"), 1);
    }

    void departmentListFollowsItsSize() {
        DeptListWindow list(st());
        list.resize(600, 400);
        list.show();
        QCOMPARE(list.grid()->width(), 600 - twips::toPixelsX(50));
        QCOMPARE(list.grid()->height(), 400 - twips::toPixelsY(750));
        const QRect kept = list.grid()->geometry();
        list.resize(2, 2); // too small for the rule: the grid stays as it was
        QCOMPARE(list.grid()->geometry(), kept);
    }

    void aFailedSaveKeepsTheWindowAndWhatWasTyped() {
        DeptListWindow list(st());
        list.Command3_Click();
        MasterEditWindow* edit = list.editWindow();
        text(edit, "txtDept", "Radiology");
        exec("alter table tblDept rename to tblDept_away");
        QVERIFY(!edit->Command2_Click());
        exec("alter table tblDept_away rename to tblDept");
        QCOMPARE(Dialogs::takeMessages().size(), 1);
        QVERIFY(edit->isVisible());
        QVERIFY(edit->Command2_Click());
        QCOMPARE(count("select * from tblDept where deptName='Radiology'"), 1);
    }

    void serviceList() {
        exec("insert into tblDept (deptName, active) values ('Closed', 0)");
        ServiceListWindow list(st());
        QCOMPARE(list.windowTitle(), QString("Service List"));
        QCOMPARE(heads(list.grid()), QStringList({"", "SN", "Department", "Service Name", "Start",
                                                  "End", "Prefix", "Active", ""}));
        list.Command3_Click();
        auto* edit = list.editWindow();
        QCOMPARE(edit->objectName(), QString("frmService"));
        QCOMPARE(edit->windowTitle(), QString("Service Details"));
        // the window starts in its first box; the tab key goes down the form,
        // then to Save and Close
        QStringList order;
        QWidget* at = edit->nextInFocusChain();
        for (int i = 0; i < 9; ++i, at = at->nextInFocusChain()) {
            while (!(at->focusPolicy() & Qt::TabFocus) || at->objectName().isEmpty())
                at = at->nextInFocusChain();
            order << at->objectName();
        }
        QCOMPARE(order, QStringList({"cmbDept", "txtServ", "txtDesc", "txtNo", "txtEnd", "txtAbr",
                                     "chkActive", "Command2", "Command1"}));
        auto* dept = edit->findChild<QComboBox*>("cmbDept");
        QCOMPARE(dept->count(), 1); // the active departments
        QCOMPARE(edit->findChild<QLineEdit*>("txtNo")->text(), QString("0"));
        dept->setEditText("Lab");
        text(edit, "txtServ", "Blood");
        text(edit, "txtNo", "5");
        text(edit, "txtEnd", "5");
        auto* prefix = edit->findChild<QLineEdit*>("txtAbr");
        prefix->setText("B-");
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(prefix, &out); // leaving the box empties it
        QCOMPARE(prefix->text(), QString());
        prefix->setText("B");
        QVERIFY(!edit->Command2_Click());
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Please Check Starting and Ending Number"));
        text(edit, "txtEnd", "6");
        QVERIFY(edit->Command2_Click());
        QCOMPARE(list.grid()->rows(), 2);
        QCOMPARE(list.grid()->textMatrix(1, 2), QString("Lab"));
        QCOMPARE(list.grid()->textMatrix(1, 6), QString("B"));

        list.editRow(1);
        edit = list.editWindow();
        QCOMPARE(edit->findChild<QComboBox*>("cmbDept")->currentText(), QString("Lab"));
        QCOMPARE(edit->findChild<QLineEdit*>("txtEnd")->text(), QString("6"));
        edit->findChild<QLineEdit*>("txtAbr")->setText("A.B"); // saved without leaving the box
        QVERIFY(edit->Command2_Click());
        QCOMPARE(c1("select abrno from tblService"), QString());

        const QString key = list.grid()->textMatrix(1, 0);
        exec("insert into tblTicket (servAuto, tickNo, tickDate, call, no_abr, attended) values (" +
             key + ", 5, '2020-02-02', 0, 'B5', 0)");
        list.grid()->setRow(1);
        Dialogs::setNextAnswer(QMessageBox::No);
        list.Command2_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Do you want to delete "));
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.Command2_Click();
        QCOMPARE(Dialogs::shownTexts().value(1), QString("Cannot delete "));
        Dialogs::clearMessages();
        exec("delete from tblTicket");
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.Command2_Click();
        QCOMPARE(list.grid()->rows(), 1);
        QCOMPARE(count("select * from tblService"), 0);
    }

    void counterList() {
        exec("insert into tblService (deptAuto, servName, active) values (" + m_lab +
             ", 'Blood', 1)");
        CounterListWindow list(st());
        QCOMPARE(list.windowTitle(), QString("Counter List"));
        QCOMPARE(heads(list.grid()), QStringList({"", "SN", "Department", "Service Name",
                                                  "Counter Name", "Active", ""}));
        list.Command3_Click();
        auto* edit = list.editWindow();
        QCOMPARE(edit->windowTitle(), QString("Couter"));
        QCOMPARE(edit->findChild<QLineEdit*>("txtPass")->echoMode(), QLineEdit::Password);
        edit->findChild<QComboBox*>("cmbServ")->setEditText("Blood");
        text(edit, "txtName", "Room 2");
        text(edit, "txtUser", "lab2");
        text(edit, "txtPass", "pw");
        text(edit, "txtPass1", "pw2");
        QVERIFY(!edit->Command2_Click());
        QCOMPARE(Dialogs::takeMessages().value(0).text, QString("Passwords should be same "));
        text(edit, "txtPass1", "pw");
        QVERIFY(edit->Command2_Click());
        QCOMPARE(list.grid()->textMatrix(1, 4), QString("Room 2"));
        const QString stored = c1("select pass from tblCounter");

        list.editRow(1);
        edit = list.editWindow();
        QCOMPARE(edit->findChild<QLineEdit*>("txtUser")->text(), QString("lab2"));
        QCOMPARE(edit->findChild<QLineEdit*>("txtPass")->text(), QString());
        text(edit, "txtName", "Room 1");
        QVERIFY(edit->Command2_Click()); // untouched password boxes
        QCOMPARE(c1("select pass from tblCounter"), stored);
        QCOMPARE(list.grid()->textMatrix(1, 4), QString("Room 1"));

        const QString key = list.grid()->textMatrix(1, 0);
        exec(
            "insert into tblTicket (servAuto, tickNo, tickDate, call, no_abr, attended) values (1, "
            "1, '2020-02-02', 1, 'B1', " +
            key + ")");
        list.grid()->setRow(1);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.Command2_Click();
        QCOMPARE(Dialogs::shownTexts(), QStringList({"Do you want to delete ", "Cannot delete "}));
        exec("delete from tblTicket");
        Dialogs::setNextAnswer(QMessageBox::Yes);
        list.Command2_Click();
        QCOMPARE(list.grid()->rows(), 1);
    }

    void userList() {
        UserListWindow w(st());
        auto* names = w.findChild<QListWidget*>("lstUser");
        QCOMPARE(w.findChild<QComboBox*>("Combo1")->currentText(), QString("Admin"));
        QCOMPARE(names->count(), 0);
        text(&w, "Text1", "ann");
        text(&w, "Text2", "a");
        w.Command1_Click();
        QCOMPARE(names->count(), 1);
        QCOMPARE(names->item(0)->text(), QString("ANN"));
        QCOMPARE(w.findChild<QLineEdit*>("Text1")->text(), QString()); // cleared
        text(&w, "Text1", "Ann");
        w.Command1_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Existing User, select another Name"));
        w.Command3_Click(); // the only user: nothing is asked
        QVERIFY(Dialogs::shownTexts().isEmpty());
        text(&w, "Text1", "ben");
        w.Command1_Click();
        QCOMPARE(names->count(), 2);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        w.Command3_Click(); // nobody clicked yet: nothing removed
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Do you want to Remove the Selected User"));
        QCOMPARE(names->count(), 2);
        names->setCurrentRow(1);
        QCOMPARE(w.keptKey(), c1("select userAuto from tbluser where username='BEN'"));
        Dialogs::setNextAnswer(QMessageBox::No);
        w.Command3_Click();
        QCOMPARE(names->count(), 2);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        w.Command3_Click();
        QCOMPARE(names->count(), 1);
        QCOMPARE(names->item(0)->text(), QString("ANN"));
    }

    void companyDetails() {
        exec("update tblComp set compName='Old', compAddress='Street' where compAuto=1");
        CompanyWindow w(st());
        w.show();
        QCOMPARE(w.findChild<QLineEdit*>("txtName")->text(), QString("Old"));
        text(&w, "txtName", "");
        QVERIFY(!w.Command1_Click());
        QCOMPARE(Dialogs::takeMessages().value(0).text,
                 QString("Company Name should not be blank"));
        QVERIFY(w.isVisible());
        text(&w, "txtName", "City Clinic");
        text(&w, "txtAdd", "");
        QVERIFY(w.Command1_Click());
        QVERIFY(!w.isVisible());
        QCOMPARE(c1("select compName from tblComp where compAuto=1"), QString("City Clinic"));
        QCOMPARE(c1("select compAddress from tblComp where compAuto=1"), QString());
    }

    void listsFillAgainWhenTheyBecomeTheActiveChild() {
        QMdiArea area;
        area.resize(900, 600);
        auto* list = new DeptListWindow(st());
        QMdiSubWindow* first = area.addSubWindow(list);
        QMdiSubWindow* second = area.addSubWindow(new QLabel("other"));
        area.show();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        first->show();
        second->show();
        area.setActiveSubWindow(second);
        exec("insert into tblDept (deptName, active) values ('Added elsewhere', 1)");
        QCOMPARE(list->grid()->rows(), 2);
        area.setActiveSubWindow(first);
        QTRY_COMPARE(list->grid()->rows(), 3);
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql) { st().dbConnection->execute(sql); }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }
    QString c1(const QString& sql) {
        RecordSet rs(st().dbConnection, sql);
        return rs.recordCount() == 0 ? QString() : rs.textOrEmpty(0);
    }
    static void text(QWidget* w, const char* box, const QString& value) {
        w->findChild<QLineEdit*>(box)->setText(value);
    }
    static QStringList heads(FlexGrid* g) {
        QStringList out;
        for (int c = 0; c < g->cols(); ++c)
            out << g->textMatrix(0, c);
        return out;
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
    QString m_lab;
};

TALLYVOX_DB_TEST_MAIN(AdminWindowsTest)
#include "test_admin_windows.moc"
