#include "clock_widget.h"

#include <QDomDocument>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

namespace tv {

namespace {
const QStringList handIds{QStringLiteral("hour"), QStringLiteral("minute"),
                          QStringLiteral("second")};

// Hides the elements with these ids (the hands) so the rest draws as the face.
void hideHands(QDomElement e, const QStringList& ids) {
    for (; !e.isNull(); e = e.nextSiblingElement()) {
        if (ids.contains(e.attribute(QStringLiteral("id"))))
            e.setAttribute(QStringLiteral("display"), QStringLiteral("none"));
        else
            hideHands(e.firstChildElement(), ids);
    }
}
} // namespace

ClockWidget::ClockWidget(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("lblTime"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &ClockWidget::tick);
    setFormat(QStringLiteral("hh:nn"));
}

ClockWidget::~ClockWidget() = default;

void ClockWidget::setTimeSource(std::function<QDateTime()> now) {
    m_now = std::move(now);
    update();
    schedule();
}

QDateTime ClockWidget::now() const {
    return m_now ? m_now() : QDateTime::currentDateTime();
}

void ClockWidget::setFormat(const QString& storedFormat) {
    m_format = ClockFormat::convert(storedFormat.trimmed().isEmpty() ? QStringLiteral("hh:nn")
                                                                     : storedFormat);
    update();
    schedule();
}

void ClockWidget::setTextStyle(const QFont& font, const QColor& colour) {
    setFont(font);
    m_colour = colour;
    update();
}

QString ClockWidget::text() const {
    return now().toString(m_format.qtFormat);
}

bool ClockWidget::setClockFile(const QString& file, QString* why) {
    const auto fail = [&](const QString& reason) {
        if (why) *why = reason;
        m_analog = false;
        m_face.reset();
        m_hands.reset();
        update();
        schedule();
        return false;
    };
    if (file.isEmpty()) { // the text clock again
        fail(QString());
        return true;
    }
    if (file.endsWith(QStringLiteral(".swf"), Qt::CaseInsensitive))
        return fail(QStringLiteral("Flash clock files cannot be shown"));
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return fail(QStringLiteral("%1 cannot be read").arg(file));
    const QByteArray svg = f.read(8 * 1024 * 1024);
    QDomDocument doc;
    if (!doc.setContent(svg) || doc.documentElement().tagName() != QStringLiteral("svg"))
        return fail(QStringLiteral("%1 is not an SVG picture").arg(file));
    auto hands = std::make_unique<QSvgRenderer>(svg);
    if (!hands->isValid()) return fail(QStringLiteral("%1 is not an SVG picture").arg(file));
    bool any = false;
    for (const QString& id : handIds)
        any = any || hands->elementExists(id);
    if (!any)
        return fail(QStringLiteral("%1 has no clock hands (elements \"hour\", \"minute\", "
                                   "\"second\")")
                        .arg(file));
    hideHands(doc.documentElement(), handIds);
    m_face = std::make_unique<QSvgRenderer>(doc.toByteArray());
    m_hands = std::move(hands);
    m_viewBox = m_hands->viewBoxF();
    if (m_viewBox.isEmpty()) m_viewBox = QRectF(QPointF(0, 0), m_hands->defaultSize());
    m_analog = true;
    update();
    schedule();
    return true;
}

bool ClockWidget::hasHand(const QString& id) const {
    return m_analog && m_hands->elementExists(id);
}

double ClockWidget::handAngle(const QString& id, const QTime& t) {
    const double s = t.second() + t.msec() / 1000.0;
    if (id == QStringLiteral("hour"))
        return (t.hour() % 12 + t.minute() / 60.0 + s / 3600.0) * 30.0;
    if (id == QStringLiteral("minute")) return (t.minute() + s / 60.0) * 6.0;
    return t.second() * 6.0;
}

int ClockWidget::msecsToNextChange() const {
    const QTime t = now().time();
    const bool everySecond = m_format.hasSeconds || hasHand(QStringLiteral("second"));
    const int ms = t.msec();
    if (everySecond) return 1000 - ms;
    return (60 - t.second()) * 1000 - ms;
}

void ClockWidget::schedule() {
    if (!isVisible()) {
        m_timer->stop();
        return;
    }
    m_timer->start(qMax(1, msecsToNextChange()));
}

void ClockWidget::tick() {
    update();
    schedule();
}

void ClockWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    schedule();
}

void ClockWidget::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_timer->stop();
}

void ClockWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!m_analog) {
        p.setPen(m_colour);
        p.setFont(font());
        p.drawText(rect(), Qt::AlignCenter, text());
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    // The dial keeps its shape, centred in the rectangle.
    QSizeF size = m_viewBox.size();
    size.scale(QSizeF(rect().size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2),
                        size);
    m_face->render(&p, target);
    p.translate(target.topLeft());
    p.scale(target.width() / m_viewBox.width(), target.height() / m_viewBox.height());
    p.translate(-m_viewBox.topLeft());
    const QPointF centre = m_viewBox.center();
    const QTime t = now().time();
    for (const QString& id : handIds) {
        if (!m_hands->elementExists(id)) continue;
        p.save();
        p.translate(centre);
        p.rotate(handAngle(id, t));
        p.translate(-centre);
        m_hands->render(&p, id, m_hands->boundsOnElement(id));
        p.restore();
    }
}

} // namespace tv
