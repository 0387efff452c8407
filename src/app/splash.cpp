#include "splash.h"

#include "core/station.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace tv {

SplashWindow::SplashWindow(Station& station, HandOver handOver, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_station(station), m_handOver(std::move(handOver)) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Tallyvox"));
    setFixedSize(520, 300);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_station.loadConnectionSettings();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(showMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::timeUp);
    m_timer->start();
}

void SplashWindow::timeUp() {
    if (m_handOver) m_handOver(m_station);
    close();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, height());
    bg.setColorAt(0, QColor(0x0b, 0x3d, 0x5c));
    bg.setColorAt(1, QColor(0x06, 0x1f, 0x30));
    p.fillRect(rect(), bg);

    // A ticket with a number: what the program is about, at a glance.
    const QRectF ticket(40, 70, 130, 160);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf1, 0xe8));
    p.drawRoundedRect(ticket, 10, 10);
    p.setPen(QColor(0x0b, 0x3d, 0x5c));
    QFont number(QStringLiteral("Liberation Sans"), 34, QFont::Bold);
    p.setFont(number);
    p.drawText(ticket.adjusted(0, 20, 0, -50), Qt::AlignCenter, QStringLiteral("A12"));
    p.setPen(QPen(QColor(0x0b, 0x3d, 0x5c), 1, Qt::DashLine));
    p.drawLine(QPointF(ticket.left() + 12, ticket.bottom() - 45),
               QPointF(ticket.right() - 12, ticket.bottom() - 45));
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    p.drawText(ticket.adjusted(0, 0, 0, -14), Qt::AlignHCenter | Qt::AlignBottom,
               QStringLiteral("Counter 3"));

    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 36, QFont::Bold));
    p.drawText(QRectF(200, 80, 300, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tallyvox"));
    p.setPen(QColor(0xb8, 0xd4, 0xe6));
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    p.drawText(QRectF(202, 140, 300, 50), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Queue management for service halls"));
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    p.drawText(QRectF(202, 240, 300, 20), Qt::AlignLeft,
               QStringLiteral("Version %1 · station \"%2\"")
                   .arg(QCoreApplication::applicationVersion(), m_station.profile()));
}

} // namespace tv
