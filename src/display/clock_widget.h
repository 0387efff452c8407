#pragma once

#include "clock_format.h"

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <memory>

class QSvgRenderer;
class QTimer;

namespace tv {

// The board's clock: the time as text in the theme's format, font and colour,
// or an analog face drawn from a clock file.
//
// A clock file is an SVG dial: the elements with the ids "hour", "minute" and
// "second" are the hands, drawn pointing at twelve and turned about the
// centre of the dial; everything else is the face. A hand the file lacks is
// simply not drawn. The clock changes when its time does: every second when
// it shows seconds, else on the minute.
class ClockWidget final : public QWidget {
    Q_OBJECT

public:
    explicit ClockWidget(QWidget* parent = nullptr);
    ~ClockWidget() override;

    // The time shown; the station's clock by default (tests stand at a moment).
    void setTimeSource(std::function<QDateTime()> now);

    // The digital clock.
    void setFormat(const QString& storedFormat);
    void setTextStyle(const QFont& font, const QColor& colour);
    QString text() const; // what the digital clock shows now

    // The analog face; false (and the digital clock stays) when the file is
    // not a clock that can be drawn: `why` says what is wrong with it. An
    // empty name puts the digital clock back.
    bool setClockFile(const QString& file, QString* why = nullptr);
    bool analog() const { return m_analog; }
    bool hasHand(const QString& id) const;

    // Degrees clockwise from twelve for a hand at `time`.
    static double handAngle(const QString& id, const QTime& time);

    // The wait until the shown time next changes.
    int msecsToNextChange() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void tick();
    void schedule();
    QDateTime now() const;

    std::function<QDateTime()> m_now;
    ClockFormat m_format;
    QColor m_colour = Qt::white;
    bool m_analog = false;
    std::unique_ptr<QSvgRenderer> m_face;  // the dial without its hands
    std::unique_ptr<QSvgRenderer> m_hands; // the whole file, to draw hands from
    QRectF m_viewBox;
    QTimer* m_timer;
};

} // namespace tv
