#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QMdiSubWindow;
class QWidget;

namespace tv {

// Runs an action each time a window becomes the active window, as screens
// that refresh themselves then need: a top-level window when the desktop
// activates it, a child of the console when it becomes the console's active
// child (not each time the console itself comes back to the front).
class ActivationWatch final : public QObject {
    Q_OBJECT

public:
    ActivationWatch(QWidget* window, std::function<void()> activated);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QMdiSubWindow* frame);

    QWidget* m_window;
    std::function<void()> m_activated;
    QPointer<QMdiSubWindow> m_frame;
    QMetaObject::Connection m_connection;
};

} // namespace tv
