// Drawing of FlexGrid cells, shared by the body (through the delegate) and the headers.

#include "flex_grid.h"
#include "flex_grid_parts.h"

#include <QPaintEvent>
#include <QPainter>

namespace tv {

namespace {

constexpr int kTextMargin = 3; // pixels left and right of a cell's text

int effectiveAlignment(int alignment) {
    if ((alignment & Qt::AlignHorizontal_Mask) == 0) alignment |= Qt::AlignLeft;
    if ((alignment & Qt::AlignVertical_Mask) == 0) alignment |= Qt::AlignVCenter;
    return alignment;
}

} // namespace

FlexGridDelegate::FlexGridDelegate(FlexGrid* grid) : QAbstractItemDelegate(grid), m_grid(grid) {}

void FlexGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    m_grid->paintCell(*painter, option.rect, index.row() + m_grid->fixedRows(),
                      index.column() + m_grid->fixedCols());
}

QSize FlexGridDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
    return {m_grid->colPixels(index.column() + m_grid->fixedCols()),
            m_grid->rowPixels(index.row() + m_grid->fixedRows())};
}

FlexGridHeader::FlexGridHeader(Qt::Orientation orientation, FlexGrid* grid)
    : QHeaderView(orientation, grid), m_grid(grid) {
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(0);
    setHighlightSections(false);
    setSectionsClickable(false);
}

void FlexGridHeader::paintEvent(QPaintEvent* event) {
    m_grid->m_repaintPending = false;
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, colors::toQColor(m_grid->backColorBkg()));
    const bool horizontal = orientation() == Qt::Horizontal;
    if (count() == 0 || (horizontal ? m_grid->fixedRows() : m_grid->fixedCols()) == 0) return;

    const int start = horizontal ? area.left() : area.top();
    const int end = horizontal ? area.right() : area.bottom();
    int first = visualIndexAt(start);
    if (first < 0) {
        if (start >= 0) return; // the area lies past the last section
        first = 0;
    }
    int last = visualIndexAt(end);
    if (last < 0) last = count() - 1;
    for (int visual = first; visual <= last; ++visual) {
        const int section = logicalIndex(visual);
        const int size = sectionSize(section);
        if (size <= 0 || isSectionHidden(section)) continue;
        const int pos = sectionViewportPosition(section);
        if (horizontal) {
            m_grid->paintCell(painter, QRect(pos, 0, size, viewport()->height()), 0,
                              m_grid->fixedCols() + section);
        } else {
            m_grid->paintCell(painter, QRect(0, pos, viewport()->width(), size),
                              m_grid->fixedRows() + section, 0);
        }
    }
}

const QFont& FlexGrid::cellFont(quint32 styleIndex) const {
    if (m_fontCacheGeneration != m_data.styleGeneration()) {
        m_fontCache.clear();
        m_fontCached.clear();
        m_fontCacheGeneration = m_data.styleGeneration();
    }
    if (styleIndex >= m_fontCache.size()) {
        m_fontCache.resize(styleIndex + 1);
        m_fontCached.resize(styleIndex + 1, false);
    }
    if (!m_fontCached[styleIndex]) {
        const CellStyle& style = m_data.styleAt(styleIndex);
        QFont f = font();
        if (!style.fontName.isEmpty()) f.setFamily(style.fontName);
        if (style.fontSize > 0.0) f.setPointSizeF(style.fontSize);
        if (style.bold >= 0) f.setBold(style.bold != 0);
        if (style.italic >= 0) f.setItalic(style.italic != 0);
        m_fontCache[styleIndex] = f;
        m_fontCached[styleIndex] = true;
    }
    return m_fontCache[styleIndex];
}

bool FlexGrid::isHighlighted(int row, int col) const {
    if (m_highLight == HighLight::Never) return false;
    if (m_highLight == HighLight::WithFocus && !hasFocus()) return false;
    // A current cell on the heading row means nothing is chosen; whole-row selection does
    // not care which column the click was in.
    if (m_row < fixedRows()) return false;
    if (row < std::min(m_row, m_rowSel) || row > std::max(m_row, m_rowSel)) return false;
    if (m_selectMode == SelectMode::ByRow) return true;
    if (m_col < fixedCols()) return false;
    if (col < std::min(m_col, m_colSel) || col > std::max(m_col, m_colSel)) return false;
    // The current cell itself shows by its focus frame, as in a spreadsheet.
    return !(row == m_row && col == m_col);
}

// Equal neighbours are painted as one block: each cell of the block paints the whole block
// clipped to itself, so the text lands once across the block and no line runs through it.
// A vertical block is followed only over the rows on screen, which keeps long runs cheap
// and keeps its text in view.
QRect FlexGrid::mergedRect(const QRect& rect, int row, int col, int* anchorRow,
                           int* anchorCol) const {
    int left = col;
    int right = col;
    while (left > 0 && m_data.mergedRight(row, left - 1))
        --left;
    while (m_data.mergedRight(row, right))
        ++right;
    QRect area = rect;
    if (left != right) {
        for (int c = left; c < col; ++c)
            area.setLeft(area.left() - colPixels(c));
        for (int c = col + 1; c <= right; ++c)
            area.setRight(area.right() + colPixels(c));
        *anchorRow = row;
        *anchorCol = left;
        return area;
    }
    int lowest = 0;
    int highest = fixedRows() - 1;
    if (row >= fixedRows()) visibleBodyRows(&lowest, &highest);
    int top = row;
    int bottom = row;
    while (top > lowest && m_data.mergedDown(top - 1, col))
        --top;
    while (bottom < highest && m_data.mergedDown(bottom, col))
        ++bottom;
    for (int r = top; r < row; ++r)
        area.setTop(area.top() - rowPixels(r));
    for (int r = row + 1; r <= bottom; ++r)
        area.setBottom(area.bottom() + rowPixels(r));
    *anchorRow = top;
    *anchorCol = col;
    return area;
}

void FlexGrid::paintCell(QPainter& painter, const QRect& rect, int row, int col) const {
    if (!m_data.contains(row, col) || rect.isEmpty()) return;
    int anchorRow = row;
    int anchorCol = col;
    QRect area = rect;
    if (m_data.mergeMode() != MergeMode::Never)
        area = mergedRect(rect, row, col, &anchorRow, &anchorCol);

    const bool fixed = row < fixedRows() || col < fixedCols();
    const bool selected = !fixed && isHighlighted(row, col);
    const quint32 styleIndex = m_data.styleIndex(anchorRow, anchorCol);
    const CellStyle& style = m_data.styleAt(styleIndex);

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);

    ColorValue back = fixed ? m_backColorFixed : m_backColor;
    if (style.backColor != CellStyle::kInherit) back = style.backColor;
    if (selected) back = m_backColorSel;
    painter.fillRect(area, colors::toQColor(back));
    if (!style.picture.isNull() && !selected) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(area, style.picture);
    }

    const int line = m_gridLineWidth;
    if (line > 0) {
        const QColor lineColor = colors::toQColor(fixed ? m_gridColorFixed : m_gridColor);
        painter.fillRect(area.right() - line + 1, area.top(), line, area.height(), lineColor);
        painter.fillRect(area.left(), area.bottom() - line + 1, area.width(), line, lineColor);
    }

    const QString& text = m_data.text(anchorRow, anchorCol);
    if (!text.isEmpty()) {
        ColorValue fore = fixed ? m_foreColorFixed : m_foreColor;
        if (style.foreColor != CellStyle::kInherit) fore = style.foreColor;
        if (selected) fore = m_foreColorSel;
        painter.setPen(colors::toQColor(fore));
        painter.setFont(cellFont(styleIndex));
        int flags = effectiveAlignment(style.alignment != 0 ? style.alignment
                                                            : m_data.colAlignment(anchorCol));
        if (wordWrap()) flags |= Qt::TextWordWrap;
        const QRect textArea =
            area.adjusted(kTextMargin, 0, -kTextMargin - std::max(line, 0), -line);
        // Stored texts break lines with CR LF: the painter breaks at the LF and draws the
        // CR as a blank at the end of the line.
        painter.drawText(textArea, flags, text);
    }

    if (!fixed && row == m_row && col == m_col && hasFocus() && m_highLight != HighLight::Never) {
        QPen pen(colors::toQColor(selected ? m_foreColorSel : m_foreColor), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(1, 1, -2 - line, -2 - line));
    }
    painter.restore();
}

} // namespace tv
