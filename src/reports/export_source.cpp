#include "export_source.h"

#include "core/station.h"

#include <QEvent>
#include <QMdiArea>
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
        // A screen just opened is the one the user looks at, even where no
        // window manager hands out activations.
        if (e->type() == QEvent::WindowActivate ||
            (watched == m_screen && e->type() == QEvent::Show))
            m_station.exportSource = m_screen.data();
        if (watched == m_screen && e->type() == QEvent::ParentChange) watchFrame();
        return false;
    }

private:
    // Inside the console the child window frame is what gets activated.
    void watchFrame() {
        auto* sub = qobject_cast<QMdiSubWindow*>(m_screen->parentWidget());
        if (!sub || sub == m_frame) return;
        m_frame = sub;
        sub->installEventFilter(this);
        // The console's area says which child is active, focus or not.
        if (QMdiArea* area = sub->mdiArea())
            connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* active) {
                if (active && active == m_frame) m_station.exportSource = m_screen.data();
            });
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
