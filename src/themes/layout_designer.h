#pragma once

#include "c_rect.h"
#include "layout_ops.h"

#include <QLabel>
#include <QList>
#include <QMainWindow>

class QAction;

namespace tv {

class Station;

// The layout designer (frmPos): the hall screen at half size with the six
// areas of a theme's board. In design mode a press selects an area and a
// drag moves it; the eight handles around the selected area resize it. While
// the mouse drags, the designer keeps the mouse to itself, the cursor stays
// inside it and an outline follows the mouse; the area takes its new place
// when the button is let go. Menu > Save keeps the areas in the theme's
// position row, where the board reads them at twice the size.
class LayoutDesigner final : public QMainWindow {
    Q_OBJECT

public:
    LayoutDesigner(Station& station, QWidget* parent = nullptr);

    QString ref() const { return m_ref; }
    void setRef(const QString& theme) { m_ref = theme; }
    // The theme's stored areas, and the window's place; values that cannot be
    // read keep their place and are named in the status line.
    void getData();
    // The window's size for a landscape (hor) or portrait (ver) hall screen.
    void hor();
    void ver();
    void saveData();

    // The menu: Design toggles design mode; Save toggles it too and saves.
    void design();
    void save();

    // The hall screen (the station's own unless told).
    void setScreenSize(const QSize& screen) { m_screen = screen; }
    bool designMode() const { return m_design; }
    int dragMode() const { return m_mode; }
    int selected() const { return m_selected; } // an area, -1 for none
    QRect box(int area) const { return m_boxes[area]; }
    void setBox(int area, const QRect& twips);
    QWidget* surface() const { return m_surface; }
    QLabel* element(int area) const { return m_elements.value(area); }
    QWidget* handle(int i) const { return m_handles.value(i); }
    bool handlesShown() const;
    QRect band() const; // the outline, in the surface's pixels; empty when none
    QString status() const;

signals:
    void saved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Band;

    void setSurfaceSize(const QSize& pixels);
    void placeElement(int area);
    void press(QObject* on, const QPoint& global, const QPoint& local);
    void select(int area, const QPoint& global);
    void startResize(int handle);
    void move(const QPoint& global);
    void release();
    void endSelection();
    void showHandles();
    void hideHandles();
    void drawBand(bool on);
    QPoint confine(const QPoint& global) const;
    QPoint origin() const;
    cRect screenRect(int area) const;

    Station& m_station;
    QString m_ref;
    QSize m_screen;
    QWidget* m_surface;
    Band* m_band;
    QList<QLabel*> m_elements; // by area; the window itself has none
    QList<QWidget*> m_handles;
    QLabel* m_status;
    QAction* m_designAction;
    layout::Boxes m_boxes;

    bool m_design = false;
    int m_selected = -1;
    int m_mode = 0; // 0 none, 1 moving, 2 resizing
    int m_handle = 0;
    QPoint m_grab;
    cRect m_work;
    bool m_moved = false;
    bool m_standard = true; // the areas are the standard ones, none stored
};

} // namespace tv
