#pragma once

#include "board_content.h"
#include "board_design.h"
#include "call_feed.h"

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

namespace tv {

class ClockWidget;
class FlexGrid;
class MediaArea;
class Station;
class Ticker;
class TitleBand;

// What a board shows when it only previews a design: no database, no
// announcements, sample calls and messages, a screen of a chosen size.
struct BoardPreview {
    BoardDesign design;
    QSize screen{1920, 1080};
    QList<CallLine> calls; // newest first
    QList<TickerMessage> ticker;
};

// The hall's display board: a borderless window over its screen, laid out from
// the station's theme and its areas, showing today's latest calls. Each new
// call goes on top, the older lines move down, the line blinks, the call is
// marked shown and handed over for its announcement. While an announcement
// plays the board takes no new call, so calls are never announced over each
// other; the window keeps painting and the highlight keeps blinking meanwhile.
// The call feed answers in its own time: a poll is asked for here and its
// answer handled when it comes, so a slow server never holds the window up.
class DisplayBoard final : public QWidget {
    Q_OBJECT

public:
    explicit DisplayBoard(Station& station, QWidget* parent = nullptr);
    // A board that shows `preview` and nothing else; setPreview() changes it.
    DisplayBoard(Station& station, const BoardPreview& preview, QWidget* parent = nullptr);
    ~DisplayBoard() override;

    bool previewing() const { return !m_feed; }
    void setPreview(const BoardPreview& preview);

    FlexGrid* grid() const { return m_fg; }
    CallFeed& feed() { return *m_feed; }
    Ticker* ticker() const { return m_ticker; }
    ClockWidget* clock() const { return m_clock; }
    QLabel* logo() const { return m_logo; }
    MediaArea* media() const { return m_media; }
    const BoardDesign& design() const { return m_design; }
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    bool headerFlag() const { return m_headerFlag; }
    QTimer* timer1() const { return m_timer1; }
    QTimer* blinkTimer() const { return m_timer6; }
    TitleBand* title() const { return m_title; }
    QFrame* frame() const { return m_shape1; }
    QWidget* videoArea() const;
    QWidget* newsBand() const { return m_imgBG; }
    bool announcing() const { return m_announcing; }
    // A poll has been asked for and its answer not handled yet.
    bool polling() const { return m_polling; }

    // The load steps, in the order the window runs them.
    void getpos();
    void start();
    void getData();
    // Asks for the first fill; the list is filled when the feed answers.
    void addFirst();
    // Asks the call feed for the next call; pollHandled() follows once its
    // answer has been dealt with.
    void Timer1_Timer();
    void moveDown();
    void blink();
    // The board's own sound element has no media of its own: nothing to play.
    void playSound() {}
    void addimg1(const QString& path);
    void addimg2(const QString& path);

    // The news ticker as the console switches it: started with the display
    // when "Enable Scroll" is ticked (the messages follow on its first pass);
    // ticked while the display runs: the messages are read and it starts;
    // cleared: it stops, the band goes and the message labels with it.
    void startTicker();
    void getSnews();
    void stopTicker();
    bool tickerOn() const;

    // The announcer reports the end of the announcement it was given.
    void announcementFinished();

signals:
    // A call to announce (token, counter text). Connected to the announcer,
    // which must answer with announcementFinished(); with nothing connected the
    // board does not wait.
    void announce(const QString& token, const QString& counter);
    // The top line now shows call `callauto` (for measurements and tests).
    void lineShown(qint64 callauto);
    // The answer to a poll has been dealt with (for measurements and tests).
    void pollHandled();

private:
    void build();
    void applyDesign();
    // display_media.cpp: ticker, video area, logo and clock.
    void buildMedia();
    void placeMedia();
    void startVideo();
    void applyLogoAndClock();
    void tickerPassEnded();
    void tickerMessages(const QList<TickerMessage>& left, const QList<TickerMessage>& right);
    void showFirst(const QList<CallLine>& lines);
    void pollAnswered(bool found, const CallLine& line);
    void finishPoll();
    void blinkTick();
    void setTopLine(const CallLine& line);
    static QString counterText(const CallLine& line);
    void startAnnouncement(const CallLine& line, bool markAfter);
    QRect area(double left, double top, double width, double height) const;

    Station& m_station;
    std::unique_ptr<CallFeed> m_feed;
    FlexGrid* m_fg;
    FlexGrid* m_fg1;
    QFrame* m_shape1;
    TitleBand* m_title;
    QWidget* m_imgBG;
    QLabel* m_lblScroll0;
    Ticker* m_ticker = nullptr;
    MediaArea* m_media = nullptr;
    QWidget* m_videoPlaceholder = nullptr; // what a preview shows in the video area
    ClockWidget* m_clock = nullptr;
    QLabel* m_logo = nullptr;
    QTimer* m_tickerRetry = nullptr;
    BoardDesign m_design;
    BoardPreview m_preview;
    bool m_lastPassRight = true; // the last pass ran rightwards: the next runs leftwards
    QTimer* m_timer1;
    QTimer* m_timer2;
    QTimer* m_timer6;
    int m_rows = 0;
    int m_columns = 2;
    bool m_headerFlag = false;
    bool m_liveVideo = false;
    int m_blinkCount = 0;
    quint32 m_highlightBack = 0x00FFFF;
    QList<quint32> m_topForeColors; // each call column's own text colour, by column
    bool m_announcing = false;
    bool m_polling = false;
    qint64 m_markAfterAnnouncement = 0;
    QRect m_listRect;
};

} // namespace tv
