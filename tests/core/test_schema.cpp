// The stored format: tables, column positions and the comparisons the
// statements rely on.
#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "core/schema.h"
#include "test_station.h"

#include <QApplication>

using namespace tv;
using namespace tv::test;

namespace {
// Screens read many tables by position, so these orders are part of the data
// format. Written out here on purpose, not taken from the schema code.
const QList<QPair<QString, QStringList>> expectedOrders{
    {"tblDept", {"deptAuto", "deptName", "deptDesc", "active"}},
    {"tblService",
     {"servAuto", "deptAuto", "servName", "servdesc", "active", "startno", "endno", "abrno"}},
    {"tblServiceNo", {"snoAuto", "servAuto", "sdate", "sno", "active"}},
    {"tblCounter",
     {"cntAuto", "servAuto", "contName", "displayName", "username", "pass", "active"}},
    {"tblTicket", {"tickAuto", "servAuto", "tickNo", "tickDate", "tickTime", "call"}},
    {"tblCall",
     {"callauto", "servAuto", "callToken", "callCounter", "status", "tickAuto", "tickDate",
      "callRoom"}},
    {"tbltheme", {"themeauto",     "themename", "colums",      "rows",     "colwidth", "rowheight",
                  "logo",          "showtime",  "clockfile",   "timefont", "timesize", "timecolor",
                  "backgroundclr", "linecolor", "altcolr",     "bgimage",  "hdfont",   "hdclrbg",
                  "hdfntclr",      "hdfntsize", "fntcrr",      "sizecrr",  "clrcrr",   "crrbg",
                  "fntval",        "sizeval",   "clrval",      "valbg",    "type",     "screenbg",
                  "linewidth",     "videofile", "onlinevideo", "volume",   "movie",    "ttlName",
                  "ttlfont",       "ttlcolor",  "ttlsize"}},
    {"tblpos", {"posauto",  "themeauto", "logoleft",  "logotop",    "logowidth",  "logoheight",
                "timeleft", "timetop",   "timewidth", "timeheight", "tblleft",    "tbltop",
                "tblwidth", "tblheight", "videoleft", "videotop",   "videowidth", "videoheight",
                "formleft", "formtop",   "formwidth", "formheight", "ttlleft",    "ttltop",
                "ttlwidth", "ttlheight", "newsleft",  "newstop",    "newswidth",  "newsheight"}},
    {"tblscroll", {"scrollAuto", "message", "msgrtf"}},
    {"tbluser", {"userAuto", "username", "password", "userType"}},
    {"tblComp", {"compAuto", "compName", "compAddress"}},
    {"tblVideo", {"vidAuto", "vidFile", "vidDesc", "active"}},
    {"news_data", {"news_auto", "news_Rtf"}},
};

// Columns a table must have somewhere after its positional ones.
const QList<QPair<QString, QStringList>> expectedNamed{
    {"tblTicket", {"no_abr", "attended", "attTime", "finished", "status", "ref"}},
    {"tbltheme", {"scroll", "tformat", "enableH", "Column1", "Column2", "img1", "img2", "newsBG"}},
    {"tblpos", {"newsBG"}},
    {"tblheader", {"themeauto"}},
};
} // namespace

class SchemaTest : public QObject {
    Q_OBJECT

public:
    explicit SchemaTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() { m_db->clearTables(); }

    void positionalColumnOrder_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("leading");
        for (const auto& [table, cols] : expectedOrders)
            QTest::newRow(qPrintable(table)) << table << cols;
    }
    void positionalColumnOrder() {
        QFETCH(QString, table);
        QFETCH(QStringList, leading);
        const QStringList actual = selectStarNames(table);
        QVERIFY2(actual.size() >= leading.size(), qPrintable(actual.join(",")));
        for (int i = 0; i < leading.size(); ++i)
            QVERIFY2(actual.at(i).compare(leading.at(i), Qt::CaseInsensitive) == 0,
                     qPrintable(QString("%1 position %2: %3 instead of %4")
                                    .arg(table)
                                    .arg(i)
                                    .arg(actual.at(i), leading.at(i))));
    }

    void exactWidths() {
        QCOMPARE(selectStarNames("tbltheme").size(), 1 + 38 + 8);
        QCOMPARE(selectStarNames("tblpos").size(), 31);
        QCOMPARE(selectStarNames("tblscroll").size(), 11);
        // the header captions: key, six captions, the spacer text at position 7
        QCOMPARE(selectStarNames("tblheader").at(7).toLower(), QString("hdrspacer"));
    }

    void namedColumnsFollow() {
        for (const auto& [table, cols] : expectedNamed) {
            const QStringList actual = selectStarNames(table);
            for (const QString& c : cols)
                QVERIFY2(actual.contains(c, Qt::CaseInsensitive), qPrintable(table + "." + c));
        }
    }

    void migratingAgainChangesNothing() {
        Connection& c = *conn();
        QCOMPARE(schema::storedVersion(c), schema::currentVersion());
        conn()->execute("insert into tblDept (deptName, active) values (?, 1)", {QString("Kept")});
        schema::migrate(c);
        QCOMPARE(schema::storedVersion(c), schema::currentVersion());
        QCOMPARE(RecordSet(conn(), "select * from tblDept").recordCount(), 1);
    }

    void aFirstVersionDatabaseIsBroughtUpToDate() {
        // A hall that ran the first version keeps its data and gains the table.
        Connection& c = *conn();
        conn()->execute("insert into tblDept (deptName, active) values (?, 1)", {QString("Kept")});
        conn()->execute("drop table tv_login_token");
        conn()->execute("drop index ix_ticket_day");
        conn()->execute("drop table tv_ticket_code");
        conn()->execute("drop table tv_api_key");
        conn()->execute("delete from tv_schema_version where version > 1");
        QCOMPARE(schema::storedVersion(c), 1);
        schema::migrate(c);
        QCOMPARE(schema::storedVersion(c), schema::currentVersion());
        conn()->execute(
            "insert into tv_login_token (role, ownerAuto, tokenHash) values ('A', 1, ?)",
            {QString("h")});
        QVERIFY_THROWS_EXCEPTION(
            DbError, conn()->execute("insert into tv_login_token (role, ownerAuto, tokenHash)"
                                     " values ('A', 2, ?)",
                                     {QString("h")}));
        QCOMPARE(RecordSet(conn(), "select * from tblDept").recordCount(), 1);
        // The visitor codes and API keys come back with their unique digests.
        for (const char* insert :
             {"insert into tv_ticket_code (tickAuto, codeHash) values (1, 'd')",
              "insert into tv_api_key (keyName, keyHash) values ('k', 'd')"}) {
            conn()->execute(insert);
            QVERIFY_THROWS_EXCEPTION(DbError, conn()->execute(insert));
        }
    }

    void companyRowIsThere() {
        RecordSet rs(conn(), "select * from tblComp where compAuto=1");
        QCOMPARE(rs.recordCount(), 1);
    }

    void flagsWrittenAsNumbersCompareWithText() {
        conn()->execute("insert into tblDept (deptName, active) values (?, ?)", {QString("On"), 1});
        conn()->execute("insert into tblDept (deptName, active) values (?, ?)",
                        {QString("Off"), 0});
        conn()->execute("insert into tblDept (deptName, active) values (?, ?)",
                        {QString("Checked"), true});
        RecordSet on(conn(), "select deptName from tblDept where active='1' order by deptName");
        QCOMPARE(on.recordCount(), 2);
        QCOMPARE(on.text(0), QString("Checked"));
        RecordSet off(conn(), "select deptName from tblDept where active='0'");
        QCOMPARE(off.text(0), QString("Off"));
        // "call" gets the number 0 at issue and the text "1" when called
        conn()->execute("insert into tblTicket (servAuto, tickNo, tickDate, call) values (1, 1, "
                        "'2026-12-09', ?)",
                        {0});
        conn()->execute("update tblTicket set call=?", {QString("1")});
        QCOMPARE(RecordSet(conn(), "select * from tblTicket where call='1'").recordCount(), 1);
        QCOMPARE(RecordSet(conn(), "select * from tblTicket where call='0'").recordCount(), 0);
    }

    void callStatusTakesTextAndNumbers() {
        conn()->execute("insert into tblCall (callToken, status, tickDate) values (?, ?, ?)",
                        {QString("A1"), 0, QString("2026-12-09")});
        conn()->execute("insert into tblCall (callToken, status, tickDate) values (?, ?, ?)",
                        {QString("A2"), QString("1"), QString("2026-12-09")});
        QCOMPARE(RecordSet(conn(), "select * from tblcall where status='0'").recordCount(), 1);
        QCOMPARE(RecordSet(conn(), "select * from tblcall where status='1'").recordCount(), 1);
    }

    void namesCompareWithoutCaseButNotWithTrailingSpace() {
        conn()->execute("insert into tblService (deptAuto, servName) values (1, ?)",
                        {QString("Blood Test")});
        conn()->execute("insert into tbluser (username, password) values (?, ?)",
                        {QString("ADMIN"), QString("Secret")});
        QCOMPARE(
            RecordSet(conn(), "select * from tblService where Servname=?", {QString("BLOOD test")})
                .recordCount(),
            1);
        QCOMPARE(
            RecordSet(conn(), "select * from tblService where Servname=?", {QString("Blood Test ")})
                .recordCount(),
            0);
        QCOMPARE(RecordSet(conn(), "select * from tbluser where username=?", {QString("admin")})
                     .recordCount(),
                 1);
        // passwords are not names: they compare exactly
        QCOMPARE(RecordSet(conn(), "select * from tbluser where password=?", {QString("secret")})
                     .recordCount(),
                 0);
    }

    void dayRangesIncludeBothEnds() {
        for (const char* day :
             {"2015-12-31", "2016-01-01", "2016-01-15", "2016-01-31", "2016-02-01"})
            conn()->execute("insert into tblTicket (servAuto, tickNo, tickDate) values (1, 1, ?)",
                            {QString(day)});
        RecordSet rs(
            conn(),
            "select tickDate from tblTicket where tickDate between ? and ? order by tickDate",
            {QString("2016-01-01"), QString("2016-01-31")});
        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(rs.text(0), QString("2016-01-01"));
    }

    void timesOfDayReadBackAsWritten() {
        conn()->execute("insert into tblTicket (servAuto, tickNo, tickDate, tickTime) values (1, "
                        "1, '2026-12-09', ?)",
                        {QTime(9, 0, 30, 456)});
        RecordSet rs(conn(), "select tickTime from tblTicket");
        QCOMPARE(rs.value(0).toTime(), QTime(9, 0, 30));
        QCOMPARE(rs.value(0).toString(), QString("09:00:30"));
    }

    void oneNumberPerServiceAndDay() {
        const QString sql = "insert into tblTicket (servAuto, tickNo, tickDate) values (?, ?, ?)";
        conn()->execute(sql, {1, 7, QString("2026-12-09")});
        conn()->execute(sql, {2, 7, QString("2026-12-09")}); // another service
        conn()->execute(sql, {1, 7, QString("2026-12-10")}); // another day
        QVERIFY_THROWS_EXCEPTION(DbError, conn()->execute(sql, {1, 7, QString("2026-12-09")}));
    }

    void coloursHoldSystemColourValues() {
        // 0x80000005 read as a signed 32-bit value, and plain 24-bit colours
        conn()->execute(
            "insert into tbltheme (themename, backgroundclr, linecolor) values (?, ?, ?)",
            {QString("T"), qint64(-2147483643), qint64(0xFFFFFF)});
        RecordSet rs(conn(), "select backgroundclr, linecolor from tbltheme");
        QCOMPARE(rs.number(0), qint64(-2147483643));
        QCOMPARE(rs.number(1), qint64(0xFFFFFF));
    }

private:
    std::shared_ptr<Connection> conn() { return m_db->station().dbConnection; }
    QStringList selectStarNames(const QString& table) {
        RecordSet rs(conn(), QString("select * from %1 where 1=0").arg(table));
        QStringList names;
        for (int i = 0; i < rs.fieldCount(); ++i)
            names << rs.fieldName(i);
        return names;
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(SchemaTest)
#include "test_schema.moc"
