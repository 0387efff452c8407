#include "ticker.h"

#include "core/ui/colors.h"
#include "core/ui/twips.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

namespace tv {

namespace {
constexpr int gapTwips = 100;
// The anchor's own width, as the board's design gives it.
constexpr int anchorTwips = 1000;
// A frame of a 60 Hz screen; the position comes from the time elapsed, so an
// irregular frame never makes the text jump.
constexpr int frameMs = 16;
} // namespace

Ticker::Ticker(QWidget* band, QLabel* anchor, QObject* parent)
    : QObject(parent), m_band(band), m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("Timer4"));
    m_labels.append(anchor);
    m_lefts.append(0);
    m_widths.append(anchorTwips);
    m_timer->setInterval(frameMs);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &Ticker::onFrame);
}

Ticker::~Ticker() = default;

void Ticker::getScpos(int windowWidth, int top, int height) {
    m_windowWidth = windowWidth;
    m_band->setGeometry(0, twips::toPixelsY(top), twips::toPixelsX(windowWidth),
                        m_band->height() > 0 ? m_band->height() : twips::toPixelsY(height));
    m_labels[0]->setFixedHeight(qMax(1, twips::toPixelsY(height)));
    m_lefts[0] = windowWidth;
    m_widths[0] = anchorTwips;
    place();
}

void Ticker::unload() {
    while (m_labels.size() > 1) {
        delete m_labels.takeLast();
        m_lefts.removeLast();
        m_widths.removeLast();
    }
}

void Ticker::getSnews(const QList<TickerMessage>& messages, Direction direction) {
    unload();
    m_direction = direction;
    QLabel* anchor = m_labels[0];
    for (const TickerMessage& m : messages) {
        auto* label = new QLabel(m_band);
        label->setObjectName(QStringLiteral("lblScroll"));
        label->setProperty("index", m_labels.size());
        label->setFixedHeight(anchor->height());
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        QFont font(m.font.isEmpty() ? anchor->font().family() : m.font);
        font.setPointSizeF(m.size > 0 ? m.size : 20);
        // Measured as the board's bold font would set it, whatever the message's weight.
        font.setBold(true);
        const int width = twips::fromPixelsX(QFontMetrics(font).horizontalAdvance(m.text)) + 1;
        font.setBold(m.bold);
        font.setItalic(m.italic);
        label->setFont(font);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, colors::toQColor(m.colour));
        label->setPalette(pal);
        label->setText(m.text);
        m_labels.append(label);
        m_widths.append(width);
        m_lefts.append(0);
        label->show();
    }
    resetLbl();
}

QList<int> Ticker::chainLefts(Direction direction, int windowWidth, const QList<int>& widths) {
    QList<int> lefts(widths.size(), 0);
    if (widths.isEmpty()) return lefts;
    if (direction == Direction::Left) {
        lefts[0] = windowWidth;
        for (int i = 1; i < widths.size(); ++i)
            lefts[i] = lefts[i - 1] + widths[i - 1] + gapTwips;
    } else {
        lefts[0] = -widths[0];
        for (int i = 1; i < widths.size(); ++i)
            lefts[i] = lefts[i - 1] - gapTwips - widths[i];
    }
    return lefts;
}

void Ticker::resetLbl() {
    m_offset = 0;
    m_passOver = false;
    m_lefts = chainLefts(m_direction, m_windowWidth, m_widths);
    place();
}

void Ticker::place() {
    const int shift = static_cast<int>(m_offset);
    for (int i = 0; i < m_labels.size(); ++i) {
        const int x =
            twips::toPixelsX(m_lefts[i]) + (m_direction == Direction::Left ? -shift : shift);
        m_labels[i]->setGeometry(x, 0, qMax(1, twips::toPixelsX(m_widths[i])),
                                 m_labels[0]->height());
    }
}

void Ticker::setSpeed(int setting) {
    m_pixelsPerSecond = qBound(1, setting, 500) * 4.0;
}

void Ticker::start() {
    m_clock.start();
    m_timer->start();
}

void Ticker::stop() {
    m_timer->stop();
}

bool Ticker::running() const {
    return m_timer->isActive();
}

void Ticker::advance(qint64 ms) {
    move(ms / 1000.0);
}

void Ticker::move(double seconds) {
    if (m_passOver) return;
    m_offset += m_pixelsPerSecond * seconds;
    place();
    // The pass is over once the last label has left the band on the far side;
    // a chain without messages has nothing to wait for.
    const int last = static_cast<int>(m_labels.size()) - 1;
    const QRect r = m_labels[last]->geometry();
    const bool gone =
        last == 0 || (m_direction == Direction::Left ? r.right() < 0 : r.left() > m_band->width());
    if (gone) {
        m_passOver = true;
        emit passEnded();
    }
}

void Ticker::onFrame() {
    const qint64 ns = m_clock.nsecsElapsed();
    m_clock.restart();
    m_lastFrameNs = ns;
    move(ns / 1e9);
    emit frame();
}

} // namespace tv
