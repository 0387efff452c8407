#include "export_source.h"

#include "core/station.h"
#include "core/ui/activation.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace tv {

namespace {
// A screen just opened is the one the user looks at, even where no window
// manager hands out activations.
class ShownWatch final : public QObject {
public:
    ShownWatch(QWidget* screen, Station& station) : QObject(screen), m_station(station) {
        screen->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Show && watched == parent())
            m_station.exportSource = static_cast<QWidget*>(parent());
        return false;
    }

private:
    Station& m_station;
};
} // namespace

void registerAsExportSourceOnActivation(QWidget* screen, Station& station) {
    QPointer<QWidget> self(screen);
    new ActivationWatch(screen, [self, &station] { station.exportSource = self.data(); });
    new ShownWatch(screen, station);
}

} // namespace tv
