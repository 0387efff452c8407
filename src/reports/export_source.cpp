#include "export_source.h"

#include "core/station.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QPointer>

namespace tv {

namespace {

class ActivationWatch final : public QObject {
public:
    ActivationWatch(QWidget* screen, Station& station)
        : QObject(screen), m_screen(screen), m_station(station) {
        screen->installEventFilter(this);
        watchFrame();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::WindowActivate) m_station.exportSource = m_screen.data();
        if (watched == m_screen && e->type() == QEvent::ParentChange) watchFrame();
        return false;
    }

private:
    // Inside the console the child window frame is what gets activated.
    void watchFrame() {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(m_screen->parentWidget()))
            if (sub != m_frame) {
                m_frame = sub;
                sub->installEventFilter(this);
            }
    }
    QPointer<QWidget> m_screen;
    QPointer<QMdiSubWindow> m_frame;
    Station& m_station;
};

} // namespace

void registerAsExportSourceOnActivation(QWidget* screen, Station& station) {
    new ActivationWatch(screen, station);
}

} // namespace tv
