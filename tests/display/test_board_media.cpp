// The board's media: the ticker chain and its passes, the clock's formats and
// dials, the video area's play list, the logo; and a board that keeps going
// when any of them is broken.
#include "core/connection.h"
#include "core/recordset.h"
#include "core/schema.h"
#include "core/ui/flex_grid.h"
#include "display/clock_format.h"
#include "display/clock_widget.h"
#include "display/display_board.h"
#include "display/media_area.h"
#include "display/ticker.h"
#include "test_station.h"
#include "test_video.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace tv;
using namespace tv::test;

namespace {

QList<QVariantList> oneRow(const QStringList& names, const QVariantMap& values) {
    QVariantList row;
    for (const QString& n : names)
        row << values.value(n.toLower());
    return {row};
}

// A design like the demo's: a list in the middle, the ticker at the foot.
BoardDesign design(const QVariantMap& themeValues = {}, bool withPositions = true) {
    QVariantMap t{{"themeauto", 1},
                  {"colums", 2},
                  {"rows", 4},
                  {"colwidth", "3000;3000"},
                  {"rowheight", 400},
                  {"backgroundclr", 0},
                  {"screenbg", 3342336},
                  {"fntcrr", "Arial"},
                  {"sizecrr", 30},
                  {"clrcrr", 65535},
                  {"fntval", "Arial"},
                  {"sizeval", 24},
                  {"clrval", 16777215},
                  {"newsbg", 8388608},
                  {"ttlname", "City Clinic"},
                  {"ttlfont", "Arial"},
                  {"ttlsize", 20},
                  {"ttlcolor", 16777215},
                  {"movie", 0},
                  {"showtime", 0}};
    for (auto it = themeValues.begin(); it != themeValues.end(); ++it)
        t.insert(it.key().toLower(), it.value());
    const QVariantMap p{
        {"themeauto", 1},    {"tblleft", 400},     {"tbltop", 700},      {"tblwidth", 6000},
        {"tblheight", 3000}, {"ttlleft", 200},     {"ttltop", 100},      {"ttlwidth", 9000},
        {"ttlheight", 500},  {"newstop", 6100},    {"newsheight", 400},  {"timeleft", 7000},
        {"timetop", 700},    {"timewidth", 2000},  {"timeheight", 1000}, {"logoleft", 7000},
        {"logotop", 2000},   {"logowidth", 2000},  {"logoheight", 1500}, {"videoleft", 6600},
        {"videotop", 3600},  {"videowidth", 2800}, {"videoheight", 2000}};
    BoardDesign d;
    d.theme = RecordSet::detached(schema::columnNames("tbltheme"),
                                  oneRow(schema::columnNames("tbltheme"), t));
    if (withPositions)
        d.pos = RecordSet::detached(schema::columnNames("tblpos"),
                                    oneRow(schema::columnNames("tblpos"), p));
    return d;
}

TickerMessage message(const QString& text) {
    TickerMessage m;
    m.text = text;
    m.font = "DejaVu Sans";
    m.size = 18;
    return m;
}

} // namespace

class BoardMediaTest : public QObject {
    Q_OBJECT

public:
    explicit BoardMediaTest(DbEngine e) : m_engine(e) {}

private slots:
    void initTestCase() { m_db = std::make_unique<TestStation>(m_engine); }
    void cleanupTestCase() { m_db.reset(); }
    void init() {
        m_db->clearTables();
        st().clock().setFixed(QDateTime(QDate(2026, 12, 9), QTime(9, 45, 10)));
        st().settings().set(keys::ScrollSpeed, 30);
    }

    void theChainStartsBeyondTheRightEdge() {
        // a window 19200 twips wide, an anchor of 1000, messages of 3000, 2000 and 4000
        QCOMPARE(Ticker::chainLefts(Ticker::Direction::Left, 19200, {1000, 3000, 2000, 4000}),
                 QList<int>({19200, 20300, 23400, 25500}));
        // rightward messages wait beyond the left edge, mirrored
        QCOMPARE(Ticker::chainLefts(Ticker::Direction::Right, 19200, {1000, 3000, 2000}),
                 QList<int>({-1000, -4100, -6200}));
    }

    void aPassRunsAcrossAndStartsOverWithTheMessagesReadAgain() {
        BoardPreview preview{design(), {1920, 1080}, {}, {message("Welcome"), message("Pharmacy")}};
        DisplayBoard board(st(), preview);
        Ticker* ticker = board.ticker();
        QVERIFY(ticker->running());
        QCOMPARE(ticker->labels().size(), 3);
        QCOMPARE(ticker->labels().at(1)->text(), QString("Welcome"));
        // each label follows the one before, 100 twips apart, beyond the right edge
        const QList<int> lefts = ticker->layoutLefts();
        QCOMPARE(lefts.at(0), twipsOf(board.width()));
        QCOMPARE(lefts.at(2), lefts.at(1) + ticker->layoutWidths().at(1) + 100);
        QVERIFY(ticker->labels().at(1)->x() >= board.width());
        // the default speed: 30 x 4 = 120 pixels a second
        QCOMPARE(ticker->pixelsPerSecond(), 120.0);
        const int x0 = ticker->labels().at(1)->x();
        ticker->advance(1000);
        QCOMPARE(ticker->labels().at(1)->x(), x0 - 120);
        // once the last label has left, the chain starts over at the right edge
        QSignalSpy passes(ticker, &Ticker::passEnded);
        ticker->advance(1000 * (x0 + 4000) / 120);
        QCOMPARE(passes.count(), 1);
        QVERIFY(ticker->labels().at(1)->x() >= board.width());
        QCOMPARE(ticker->offset(), 0.0);
        // only the band moves: the call list is not touched by a frame
        QVERIFY(!board.newsBand()->geometry().intersects(board.grid()->geometry()));
    }

    void switchingOffUnloadsTheLabels() {
        BoardPreview preview{design(), {1920, 1080}, {}, {message("One"), message("Two")}};
        DisplayBoard board(st(), preview);
        board.show();
        QVERIFY(board.newsBand()->isVisible());
        board.stopTicker();
        QVERIFY(!board.ticker()->running());
        QVERIFY(!board.newsBand()->isVisible());
        QCOMPARE(board.ticker()->labels().size(), 1); // only the anchor
        QCOMPARE(board.newsBand()->findChildren<QLabel*>("lblScroll").size(), 1);
    }

    void theLiveTickerReadsEditedMessagesOnTheNextPass() {
        themeRows();
        exec("insert into tblscroll (message, active, font, size, color, bold, italic, direction)"
             " values ('Open 8 to 5', 1, 'DejaVu Sans', 18, 255, 1, 0, 'Left')");
        exec("insert into tblscroll (message, active, direction) values ('Off', 0, 'Left')");
        exec("insert into tblscroll (message, active, direction) values ('Going right', 1, "
             "'Right')");
        auto board = liveBoard();
        board->startTicker(); // the first pass has no message: it reads them at once
        QTRY_COMPARE(board->ticker()->labels().size(), 2);
        QLabel* label = board->ticker()->labels().at(1);
        QCOMPARE(label->text(), QString("Open 8 to 5"));
        QVERIFY(label->font().bold());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(board->ticker()->direction(), Ticker::Direction::Left);
        exec("update tblscroll set message='Open 8 to 6' where message='Open 8 to 5'");
        // the next pass runs rightwards, the one after leftwards with the new text
        finishPass(*board);
        QTRY_COMPARE(board->ticker()->direction(), Ticker::Direction::Right);
        QCOMPARE(board->ticker()->labels().at(1)->text(), QString("Going right"));
        finishPass(*board);
        QTRY_COMPARE(board->ticker()->direction(), Ticker::Direction::Left);
        QCOMPARE(board->ticker()->labels().at(1)->text(), QString("Open 8 to 6"));
    }

    void aJunkSpeedIsTheDefaultAndAHugeMessageStillRuns() {
        st().settings().set(keys::ScrollSpeed, "fast");
        BoardPreview preview{design(), {1920, 1080}, {}, {message(QString(10000, 'W'))}};
        DisplayBoard board(st(), preview);
        QCOMPARE(board.ticker()->pixelsPerSecond(), 120.0);
        QCOMPARE(board.ticker()->labels().at(1)->text().size(), 10000);
        board.ticker()->advance(500);
        QCOMPARE(board.ticker()->offset(), 60.0);
    }

    void clockFormatsOfStoredThemes() {
        const QDateTime at(QDate(2026, 12, 9), QTime(15, 7, 3));
        const auto shown = [&](const QString& stored) {
            return at.toString(ClockFormat::convert(stored).qtFormat);
        };
        QCOMPARE(shown("dd-MMM-yyyy HH:mm"), QString("09-Dec-2026 15:07"));
        QCOMPARE(shown("hh:nn"), QString("15:07"));
        QCOMPARE(shown("hh:mm"), QString("15:07")); // minutes after hours
        QCOMPARE(shown("hh:mm:ss AM/PM"), QString("03:07:03 PM"));
        QCOMPARE(shown("h:nn am/pm"), QString("3:07 pm"));
        QCOMPARE(shown("dd/mm/yyyy"), QString("09/12/2026")); // months away from hours
        QCOMPARE(shown("mm:ss"), QString("07:03"));           // minutes before seconds
        QCOMPARE(shown("dddd, d mmmm yy"), QString("Wednesday, 9 December 26"));
        QCOMPARE(shown("\"Time\" HH:nn"), QString("Time 15:07"));
        QCOMPARE(shown("hh:mm tt"), QString("03:07 PM"));
        QVERIFY(ClockFormat::convert("hh:nn:ss").hasSeconds);
        QVERIFY(!ClockFormat::convert("hh:nn").hasSeconds);
    }

    void theClockChangesOnlyWhenItsTimeDoes() {
        ClockWidget clock;
        clock.setTimeSource([] { return QDateTime(QDate(2026, 12, 9), QTime(9, 45, 10, 250)); });
        clock.setFormat("hh:nn");
        QCOMPARE(clock.text(), QString("09:45"));
        QCOMPARE(clock.msecsToNextChange(), 49750); // on the minute
        clock.setFormat("hh:nn:ss");
        QCOMPARE(clock.msecsToNextChange(), 750); // on the second
    }

    void aDialTurnsItsHandsToTheTime() {
        QCOMPARE(ClockWidget::handAngle("hour", QTime(3, 0, 0)), 90.0);
        QCOMPARE(ClockWidget::handAngle("minute", QTime(3, 0, 0)), 0.0);
        QCOMPARE(ClockWidget::handAngle("hour", QTime(9, 30, 15)), 285.125);
        QCOMPARE(ClockWidget::handAngle("minute", QTime(9, 30, 15)), 181.5);
        QCOMPARE(ClockWidget::handAngle("second", QTime(9, 30, 15)), 90.0);
        // drawn: at three o'clock the hour hand points right, the minute hand up
        QTemporaryDir dir;
        const QString dial = dir.filePath("dial.svg");
        writeFile(dial, "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 200 200'>"
                        "<rect width='200' height='200' fill='white'/>"
                        "<rect id='hour' x='97' y='50' width='6' height='50' fill='red'/>"
                        "<rect id='minute' x='98' y='15' width='4' height='85' fill='blue'/>"
                        "</svg>");
        ClockWidget clock;
        clock.resize(200, 200);
        clock.setTimeSource([] { return QDateTime(QDate(2026, 12, 9), QTime(3, 0, 0)); });
        QVERIFY(clock.setClockFile(dial));
        QVERIFY(clock.hasHand("hour") && !clock.hasHand("second"));
        const QImage image = clock.grab().toImage();
        QCOMPARE(QColor(image.pixel(130, 100)), QColor(Qt::red)); // right of the centre
        QCOMPARE(QColor(image.pixel(100, 30)), QColor(Qt::blue)); // above it
        QCOMPARE(QColor(image.pixel(100, 130)), QColor(Qt::white));
        // files that are no clock say why and leave the text clock
        writeFile(dir.filePath("plain.svg"),
                  "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'/>");
        writeFile(dir.filePath("junk.svg"), "not a picture");
        for (const QString& bad : {dir.filePath("plain.svg"), dir.filePath("junk.svg"),
                                   dir.filePath("missing.svg"), dir.filePath("old.swf")}) {
            QString why;
            QVERIFY(!clock.setClockFile(bad, &why));
            QVERIFY2(!why.isEmpty(), qPrintable(bad));
            QVERIFY(!clock.analog());
        }
    }

    void thePlayListSkipsWhatCannotBePlayed() {
        QTemporaryDir dir;
        QImage red(40, 30, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(dir.filePath("a.png")));
        QVERIFY(red.save(dir.filePath("b.jpg")));
        writeFile(dir.filePath("empty.jpg"), "");
        writeFile(dir.filePath("text.mp4"), "this is no video");
        MediaArea area;
        area.resize(320, 240);
        QSignalSpy started(&area, &MediaArea::entryStarted);
        QSignalSpy skipped(&area, &MediaArea::skipped);
        area.playList({dir.filePath("a.png"), dir.filePath("missing.png"),
                       dir.filePath("empty.jpg"), dir.filePath("text.mp4"), dir.filePath("b.jpg")},
                      7, 100);
        QCOMPARE(started.count(), 1);
        QVERIFY(area.showingPicture());
        // the picture stays its time, the broken entries are passed over, in order
        QTRY_COMPARE(started.count() >= 3 ? started.at(2).at(0).toString() : QString(),
                     dir.filePath("b.jpg"));
        QStringList broken;
        for (const auto& s : skipped)
            broken << QFileInfo(s.at(0).toString()).fileName();
        QCOMPARE(broken.mid(0, 3), QStringList({"missing.png", "empty.jpg", "text.mp4"}));
        QCOMPARE(QFileInfo(started.at(1).at(0).toString()).fileName(), QString("text.mp4"));
        // round and round: a.png again
        QTRY_VERIFY(started.count() >= 4);
        QCOMPARE(started.at(3).at(0).toString(), dir.filePath("a.png"));
    }

    void aVideoPlaysToItsEndAndTheListGoesOn() {
        QTemporaryDir dir;
        QVERIFY(writeTestVideo(dir.filePath("clip.avi"), 640, 360, 12, 25));
        QImage red(40, 30, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(dir.filePath("after.png")));
        MediaArea area;
        area.resize(320, 180);
        area.show();
        QSignalSpy started(&area, &MediaArea::entryStarted);
        QSignalSpy skipped(&area, &MediaArea::skipped);
        area.playList({dir.filePath("clip.avi"), dir.filePath("after.png")}, 3, 60000);
        QVERIFY(!area.showingPicture());
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, 20000); // the picture after the clip
        QVERIFY(area.showingPicture());
        QCOMPARE(skipped.count(), 0);
        QVERIFY(area.findChild<QWidget*>("video"));
    }

    void aListOfBrokenFilesRestsInsteadOfSpinning() {
        QTemporaryDir dir;
        writeFile(dir.filePath("empty.png"), "");
        MediaArea area;
        area.retryMs = 200;
        QSignalSpy skipped(&area, &MediaArea::skipped);
        QSignalSpy again(&area, &MediaArea::askedForList);
        area.playList({dir.filePath("gone.mp4"), dir.filePath("empty.png")}, 5, 100);
        QTRY_COMPARE(skipped.count(), 2);
        QCOMPARE(again.count(), 0); // resting now
        QTRY_COMPARE(again.count(), 1);
        QTRY_COMPARE(skipped.count(), 4); // tried once more, then rests again
        QVERIFY(skipped.count() < 6);
    }

    void logoClockAndAVideoPlaceInTheirAreas() {
        QTemporaryDir dir;
        QImage logo(400, 100, QImage::Format_RGB32);
        logo.fill(Qt::green);
        QVERIFY(logo.save(dir.filePath("logo.png")));
        BoardPreview preview{design({{"logo", dir.filePath("logo.png")},
                                     {"showtime", 1},
                                     {"tformat", "hh:nn"},
                                     {"timefont", "DejaVu Sans"},
                                     {"timesize", 24},
                                     {"timecolor", 255},
                                     {"movie", 1}}),
                             {1920, 1080},
                             {},
                             {}};
        DisplayBoard board(st(), preview);
        board.show();
        QVERIFY(board.logo()->isVisible());
        // the picture keeps its shape inside the logo's area
        const QPixmap shown = board.logo()->pixmap();
        QCOMPARE(shown.width(), board.logo()->width());
        QCOMPARE(shown.height(), board.logo()->width() / 4);
        QVERIFY(board.clock()->isVisible());
        QCOMPARE(board.clock()->text(), QString("09:45"));
        QCOMPARE(board.clock()->geometry(), QRect(px(14000), px(1400), px(4000), px(2000)));
        QVERIFY(board.videoArea()->isVisible());
        // a missing logo and a Flash one are skipped; the board goes on
        preview.design = design({{"logo", dir.filePath("none.png")}, {"showtime", 1}});
        board.setPreview(preview);
        QVERIFY(!board.logo()->isVisible());
        QVERIFY(board.clock()->isVisible());
        preview.design = design({{"logo", "old.swf"}}, false); // and no position row at all
        board.setPreview(preview);
        QVERIFY(!board.logo()->isVisible());
    }

    void aLiveBoardWithABrokenCaptureSourceRunsOn() {
        themeRows();
        st().settings().set(keys::VideoIn, "1");
        st().settings().set(keys::VideoSource, -7);
        auto board = liveBoard();
        QVERIFY(!board->media()->live());
        exec("insert into tblCall (servAuto, callToken, callCounter, status, tickAuto, tickDate,"
             " callRoom) values (3, 'A1', 'R3', '0', 1, '2026-12-09', '')");
        QTRY_COMPARE(board->grid()->textMatrix(1, 1), QString(" A1"));
        st().settings().set(keys::VideoIn, "0");
    }

private:
    Station& st() { return m_db->station(); }
    void exec(const QString& sql, const QVariantList& b = {}) {
        st().dbConnection->execute(sql, b);
    }
    static int twipsOf(int pixels) { return qRound(pixels * 15.0); }
    static int px(int twips) { return qRound(twips / 15.0); }
    static void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
    }
    void themeRows() {
        exec("insert into tbltheme (themeauto, themename, colums, rows, colwidth, rowheight,"
             " newsBG, movie) values (1, 'T', 2, 4, '3000;3000', 400, 8388608, 0)");
        exec("insert into tblpos (themeauto, tblleft, tbltop, tblwidth, tblheight, newstop,"
             " newsheight) values (1, 400, 700, 6000, 3000, 6100, 400)");
        st().themeNo = 1;
        st().callFilter = "and 1=1";
    }
    std::unique_ptr<DisplayBoard> liveBoard() {
        auto b = std::make_unique<DisplayBoard>(st());
        b->feed().setSafetyPollMs(0);
        return b;
    }
    static void finishPass(DisplayBoard& b) {
        b.ticker()->advance(10 * 60 * 1000); // ten minutes of running: every label gone
    }
    DbEngine m_engine;
    std::unique_ptr<TestStation> m_db;
};

TALLYVOX_DB_TEST_MAIN(BoardMediaTest)
#include "test_board_media.moc"
