#include "c_rect.h"

#include <cmath>
#include <utility>

namespace tv {

namespace {
int scaled(int v, double by) {
    return static_cast<int>(std::lround(v * by));
}
} // namespace

void cRect::SetRectToCtrl(const DesignElement& e) {
    if (e.isLine) {
        m_left = e.x1;
        m_top = e.y1;
        m_right = e.x2;
        m_bottom = e.y2;
        m_flags = 0;
        if (e.x2 < e.x1) m_flags |= RightToLeft;
        if (e.y2 < e.y1) m_flags |= BottomToTop;
        return;
    }
    m_left = e.left;
    m_top = e.top;
    m_right = e.left + e.width;
    m_bottom = e.top + e.height;
}

void cRect::SetCtrlToRect(DesignElement& e) {
    if (e.isLine) {
        // The line keeps running the way it ran before it was dragged.
        NormalizeRect();
        e.x1 = m_flags & RightToLeft ? m_right : m_left;
        e.x2 = m_flags & RightToLeft ? m_left : m_right;
        e.y1 = m_flags & BottomToTop ? m_bottom : m_top;
        e.y2 = m_flags & BottomToTop ? m_top : m_bottom;
        return;
    }
    NormalizeRect();
    e.left = m_left;
    e.top = m_top;
    e.width = Width();
    e.height = Height();
}

void cRect::ScreenToTwips(const QPoint& origin, double perPixelX, double perPixelY) {
    m_left = scaled(m_left - origin.x(), perPixelX);
    m_right = scaled(m_right - origin.x(), perPixelX);
    m_top = scaled(m_top - origin.y(), perPixelY);
    m_bottom = scaled(m_bottom - origin.y(), perPixelY);
}

void cRect::TwipsToScreen(const QPoint& origin, double perPixelX, double perPixelY) {
    m_left = scaled(m_left, 1.0 / perPixelX) + origin.x();
    m_right = scaled(m_right, 1.0 / perPixelX) + origin.x();
    m_top = scaled(m_top, 1.0 / perPixelY) + origin.y();
    m_bottom = scaled(m_bottom, 1.0 / perPixelY) + origin.y();
}

void cRect::NormalizeRect() {
    if (m_right < m_left) std::swap(m_left, m_right);
    if (m_bottom < m_top) std::swap(m_top, m_bottom);
}

bool cRect::PtInRect(int x, int y) const {
    return m_left <= x && x < m_right && m_top <= y && y < m_bottom;
}

namespace handles {

QPoint place(int i, const QRect& box, const QSize& size, const QPoint& half) {
    const int L = box.left();
    const int T = box.top();
    const int W = box.width();
    const int H = box.height();
    const int hw = size.width() / 2;
    const int hh = size.height() / 2;
    const int px = half.x();
    const int py = half.y();
    switch (i) {
    case 0:
        return {L - hw + px, T - hh + py};
    case 1:
        return {L + W / 2 - hw, T - hh + py};
    case 2:
        return {L + W - hw - px, T - hh + py};
    case 3:
        return {L + W - hw - px, T + H / 2 - hh};
    case 4:
        return {L + W - hw - px, T + H - hh - py};
    case 5:
        return {L + W / 2 - hw, T + H - hh - py};
    case 6:
        return {L - hw + px, T + H - hh - py};
    default:
        return {L - hw + px, T + H / 2 - hh};
    }
}

void drag(cRect& r, int i, int x, int y) {
    switch (i) {
    case 0:
        r.setLeft(x);
        r.setTop(y);
        break;
    case 1:
        r.setTop(y);
        break;
    case 2:
        r.setRight(x);
        r.setTop(y);
        break;
    case 3:
        r.setRight(x);
        break;
    case 4:
        r.setRight(x);
        r.setBottom(y);
        break;
    case 5:
        r.setBottom(y);
        break;
    case 6:
        r.setLeft(x);
        r.setBottom(y);
        break;
    case 7:
        r.setLeft(x);
        break;
    default:
        break;
    }
}

} // namespace handles
} // namespace tv
