// Counters, users and the company row: the checks of a counter's save in
// their order, its list order, its password kept or replaced, what a delete
// refuses, the user name rules on both engines, the last user, row 1 of the
// company.
#include "admin/company.h"
#include "admin/counters.h"
#include "admin/master_data.h"
#include "admin/users.h"
#include "core/connection.h"
#include "core/password_hash.h"
#include "core/recordset.h"
#include "junk.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

class CountersUsersTest : public QObject {
    Q_OBJECT

public:
    explicit CountersUsersTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        exec("insert into tblDept (deptAuto, deptName, active) values (1, 'Lab', 1)");
        exec("insert into tblService (servAuto, deptAuto, servName, active, startno, endno) values "
             "(1, 1, 'Blood', 1, 1, 99)");
        exec("insert into tblService (servAuto, deptAuto, servName, active, startno, endno) values "
             "(2, 1, 'Closed', 0, 1, 99)");
    }

    void counterChecksStopAtTheFirstFailureInOrder() {
        Counters k(st());
        Counters::Entry e;
        e.pass = "a";
        e.pass1 = "b";
        e.serviceName = "None";
        QCOMPARE(k.save("", e), Counters::passwordsDiffer);
        e.pass1 = "a";
        QCOMPARE(k.save("", e), Counters::noService);
        e.serviceName = "closed"; // typed by hand, inactive: still a service
        QCOMPARE(k.save("", e), Counters::blankName);
        e.name = "Room 1";
        QCOMPARE(k.save("", e), Counters::blankUser);
        e.user = "  ";
        QCOMPARE(k.save("", e), Counters::blankUser);
        QCOMPARE(count("select * from tblCounter"), 0);
        e.user = "lab1";
        QCOMPARE(k.save("", e), QString());
        RecordSet rs(st().dbConnection, "select * from tblCounter");
        QCOMPARE(rs.number(1), 2);
        QCOMPARE(rs.text(2), QString("Room 1"));
        QCOMPARE(rs.textOrEmpty(3), QString()); // the display name may be empty
        QVERIFY(isPasswordHash(rs.text(5)));
        QVERIFY(verifyPassword(rs.text(5), "a"));
    }

    void theListIsSortedByCounterName() {
        for (const char* name : {"Room 2", "Desk 9", "Room 10"})
            exec(QString("insert into tblCounter (servAuto, contName, username, active) values (1, "
                         "'%1', 'u', 1)")
                     .arg(name));
        exec("insert into tblCounter (servAuto, contName, username, active) values (77, 'Lost', "
             "'u', 1)");
        const auto rows = Counters(st()).addFG();
        QStringList names;
        for (const QStringList& r : rows)
            names << r.at(4);
        QCOMPARE(names, QStringList({"Desk 9", "Room 10", "Room 2"}));
        QCOMPARE(rows.at(0).mid(1), QStringList({"1", "Lab", "Blood", "Desk 9", "1"}));
        QCOMPARE(Counters(st()).addServ(), QStringList({"Blood"}));
    }

    void aPasswordIsKeptUnlessANewOneIsTyped() {
        Counters k(st());
        Counters::Entry e{"Blood", "Room 1", "R1", "lab1", "", "", true};
        QCOMPARE(k.save("", e), QString()); // a new counter may have the empty password
        const QString key = c1("select cntAuto from tblCounter");
        const QString empty = c1("select pass from tblCounter");
        QVERIFY(verifyPassword(empty, ""));
        remembered(key);
        const auto shown = k.getData(key);
        QVERIFY(shown.found);
        QCOMPARE(shown.user, QString("lab1"));
        QCOMPARE(shown.serviceName, QString("Blood"));

        e.displayName = "Room One";
        QCOMPARE(k.save(key, e), QString()); // both boxes empty: the password stays
        QCOMPARE(c1("select pass from tblCounter"), empty);
        QCOMPARE(c1("select displayName from tblCounter"), QString("Room One"));
        QCOMPARE(count("select * from tv_login_token"), 1);

        e.pass = e.pass1 = "s3cret";
        QCOMPARE(k.save(key, e), QString());
        const QString stored = c1("select pass from tblCounter");
        QVERIFY(verifyPassword(stored, "s3cret"));
        QVERIFY(!verifyPassword(stored, ""));
        QCOMPARE(count("select * from tv_login_token"), 0); // remembered logins end with it

        e.pass1 = "other";
        QCOMPARE(k.save(key, e), Counters::passwordsDiffer);
        QCOMPARE(c1("select pass from tblCounter"), stored);
    }

    void aCounterThatAttendedATicketStays() {
        exec("insert into tblCounter (cntAuto, servAuto, contName, username, active) values (3, 1, "
             "'Room 3', 'u', 1)");
        exec("insert into tblCounter (cntAuto, servAuto, contName, username, active) values (4, 1, "
             "'Room 4', 'u', 1)");
        exec("insert into tblTicket (servAuto, tickNo, tickDate, call, no_abr, attended) values "
             "(1, 1, '2019-01-02', 1, 'B1', 3)");
        remembered("4");
        Counters k(st());
        QCOMPARE(k.remove(""), master::selectEntry);
        QCOMPARE(k.remove("3"), master::cannotDelete);
        QCOMPARE(k.remove("4"), QString());
        QCOMPARE(c1("select contName from tblCounter"), QString("Room 3"));
        QCOMPARE(count("select * from tv_login_token"), 0);
        QCOMPARE(k.remove("4"), QString()); // gone meanwhile: nothing else goes
        QCOMPARE(count("select * from tblCounter"), 1);
        // saving a counter removed meanwhile changes nothing
        QCOMPARE(k.save("4", {"Blood", "Back", "", "u", "", "", true}), QString());
        QCOMPARE(count("select * from tblCounter"), 1);
    }

    void counterBoxesTakeJunkAndBigKeysAreTold() {
        exec("insert into tblService (servAuto, deptAuto, servName, active, startno, endno) values "
             "(40000, 1, 'Annex', 1, 1, 9)");
        Counters k(st());
        const QString said = k.save("", {"Annex", "A", "", "u", "", "", true});
        QVERIFY2(said.contains("40000"), qPrintable(said));
        QCOMPARE(count("select * from tblCounter"), 0);
        for (const QString& junk : junkTexts()) {
            m_db->clearTables();
            exec("insert into tblDept (deptAuto, deptName, active) values (1, 'Lab', 1)");
            exec(QString("insert into tblService (servAuto, deptAuto, servName, active) values (1, "
                         "1, ?, 1)"),
                 {junk});
            // Hashing is slow by design: the password box gets junk once.
            const QString pass = junk == junkTexts().at(0) ? junk : QString();
            QCOMPARE(k.save("", {junk, junk, junk, junk, pass, pass, true}), QString());
            const auto rows = k.addFG();
            QCOMPARE(rows.size(), 1);
            const auto back = k.getData(rows.at(0).at(0));
            QCOMPARE(back.serviceName, junk);
            QCOMPARE(back.name, junk);
            QCOMPARE(back.displayName, junk);
            QCOMPARE(back.user, junk);
            QVERIFY(verifyPassword(c1("select pass from tblCounter"), pass));
        }
    }

    void userNamesAreUpperCaseAndTakenWhateverTheCase() {
        Users u(st());
        QCOMPARE(u.add("", "p", "Admin"), Users::missingDetails);
        QCOMPARE(u.add("bob", "p", ""), Users::missingDetails);
        QCOMPARE(u.add("bob", "", "User"), QString()); // the password may be empty
        QCOMPARE(u.getusers().value(0).username, QString("BOB"));
        QCOMPARE(u.add("Bob", "x", "Admin"), Users::existingUser);
        QCOMPARE(u.add("BOB", "x", "Admin"), Users::existingUser);
        // letters beyond plain Latin meet their upper case too, on both engines
        QCOMPARE(u.add("émile", "x", "Admin"), QString());
        QCOMPARE(u.add("Émile", "x", "Admin"), Users::existingUser);
        QCOMPARE(u.add("ÉMILE", "x", "Admin"), Users::existingUser);
        QCOMPARE(u.getusers().value(1).username, QString("ÉMILE"));
        QCOMPARE(count("select * from tbluser"), 2);
        QVERIFY(verifyPassword(c1("select password from tbluser where username='BOB'"), ""));
        for (const QString& junk : junkTexts()) {
            QCOMPARE(u.add(junk, junk, "User"), QString());
            QCOMPARE(u.getusers().last().username, junk.toUpper());
        }
        QCOMPARE(count("select * from tbluser"), 2 + int(junkTexts().size()));
    }

    void theLastUserIsNeverRemoved() {
        Users u(st());
        u.add("ann", "a", "Admin");
        u.add("ben", "b", "Admin");
        const auto users = u.getusers();
        remembered(QString::number(users.at(0).userAuto), "A");
        QVERIFY(u.remove(users.at(0).userAuto));
        QCOMPARE(count("select * from tv_login_token"), 0);
        QVERIFY(!u.remove(users.at(0).userAuto)); // the kept key names a removed user
        // the screen still shows both; the table has one: it stays
        QVERIFY(!u.remove(users.at(1).userAuto));
        QCOMPARE(count("select * from tbluser"), 1);
    }

    void theCompanyLivesInRowOne() {
        Company co(st());
        QCOMPARE(co.save("", "addr"), Company::blankName);
        QCOMPARE(co.save("Clinic", ""), QString()); // an empty address is kept empty
        QCOMPARE(c1("select compName from tblComp where compAuto=1"), QString("Clinic"));
        QCOMPARE(c1("select compAddress from tblComp where compAuto=1"), QString());
        exec("delete from tblComp");
        exec("insert into tblComp (compAuto, compName, compAddress) values (5, 'Stray', '')");
        QVERIFY(!co.load().found);
        QCOMPARE(co.save("City Clinic", "12 Harbour Road"), QString());
        QCOMPARE(co.save("City Clinic", "14 Harbour Road"), QString());
        QCOMPARE(count("select * from tblComp"), 2); // row 1 once, however often saved
        const auto d = co.load();
        QVERIFY(d.found);
        QCOMPARE(d.name, QString("City Clinic"));
        QCOMPARE(d.address, QString("14 Harbour Road"));
        for (const QString& junk : junkTexts()) {
            QCOMPARE(co.save(junk, junk), QString());
            QCOMPARE(co.load().address, junk);
        }
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }
    QString c1(const QString& sql) {
        RecordSet rs(st().dbConnection, sql);
        return rs.recordCount() == 0 ? QString() : rs.textOrEmpty(0);
    }
    // A station remembers a login of the counter (or user) `key`.
    void remembered(const QString& key, const QString& role = "C") {
        exec("insert into tv_login_token (role, ownerAuto, tokenHash, station) values (?, ?, ?, "
             "'desk')",
             {role, key.toInt(), loginTokenDigest(newLoginToken())});
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(CountersUsersTest)
#include "test_counters_users.moc"
