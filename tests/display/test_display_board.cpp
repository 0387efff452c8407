// The display board: layout from the theme, the first fill and the call feed.
#include "core/connection.h"
#include "core/recordset.h"
#include "core/ui/colors.h"
#include "core/ui/flex_grid.h"
#include "display/announcer.h"
#include "display/display_board.h"
#include "display/title_band.h"
#include "display/voice_player.h"
#include "test_station.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>

using namespace tv;
using namespace tv::test;

class DisplayBoardTest : public QObject {
    Q_OBJECT

public:
    explicit DisplayBoardTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        st().clock().setFixed(QDateTime(day, QTime(9, 45, 10)));
        st().callFilter = "and 1=1";
        exec("insert into tbltheme (themeauto, themename, colums, rows, colwidth, rowheight, "
             "backgroundclr, linecolor,"
             " altcolr, hdclrbg, hdfntclr, hdfont, hdfntsize, fntcrr, sizecrr, clrcrr, fntval, "
             "sizeval, clrval,"
             " linewidth, movie, ttlName, ttlfont, ttlcolor, ttlsize, scroll, enableH, Column1, "
             "Column2, newsBG, screenbg)"
             " values (7, 'Hall', 2, 5, '1500;1200', 300, 0, 16777215, 4210752, 128, 16777215, "
             "'Arial', 14,"
             " 'Arial', 28, 65535, 'Arial', 20, 16777215, 2, 0, 'City Clinic', 'Arial', 16777215, "
             "20, 0, 1,"
             " 'Token', 'Counter', 255, 0)");
        exec("insert into tblpos (themeauto, tblleft, tbltop, tblwidth, tblheight, ttlleft, "
             "ttltop, ttlwidth,"
             " ttlheight, newstop, newsheight) values (7, 100, 600, 1000, 2000, 0, 0, 3000, 400, "
             "3000, 200)");
        st().themeNo = 7;
    }

    void layoutFromTheTheme() {
        auto b = board();
        FlexGrid* fg = b->grid();
        QCOMPARE(b->objectName(), QString("frmDisplay"));
        QCOMPARE(fg->rows(), 6);
        QCOMPARE(fg->cols(), 3);
        QCOMPARE(fg->colWidth(0), 1);
        QCOMPARE(fg->colWidth(1), 3000);
        QCOMPARE(fg->colWidth(2), 2400);
        QCOMPARE(fg->rowHeightMin(), 600);
        QCOMPARE(fg->textMatrix(0, 1), QString("Token"));
        QCOMPARE(fg->cellBackColor(1, 1), 4210752u); // odd rows take the alternate colour
        QCOMPARE(fg->cellBackColor(2, 1), 0u);
        QCOMPARE(fg->textMatrix(1, 0), QString("4210752"));
        QCOMPARE(fg->cellFontSize(1, 1), 28.0);
        QVERIFY(fg->cellFontBold(1, 2));
        QCOMPARE(b->title()->text(), QString("City Clinic"));
        QVERIFY(!b->title()->scrolling());
        // stored at half scale: 1000 twips wide becomes 2000 on the board
        QCOMPARE(fg->width(), twipsToPixels(2000));
        QVERIFY(!b->videoArea()->isVisible());
    }

    void secondScreenAndScrollingTitleAndPictures() {
        st().settings().set(keys::ThemeScreen, "Dual");
        QTemporaryDir dir;
        QImage pic(40, 20, QImage::Format_RGB32);
        pic.fill(Qt::red);
        QVERIFY(pic.save(dir.filePath("cell.png")));
        exec("update tbltheme set scroll=1, img2=? where themeauto=7", {dir.filePath("cell.png")});
        auto b = board();
        st().settings().set(keys::ThemeScreen, "Single");
        QCOMPARE(b->x(), QGuiApplication::primaryScreen()->geometry().width());
        QVERIFY(b->title()->scrolling());
        const int before = b->title()->offset();
        b->title()->step();
        QVERIFY(b->title()->offset() != before);
        QVERIFY(!b->grid()->cellPicture(1, 1).isNull());
        QVERIFY(!b->grid()->cellPicture(5, 2).isNull());
        QVERIFY(b->grid()->cellPicture(0, 1).isNull());
    }

    void aBrokenThemeStillGivesABoard() {
        exec("update tbltheme set colwidth=NULL, linecolor=NULL, ttlName=NULL where themeauto=7");
        auto b = board();
        QCOMPARE(b->grid()->rows(), 6);
        call(3, "A1", "R3", "0");
        QVERIFY(poll(*b));
        QCOMPARE(b->grid()->textMatrix(1, 1), QString(" A1"));
    }

    void fewerWidthsThanColumnsKeepTheRest() {
        exec("update tbltheme set colums=3, colwidth='1500' where themeauto=7");
        auto b = board();
        QCOMPARE(b->grid()->colWidth(1), 3000);
        QCOMPARE(b->grid()->colWidth(2), FlexGrid::kDefaultColWidth);
        QCOMPARE(b->grid()->colWidth(3), FlexGrid::kDefaultColWidth);
    }

    void headerCaptionsOfTheirOwn() {
        exec("insert into tblheader (hdrtext1, hdrtext2, hdrspacer, themeauto) values ('Ticket', "
             "'Go to', 'xx', 7)");
        QCOMPARE(board()->grid()->textMatrix(0, 2), QString("Go to"));
        exec("delete from tblheader");
        exec("update tbltheme set enableH=0 where themeauto=7");
        QCOMPARE(board()->grid()->textMatrix(0, 1), QString());
    }

    void themeNumbersAreKeptInBounds() {
        exec("update tbltheme set rows=100000, colums=-3 where themeauto=7");
        auto b = board();
        QCOMPARE(b->rows(), 50);
        QCOMPARE(b->columns(), 1);
        QCOMPARE(b->grid()->rows(), 51);
        QCOMPARE(b->grid()->cols(), 2);
        call(3, "A1", "R3", "0");
        QVERIFY(poll(*b));
        QCOMPARE(b->grid()->textMatrix(1, 1), QString(" A1"));
        // no theme at all: the empty board it always was
        st().themeNo = 99;
        auto empty = board();
        QCOMPARE(empty->grid()->rows(), 1);
        QCOMPARE(empty->grid()->cols(), 3);
    }

    void emptyDayStaysEmpty() {
        auto b = board();
        QSignalSpy said(b.get(), &DisplayBoard::announce);
        QVERIFY(poll(*b));
        QCOMPARE(lines(*b), QStringList({"", "", "", "", ""}));
        QCOMPARE(said.count(), 0);
    }

    void theFirstFillShowsEachCallOnce() {
        call(3, "A1", "R3", "1");
        call(3, "A2", "R3", "0");
        call(3, "A3", "R3", "0");
        auto b = newBoard();
        QStringList said;
        connect(b.get(), &DisplayBoard::announce, this, [&](const QString& token) {
            said << token;
            b->announcementFinished();
        });
        settle(*b);
        while (count("select * from tblcall where status='0'") > 0)
            QVERIFY(poll(*b));
        QVERIFY(poll(*b)); // and nothing comes twice
        QCOMPARE(lines(*b), QStringList({" A3", " A2", " A1", "", ""}));
        QCOMPARE(said, QStringList({"A2", "A3"}));
        QVERIFY(b->blinkTimer()->isActive());
    }

    void newCallsGoOnTopAndAreAnnounced() {
        auto b = board();
        QSignalSpy said(b.get(), &DisplayBoard::announce);
        connect(b.get(), &DisplayBoard::announce, b.get(), &DisplayBoard::announcementFinished,
                Qt::QueuedConnection);
        call(3, "A1", "Room 3", "0", "Dr. Rao");
        QVERIFY(poll(*b));
        QCOMPARE(b->grid()->textMatrix(1, 1), QString(" A1"));
        QCOMPARE(b->grid()->textMatrix(1, 2), QString("Room 3\r\nDr. Rao"));
        QCOMPARE(said.count(), 1);
        QCOMPARE(said.at(0).at(0).toString(), QString("A1"));
        QCOMPARE(said.at(0).at(1).toString(),
                 QString("Room 3")); // the second line is not announced
        QTRY_COMPARE(count("select * from tblcall where status='1'"), 1);
    }

    void twoCallsBetweenPollsComeInCallOrder() {
        auto b = board();
        call(3, "A1", "R3", "0");
        call(4, "B1", "R4", "0");
        QVERIFY(poll(*b));
        QCOMPARE(b->grid()->textMatrix(1, 1), QString(" A1"));
        QVERIFY(poll(*b));
        QCOMPARE(lines(*b).mid(0, 2), QStringList({" B1", " A1"}));
    }

    void aBacklogComesInCallOrder() {
        // Calls made while an announcement plays wait; the first visitor
        // called is the first one shown and announced.
        auto b = board();
        QStringList said;
        connect(b.get(), &DisplayBoard::announce, this,
                [&](const QString& token) { said << token; });
        for (int n = 7; n <= 11; ++n)
            call(3, QString("A%1").arg(n), "R3", "0");
        for (int n = 7; n <= 11; ++n) {
            QVERIFY(poll(*b));
            QVERIFY(b->announcing());
            b->announcementFinished();
        }
        QCOMPARE(said, QStringList({"A7", "A8", "A9", "A10", "A11"}));
        QCOMPARE(lines(*b), QStringList({" A11", " A10", " A9", " A8", " A7"}));
    }

    void aLateBoardDoesNotReplayOldCalls_data() {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QTime>("older");
        QTest::addColumn<QTime>("recent");
        QTest::addColumn<QStringList>("announced");
        QTest::addColumn<QStringList>("listed");
        // Ten minutes ago the visitors went to their counters; thirty seconds
        // ago one is still looking for the board.
        QTest::newRow("morning") << QTime(9, 45, 10) << QTime(9, 35, 10) << QTime(9, 44, 40)
                                 << QStringList({"A3"})
                                 << QStringList({" A3", " A2", " A1", "", ""});
        // Just after midnight no call of the new day is old yet.
        QTest::newRow("after midnight")
            << QTime(0, 1, 0) << QTime(0, 0, 5) << QTime(0, 0, 30)
            << QStringList({"A1", "A2", "A3"}) << QStringList({" A3", " A2", " A1", "", ""});
    }

    void aLateBoardDoesNotReplayOldCalls() {
        QFETCH(QTime, now);
        QFETCH(QTime, older);
        QFETCH(QTime, recent);
        QFETCH(QStringList, announced);
        QFETCH(QStringList, listed);
        st().clock().setFixed(QDateTime(day, now));
        call(3, "A1", "R3", "0", {}, ticket("A1", older));
        call(3, "A2", "R3", "0", {}, ticket("A2", older.addSecs(10)));
        call(3, "A3", "R3", "0", {}, ticket("A3", recent));
        auto b = newBoard();
        QStringList said;
        connect(b.get(), &DisplayBoard::announce, this, [&](const QString& token) {
            said << token;
            b->announcementFinished();
        });
        settle(*b);
        while (count("select * from tblcall where status='0'") > 0)
            QVERIFY(poll(*b));
        QVERIFY(poll(*b));
        QCOMPARE(said, announced);
        QCOMPARE(lines(*b), listed);
    }

    void recalls() {
        auto b = board();
        QSignalSpy said(b.get(), &DisplayBoard::announce);
        connect(b.get(), &DisplayBoard::announce, b.get(), &DisplayBoard::announcementFinished);
        call(3, "A1", "R3", "0");
        QVERIFY(poll(*b));
        call(3, "A2", "R3", "0");
        QVERIFY(poll(*b));
        QTRY_COMPARE(count("select * from tblcall where status='0'"), 0); // A2 marked shown
        // recall of the top line: announced again, nothing moves
        exec("update tblcall set status='0' where callToken='A2'");
        QVERIFY(poll(*b));
        QCOMPARE(lines(*b).mid(0, 3), QStringList({" A2", " A1", ""}));
        QCOMPARE(said.count(), 3);
        QTRY_COMPARE(count("select * from tblcall where status='0'"), 0); // marked once announced
        // recall of an older line: on top again, so it shows twice
        exec("update tblcall set status='0' where callToken='A1'");
        QVERIFY(poll(*b));
        QCOMPARE(lines(*b).mid(0, 3), QStringList({" A1", " A2", " A1"}));
    }

    void fiveRowsDropTheSixth() {
        auto b = board();
        for (int i = 1; i <= 6; ++i) {
            call(3, QString("A%1").arg(i), "R3", "0");
            QVERIFY(poll(*b));
        }
        QCOMPARE(lines(*b), QStringList({" A6", " A5", " A4", " A3", " A2"}));
        QCOMPARE(b->grid()->rows(), 6);
    }

    void counterFilterRestrictsTheCalls() {
        st().callFilter = "and(servAuto=3 or servAuto=7)";
        auto b = board();
        call(4, "B1", "R4", "0");
        call(3, "A1", "R3", "0");
        call(7, "C1", "R7", "0");
        for (int i = 0; i < 4; ++i)
            QVERIFY(poll(*b));
        QCOMPARE(lines(*b).mid(0, 3), QStringList({" C1", " A1", ""}));
        // B1 is another board's
        QTRY_COMPARE(count("select * from tblcall where status='0'"), 1);
        QCOMPARE(count("select * from tblcall where status='0' and callToken='B1'"), 1);
    }

    void theAnnouncerSaysEachCallInTurn() {
        st().settings().set(keys::VoiceFormat1, "english|ding|token|*|please|roomno|#");
        st().settings().set(keys::VoiceFormat2, "");
        auto b = board();
        RecordingVoicePlayer player;
        Announcer announcer(st(), player);
        connect(b.get(), &DisplayBoard::announce, &announcer, &Announcer::speekNo);
        connect(&announcer, &Announcer::finished, b.get(), &DisplayBoard::announcementFinished);
        call(3, "A12", "Room 3", "0");
        call(3, "A13", "Room 4", "0");
        QVERIFY(poll(*b)); // A12, the first called, first
        QVERIFY(b->announcing());
        QTRY_COMPARE(player.sequences.size(), 2); // then A13 once A12 has been said
        QTRY_VERIFY(!b->announcing());
        QStringList names;
        for (const QString& path : player.sequences.at(0))
            names << QFileInfo(path).fileName();
        QCOMPARE(names,
                 QStringList({"ding", "token", "a.wav", "12.wav", "please", "roomno", "3.wav"}));
        QCOMPARE(QFileInfo(player.sequences.at(1).value(3)).fileName(), QString("13.wav"));
        QCOMPARE(lines(*b).mid(0, 2), QStringList({" A13", " A12"}));
        QCOMPARE(st().voiceName, QString("english"));
    }

    void noNewCallWhileAnnouncing() {
        auto b = board();
        connect(b.get(), &DisplayBoard::announce, this,
                [] {}); // an announcer that has not finished
        call(3, "A1", "R3", "0");
        QVERIFY(poll(*b));
        QVERIFY(b->announcing());
        call(3, "A2", "R3", "0");
        QVERIFY(!poll(*b)); // no poll is even asked for
        QCOMPARE(b->grid()->textMatrix(1, 1), QString(" A1"));
        b->announcementFinished();
        QVERIFY(poll(*b));
        QCOMPARE(b->grid()->textMatrix(1, 1), QString(" A2"));
    }

    void theHighlightKeepsTheTokenReadable_data() {
        QTest::addColumn<quint32>("rowBack");
        QTest::addColumn<bool>("ownColoursRead");
        QTest::newRow("dark rows") << 4210752u << true;
        // A pale yellow row under a yellow token: the row's own colour would
        // not read on the highlight (nor does the theme's own yellow on it).
        QTest::newRow("rows close to the token colour") << 0x80FFFFu << false;
    }

    void theHighlightKeepsTheTokenReadable() {
        QFETCH(quint32, rowBack);
        QFETCH(bool, ownColoursRead);
        exec("update tbltheme set altcolr=? where themeauto=7", {rowBack});
        auto b = board();
        FlexGrid* fg = b->grid();
        const quint32 token = 65535; // the theme's clrcrr
        const QList<quint32> ownText{0, token, 16777215};
        call(3, "A1", "R3", "0");
        QVERIFY(poll(*b));
        b->blinkTimer()->setInterval(1);
        QSignalSpy ticks(b->blinkTimer(), &QTimer::timeout);
        int lit = 0;
        for (int frame = 0; frame < 20; ++frame) {
            for (int c = 1; c <= 2; ++c) {
                const quint32 back = fg->cellBackColor(1, c), text = fg->cellForeColor(1, c);
                const QString where = QString("frame %1, column %2").arg(frame).arg(c);
                if (back == token || ownColoursRead)
                    QVERIFY2(contrast(text, back) >= 3.0, qPrintable(where));
                if (back == token) {
                    ++lit;
                } else {
                    QCOMPARE(back, rowBack);
                    QCOMPARE(text, ownText.at(c));
                }
            }
            if (!b->blinkTimer()->isActive()) break;
            QVERIFY(ticks.wait(1000));
        }
        QVERIFY(!b->blinkTimer()->isActive());
        QVERIFY(lit >= 2 * 4); // it did flash, in both columns
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    int count(const QString& sql) { return RecordSet(st().dbConnection, sql).recordCount(); }
    static int twipsToPixels(int twips) { return qRound(twips / 15.0); }
    // A call as a counter writes it; `tickAuto` 0 is a call without a ticket row.
    void call(int counter, const QString& token, const QString& counterText, const QString& status,
              const QString& room = QString(), qint64 tickAuto = 0) {
        exec("insert into tblCall (servAuto, callToken, callCounter, status, tickAuto, tickDate, "
             "callRoom)"
             " values (?, ?, ?, ?, ?, ?, ?)",
             {counter, token, counterText, status, tickAuto, st().clock().todayText(), room});
    }
    // A ticket of today called at `calledAt`; its tickAuto.
    qint64 ticket(const QString& token, const QTime& calledAt) {
        RecordSet rs(st().dbConnection,
                     "insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, "
                     "attended, attTime, status) values (3, ?, ?, ?, '1', ?, 3, ?, 'Finished') "
                     "returning tickAuto",
                     {token.mid(1).toInt(), st().clock().todayText(), calledAt.addSecs(-600), token,
                      calledAt});
        return rs.number(0);
    }
    // A board whose load has asked for its first fill and poll, not yet answered.
    std::unique_ptr<DisplayBoard> newBoard() {
        auto b = std::make_unique<DisplayBoard>(st());
        b->timer1()->stop(); // the test polls by hand
        b->feed().setSafetyPollMs(0);
        return b;
    }
    static void settle(DisplayBoard& b) {
        QVERIFY(QTest::qWaitFor([&] { return !b.polling(); }, 10000));
    }
    std::unique_ptr<DisplayBoard> board() {
        auto b = newBoard();
        settle(*b);
        return b;
    }
    // One poll asked for now and answered; false when the board asks none
    // (while it announces).
    static bool poll(DisplayBoard& b) {
        // A poll already under way may have looked before the caller's last
        // change: let it end first.
        if (b.polling() && !QSignalSpy(&b, &DisplayBoard::pollHandled).wait(10000)) return false;
        QSignalSpy handled(&b, &DisplayBoard::pollHandled);
        b.Timer1_Timer();
        return b.polling() ? handled.wait(10000) : handled.count() > 0;
    }
    // Contrast ratio of two colours as readability guidelines measure it (1 to 21).
    static double contrast(quint32 a, quint32 b) {
        const auto luminance = [](quint32 v) {
            const QColor c = colors::toQColor(v);
            const auto lin = [](double x) {
                return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
        };
        const double la = luminance(a), lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    }
    static QStringList lines(DisplayBoard& b) {
        QStringList out;
        for (int r = 1; r < b.grid()->rows(); ++r)
            out << b.grid()->textMatrix(r, 1);
        return out;
    }
    static inline const QDate day{2024, 3, 14};
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(DisplayBoardTest)
#include "test_display_board.moc"
