#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tv {

// What the layout designer places: a box (left, top, width, height) or a
// line from (X1, Y1) to (X2, Y2), in twips of the designer's client area.
struct DesignElement {
    bool isLine = false;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
};

// The rectangle being dragged in the layout designer: four edges that may
// cross while the mouse pulls a handle past the opposite side, and for lines
// which way the line runs. NormalizeRect puts the edges back in order.
class cRect final {
public:
    static constexpr int RightToLeft = 1; // a line whose X2 < X1
    static constexpr int BottomToTop = 2; // a line whose Y2 < Y1

    cRect() = default;
    cRect(int left, int top, int right, int bottom)
        : m_left(left), m_top(top), m_right(right), m_bottom(bottom) {}

    int Left() const { return m_left; }
    void setLeft(int v) { m_left = v; }
    int Top() const { return m_top; }
    void setTop(int v) { m_top = v; }
    int Right() const { return m_right; }
    void setRight(int v) { m_right = v; }
    int Bottom() const { return m_bottom; }
    void setBottom(int v) { m_bottom = v; }
    int Width() const { return m_right - m_left; }
    void setWidth(int v) { m_right = m_left + v; }
    int Height() const { return m_bottom - m_top; }
    void setHeight(int v) { m_bottom = m_top + v; }
    int flags() const { return m_flags; }

    void SetRectToCtrl(const DesignElement& element);
    void SetCtrlToRect(DesignElement& element);
    // Between screen pixels and twips of a client area whose top-left corner
    // is at `clientOrigin` on the screen, at `perPixelX` / `perPixelY` twips a pixel.
    void ScreenToTwips(const QPoint& clientOrigin, double perPixelX, double perPixelY);
    void TwipsToScreen(const QPoint& clientOrigin, double perPixelX, double perPixelY);
    void NormalizeRect();
    bool PtInRect(int x, int y) const;

    QRect toQRect() const { return QRect(m_left, m_top, Width(), Height()); }

private:
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    int m_flags = 0;
};

// The eight sizing handles around a selected rectangle, 0 at the top-left
// corner going clockwise to 7 in the middle of the left edge.
namespace handles {

inline constexpr int count = 8;
inline constexpr int sizePixels = 5;

// Where handle `i` goes for the rectangle `box` (twips): its top-left corner,
// for a handle of `size` twips, `half` being half a pixel in twips rounded.
QPoint place(int i, const QRect& box, const QSize& size, const QPoint& half);

// Dragging handle `i` to (x, y) moves the edges that handle stands for.
void drag(cRect& r, int i, int x, int y);

} // namespace handles
} // namespace tv
