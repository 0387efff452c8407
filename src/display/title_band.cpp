#include "title_band.h"

#include <QFontMetrics>
#include <QPainter>

namespace tv {

void TitleBand::step() {
    if (!m_scrolling || m_text.isEmpty()) return;
    // Enters at the right edge, leaves at the left, then comes round again.
    const int textWidth = QFontMetrics(font()).horizontalAdvance(m_text);
    if (--m_offset < -(width() + textWidth)) m_offset = 0;
    update();
}

void TitleBand::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_back);
    p.setPen(m_fore);
    p.setFont(font());
    const QFontMetrics fm(font());
    const int x = m_scrolling ? width() + m_offset : 0;
    p.drawText(x, fm.ascent(), m_text);
}

} // namespace tv
