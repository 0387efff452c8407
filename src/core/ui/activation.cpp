#include "activation.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QWidget>

namespace tv {

ActivationWatch::ActivationWatch(QWidget* window, std::function<void()> activated)
    : QObject(window), m_window(window), m_activated(std::move(activated)) {
    window->installEventFilter(this);
    follow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
}

void ActivationWatch::follow(QMdiSubWindow* frame) {
    if (frame == m_frame) return;
    disconnect(m_connection);
    m_frame = frame;
    if (!frame) return;
    m_connection = connect(frame, &QMdiSubWindow::windowStateChanged, this,
                           [this](Qt::WindowStates before, Qt::WindowStates now) {
                               if (!(before & Qt::WindowActive) && (now & Qt::WindowActive))
                                   m_activated();
                           });
}

bool ActivationWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window) {
        if (event->type() == QEvent::ParentChange)
            follow(qobject_cast<QMdiSubWindow*>(m_window->parentWidget()));
        else if (event->type() == QEvent::WindowActivate && !m_frame && m_window->isWindow())
            m_activated();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tv
