// Which counters a theme's board shows: the chooser, the stored keys and the
// board's counter condition.
#include "core/connection.h"
#include "core/counter_filter.h"
#include "core/ui/counter_select_window.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

class CounterFilterTest : public QObject {
    Q_OBJECT

public:
    explicit CounterFilterTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() {
        m_db = std::make_unique<TestStation>(m_engine);
        Dialogs::setTestMode(true);
    }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        exec("insert into tblDept (deptAuto, deptName, active) values (1, 'Lab', 1)");
        exec("insert into tblService (servAuto, deptAuto, servName, active) values (1, 1, 'Blood', "
             "1)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (3, "
             "1, 'Room 3', 'R3', 1)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values (7, "
             "1, 'Room 7', 'R7', 0)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, displayName, active) values "
             "(12, 1, 'Desk 12', 'D12', 1)");
        exec("insert into tbltheme (themeauto, themename) values (5, 'HR1')");
        st().settings().setCounterList(5, "");
    }

    void theConditionText() {
        QCOMPARE(counter_filter::build(""), QString("and 1=1"));
        QCOMPARE(counter_filter::build("3,7"), QString("and(servAuto=3 or servAuto=7)"));
        QCOMPARE(counter_filter::build("12"), QString("and(servAuto=12)"));
    }

    void loginTakesTheThemeFromTheSettings() {
        st().themeNo = 0;
        st().settings().set(keys::ThemeName, "hr1");
        st().settings().setCounterList(5, "3,7");
        counter_filter::getList1Login(st());
        QCOMPARE(st().themeNo, qint16(5));
        QCOMPARE(st().callFilter, QString("and(servAuto=3 or servAuto=7)"));
        st().settings().set(keys::ThemeName, "No Such Theme");
        counter_filter::getList1Login(st());
        QCOMPARE(st().themeNo, qint16(0));
        QCOMPARE(st().callFilter, QString("and 1=1"));
    }

    void chooserShowsEveryCounterAndTheStoredChoice() {
        st().settings().setCounterList(5, "7,99");
        CounterSelectWindow w(st(), 5);
        QCOMPARE(w.windowTitle(), QString(" Select Counter to Display"));
        QCOMPARE(w.grid()->rows(), 4);
        QCOMPARE(w.grid()->textMatrix(1, 4), QString("Desk 12")); // by counter name
        QCOMPARE(w.grid()->textMatrix(0, 2), QString("Department"));
        QCOMPARE(w.grid()->colWidth(2), 2000);
        QVERIFY(!w.isChosen(1));
        QVERIFY(w.isChosen(3)); // Room 7, inactive but listed
        QCOMPARE(w.grid()->cellBackColor(3, 1), 65280u);
    }

    void choosingAndSaving() {
        CounterSelectWindow w(st(), 5);
        w.toggle(0); // the heading is not a counter
        w.toggle(2); // Room 3
        w.toggle(1); // Desk 12
        w.save();
        QCOMPARE(st().settings().counterList(5), QString("12,3"));
        CounterSelectWindow again(st(), 5);
        again.toggle(1);
        again.save();
        QCOMPARE(st().settings().counterList(5), QString("3"));
        CounterSelectWindow all(st(), 5);
        all.selectAll();
        all.save();
        QCOMPARE(st().settings().counterList(5), QString("12,3,7"));
        CounterSelectWindow none(st(), 5);
        none.removeAll();
        none.save();
        QCOMPARE(st().settings().counterList(5), QString()); // all counters again
        st().themeNo = 5;
        counter_filter::getList1Main(st());
        QCOMPARE(st().callFilter, QString("and 1=1"));
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql) { st().dbConnection->execute(sql); }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(CounterFilterTest)
#include "test_counter_filter.moc"
