#pragma once

#include "board_content.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QTimer;
class QWidget;

namespace tv {

// The board's news ticker: the messages as one chain of labels on the news
// band, laid out in twips from the right edge of the window, 100 twips apart,
// and moved smoothly leftwards, frame by frame, at the station's speed
// (pixels per second = speed setting x 4: the default 30 is a calm 120 px/s).
// When the last label has left the screen the pass is over: the board reads
// the messages again and the chain starts over at the right edge. Messages
// meant to run rightwards get passes of their own, mirrored, in turn with
// the leftward ones.
//
// Only the band's labels move; nothing else on the board is repainted for it.
class Ticker final : public QObject {
    Q_OBJECT

public:
    enum class Direction { Left, Right };

    // `band` is the board's imgBG, `anchor` its lblScroll element 0.
    Ticker(QWidget* band, QLabel* anchor, QObject* parent = nullptr);
    ~Ticker() override;

    // Places the anchor just beyond the right edge of a window `windowWidth`
    // twips wide, and the band at `top` twips, `height` twips high.
    void getScpos(int windowWidth, int top, int height);
    // Builds the chain of `messages` (element 1 up) after the anchor.
    void getSnews(const QList<TickerMessage>& messages, Direction direction = Direction::Left);
    // Lays the chain out again from the edge it starts at.
    void resetLbl();
    // Where the labels of a chain go (in twips, element 0 first): leftward
    // chains start just beyond the right edge of a window `windowWidth` wide,
    // each label 100 twips after the one before; rightward ones mirror that
    // beyond the left edge.
    static QList<int> chainLefts(Direction direction, int windowWidth, const QList<int>& widths);
    // Removes every message label (element 1 up).
    void unload();

    // The labels from element 0 (the anchor) up, and their lefts in twips as
    // laid out (before any movement).
    QList<QLabel*> labels() const { return m_labels; }
    QList<int> layoutLefts() const { return m_lefts; }
    QList<int> layoutWidths() const { return m_widths; }
    Direction direction() const { return m_direction; }

    void setSpeed(int setting);
    double pixelsPerSecond() const { return m_pixelsPerSecond; }

    void start();
    void stop();
    bool running() const;
    // Moves the chain as `ms` milliseconds of running would; the frame timer
    // calls this with the time since the last frame.
    void advance(qint64 ms);
    // How far the chain has moved in this pass, in pixels.
    double offset() const { return m_offset; }

    // The interval between the last frames, for the benchmark.
    qint64 lastFrameNs() const { return m_lastFrameNs; }

signals:
    // The last label has left the screen (or there was none): time to read
    // the messages again and start over.
    void passEnded();
    void frame();

private:
    void place();
    void move(double seconds);
    void onFrame();

    QWidget* m_band;
    QList<QLabel*> m_labels; // [0] is the anchor
    QList<int> m_lefts;      // twips, as laid out
    QList<int> m_widths;     // twips
    int m_windowWidth = 0;   // twips
    Direction m_direction = Direction::Left;
    double m_pixelsPerSecond = 120;
    double m_offset = 0;
    QTimer* m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastFrameNs = 0;
    bool m_passOver = false;
};

} // namespace tv
