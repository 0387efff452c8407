#include "layout_designer.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/dialogs.h"
#include "core/ui/twips.h"
#include "theme_ops.h"
#include "theme_preview.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <cmath>

namespace tv {

namespace {
// The areas a press can select, in the window's element order.
const int elementOrder[] = {layout::Logo,  layout::Time,  layout::Table,
                            layout::Video, layout::Title, layout::News};

const char* const areaColours[layout::areaCount] = {"#f6d6a8", "#c9e7c3", "#c7dcf5", "#e3c8ee",
                                                    "",        "#f5f0b4", "#f3c4c4"};

const Qt::CursorShape handleCursors[handles::count] = {
    Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
    Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor};

const QString designOff =
    QStringLiteral("Menu > Design lets you move the areas and size them by their handles.");
const QString designOn = QStringLiteral(
    "Drag an area to move it, or its handles to size it. Menu > Save keeps the layout.");
} // namespace

// The outline that follows the mouse while an area is dragged: drawn over
// everything on the designer, black with a white dash so it shows on any colour.
class LayoutDesigner::Band final : public QWidget {
public:
    explicit Band(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    void setBand(const QRect& r) {
        m_rect = r;
        update();
    }
    QRect band() const { return m_rect; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_rect.isNull()) return;
        QPainter p(this);
        const QRect r = m_rect.normalized();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(r);
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.drawRect(r);
    }

private:
    QRect m_rect;
};

LayoutDesigner::LayoutDesigner(Station& station, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::Tool), m_station(station), m_screen(hallScreen()),
      m_surface(new QWidget(this)), m_band(nullptr), m_status(new QLabel(this)) {
    setObjectName(QStringLiteral("frmPos"));
    setWindowTitle(layout::info(layout::Form).caption);
    m_station.openConnection();

    QMenu* menu = menuBar()->addMenu(QStringLiteral("Menu"));
    menu->setObjectName(QStringLiteral("mnuMenu"));
    m_designAction = menu->addAction(QStringLiteral("Design"), this, &LayoutDesigner::design);
    m_designAction->setObjectName(QStringLiteral("mnuDesign"));
    m_designAction->setCheckable(true);
    QAction* saveAction = menu->addAction(QStringLiteral("Save"), this, &LayoutDesigner::save);
    saveAction->setObjectName(QStringLiteral("mnuSave"));
    QAction* exitAction = menu->addAction(QStringLiteral("Exit"), this, &QWidget::close);
    exitAction->setObjectName(QStringLiteral("mnuExit"));

    m_surface->setObjectName(QStringLiteral("surface"));
    m_surface->setAutoFillBackground(true);
    m_surface->setPalette(QPalette(QColor(0x30, 0x30, 0x38)));
    m_surface->installEventFilter(this);
    setCentralWidget(m_surface);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_status, 1);
    statusBar()->setSizeGripEnabled(false);

    for (int a = 0; a < layout::areaCount; ++a) {
        if (a == layout::Form) {
            m_elements.append(nullptr);
            continue;
        }
        auto* l = new QLabel(QLatin1String(layout::info(a).caption), m_surface);
        l->setObjectName(QLatin1String(layout::info(a).element));
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("QLabel { background: %1; border: 1px solid #202020; "
                                        "color: #202020; }")
                             .arg(QLatin1String(areaColours[a])));
        l->installEventFilter(this);
        m_elements.append(l);
    }
    // Handles are in front of every area.
    for (int i = 0; i < handles::count; ++i) {
        auto* h = new QWidget(m_surface);
        h->setObjectName(QStringLiteral("picHandle"));
        h->setProperty("index", i);
        h->setAutoFillBackground(true);
        h->setPalette(QPalette(Qt::black));
        h->resize(handles::sizePixels, handles::sizePixels);
        h->setCursor(handleCursors[i]);
        h->installEventFilter(this);
        h->hide();
        m_handles.append(h);
    }
    m_band = new Band(m_surface);
    m_band->hide();

    hor();
    m_status->setText(designOff);
}

QPoint LayoutDesigner::origin() const {
    return m_surface->mapToGlobal(QPoint(0, 0));
}

void LayoutDesigner::setSurfaceSize(const QSize& pixels) {
    const QSize frame = size() - m_surface->size();
    m_surface->resize(pixels);
    // The window grows by its menu and status line around the half-size screen.
    resize(pixels +
           (frame.isValid() && isVisible()
                ? frame
                : QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height())));
    m_band->setGeometry(QRect(QPoint(0, 0), pixels));
    // A theme without a stored layout gets the standard one for this shape.
    if (m_standard) {
        m_boxes = layout::defaultLayout(twips::fromPixels(pixels));
        for (int a = 0; a < layout::areaCount; ++a)
            placeElement(a);
    }
}

void LayoutDesigner::hor() {
    const QSize half(m_screen.width() / 2, m_screen.height() / 2);
    setSurfaceSize(half.width() >= half.height() ? half : half.transposed());
}

void LayoutDesigner::ver() {
    const QSize half(m_screen.width() / 2, m_screen.height() / 2);
    setSurfaceSize(half.width() >= half.height() ? half.transposed() : half);
}

void LayoutDesigner::placeElement(int area) {
    if (QLabel* l = m_elements.value(area)) l->setGeometry(twips::toPixels(m_boxes[area]));
}

void LayoutDesigner::setBox(int area, const QRect& twips) {
    m_boxes[area] = twips;
    placeElement(area);
    if (area == m_selected && handlesShown()) showHandles();
}

void LayoutDesigner::getData() {
    const auto key = ThemeOps::keyOf(m_ref);
    if (!key) return;
    try {
        layout::Boxes boxes = m_boxes;
        QStringList skipped;
        if (!LayoutOps(m_station).getData(*key, boxes, &skipped)) return;
        m_boxes = boxes;
        m_standard = false;
        for (int a = 0; a < layout::areaCount; ++a)
            placeElement(a);
        // The window comes back where it was kept, as long as that is on a screen.
        const QRect form = m_boxes[layout::Form];
        QPoint at = twips::toPixels(form.topLeft());
        if (const QScreen* s = QGuiApplication::screenAt(at) ? QGuiApplication::screenAt(at)
                                                             : QGuiApplication::primaryScreen()) {
            const QRect avail = s->availableGeometry();
            at.setX(std::clamp(at.x(), avail.left(), qMax(avail.left(), avail.right() - 200)));
            at.setY(std::clamp(at.y(), avail.top(), qMax(avail.top(), avail.bottom() - 200)));
        }
        move(at);
        if (!skipped.isEmpty())
            m_status->setText(QStringLiteral("No usable value in %1: left where they were.")
                                  .arg(skipped.join(QStringLiteral(", "))));
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
}

void LayoutDesigner::saveData() {
    const auto key = ThemeOps::keyOf(m_ref);
    if (!key) return;
    m_boxes[layout::Form] = QRect(twips::fromPixels(pos()), twips::fromPixels(m_surface->size()));
    try {
        LayoutOps(m_station).saveData(*key, m_boxes);
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
        return;
    }
    m_status->setText(QStringLiteral("Saved."));
    emit saved();
}

void LayoutDesigner::design() {
    const bool wasOn = m_design;
    m_design = !m_design;
    if (wasOn) endSelection();
    m_designAction->setChecked(m_design);
    m_status->setText(m_design ? designOn : designOff);
}

void LayoutDesigner::save() {
    design();
    if (!m_ref.isEmpty()) saveData();
}

bool LayoutDesigner::handlesShown() const {
    return m_handles.first()->isVisible() || !m_handles.first()->isHidden();
}

QRect LayoutDesigner::band() const {
    return m_band->isHidden() ? QRect() : m_band->band();
}

QString LayoutDesigner::status() const {
    return m_status->text();
}

bool LayoutDesigner::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_surface && event->type() == QEvent::Resize)
        m_band->setGeometry(m_surface->rect());
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return QMainWindow::eventFilter(watched, event);
    auto* me = static_cast<QMouseEvent*>(event);
    const QPoint global = me->globalPosition().toPoint();
    if (type == QEvent::MouseButtonPress) {
        if (!m_design || me->button() != Qt::LeftButton) return false;
        press(watched, global, m_surface->mapFromGlobal(global));
        return true;
    }
    if (m_mode == 0) return false;
    if (type == QEvent::MouseMove) {
        move(global);
    } else if (me->button() == Qt::LeftButton) {
        release();
    }
    return true;
}

void LayoutDesigner::press(QObject* on, const QPoint& global, const QPoint& local) {
    const int handle = m_handles.indexOf(static_cast<QWidget*>(on));
    if (handle >= 0 && m_selected >= 0) {
        startResize(handle);
        return;
    }
    const int area = m_elements.indexOf(static_cast<QLabel*>(on));
    if (area >= 0 && on) {
        select(area, global);
        return;
    }
    // The background: the first area under the press, in element order.
    const QPoint at = twips::fromPixels(local);
    for (int a : elementOrder) {
        if (m_elements.at(a)->isHidden()) continue;
        cRect r;
        DesignElement e;
        e.left = m_boxes[a].left();
        e.top = m_boxes[a].top();
        e.width = m_boxes[a].width();
        e.height = m_boxes[a].height();
        r.SetRectToCtrl(e);
        if (r.PtInRect(at.x(), at.y())) {
            select(a, global);
            return;
        }
    }
    endSelection();
}

cRect LayoutDesigner::screenRect(int area) const {
    DesignElement e;
    e.left = m_boxes[area].left();
    e.top = m_boxes[area].top();
    e.width = m_boxes[area].width();
    e.height = m_boxes[area].height();
    cRect r;
    r.SetRectToCtrl(e);
    r.TwipsToScreen(origin(), twips::perPixelX(), twips::perPixelY());
    return r;
}

void LayoutDesigner::select(int area, const QPoint& global) {
    hideHandles();
    m_selected = area;
    m_work = screenRect(area);
    m_grab = global - QPoint(m_work.Left(), m_work.Top());
    m_moved = false;
    m_mode = 1;
    drawBand(true);
    // Every move and the release come here, wherever the mouse goes.
    m_surface->grabMouse();
}

void LayoutDesigner::startResize(int handle) {
    m_work = screenRect(m_selected);
    m_handle = handle;
    hideHandles();
    m_moved = false;
    m_mode = 2;
    drawBand(true);
    m_surface->grabMouse(handleCursors[handle]);
}

QPoint LayoutDesigner::confine(const QPoint& global) const {
    const QRect r(origin(), m_surface->size());
    return {std::clamp(global.x(), r.left(), r.right()),
            std::clamp(global.y(), r.top(), r.bottom())};
}

void LayoutDesigner::move(const QPoint& global) {
    // The cursor stays inside the designer while it drags.
    const QPoint p = confine(global);
    if (p != global && QCursor::pos() == global) QCursor::setPos(p);
    if (m_mode == 1) {
        const int w = m_work.Width();
        const int h = m_work.Height();
        m_work.setLeft(p.x() - m_grab.x());
        m_work.setTop(p.y() - m_grab.y());
        m_work.setWidth(w);
        m_work.setHeight(h);
    } else {
        handles::drag(m_work, m_handle, p.x(), p.y());
    }
    m_moved = true;
    drawBand(true);
}

void LayoutDesigner::release() {
    drawBand(false);
    // A press without a drag leaves the area exactly where it was.
    if (m_moved && m_selected >= 0) {
        cRect r = m_work;
        r.ScreenToTwips(origin(), twips::perPixelX(), twips::perPixelY());
        DesignElement e;
        r.SetCtrlToRect(e);
        m_boxes[m_selected] = QRect(e.left, e.top, e.width, e.height);
        placeElement(m_selected);
    }
    showHandles();
    m_surface->releaseMouse();
    m_mode = 0;
}

void LayoutDesigner::endSelection() {
    hideHandles();
    m_selected = -1;
    m_mode = 0;
}

void LayoutDesigner::showHandles() {
    if (m_selected < 0) return;
    const double tx = twips::perPixelX();
    const double ty = twips::perPixelY();
    const QSize size(static_cast<int>(std::lround(handles::sizePixels * tx)),
                     static_cast<int>(std::lround(handles::sizePixels * ty)));
    const QPoint half(static_cast<int>(std::lround(tx * 0.5)),
                      static_cast<int>(std::lround(ty * 0.5)));
    for (int i = 0; i < handles::count; ++i) {
        const QPoint at = handles::place(i, m_boxes[m_selected], size, half);
        m_handles[i]->move(twips::toPixels(at));
        m_handles[i]->show();
        m_handles[i]->raise();
    }
}

void LayoutDesigner::hideHandles() {
    for (QWidget* h : m_handles)
        h->hide();
}

void LayoutDesigner::drawBand(bool on) {
    if (!on) {
        m_band->setBand(QRect());
        m_band->hide();
        return;
    }
    // Drawn upright also while a handle pulls the area inside out.
    cRect r = m_work;
    r.NormalizeRect();
    m_band->setBand(r.toQRect().translated(-origin()));
    m_band->show();
    m_band->raise();
}

} // namespace tv
