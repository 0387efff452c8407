// FlexGrid's current cell, selection, mouse and keyboard.

#include "flex_grid.h"

#include "flex_grid_parts.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tv {

void FlexGrid::setRow(int row) {
    if (!checkCell(row, std::max(m_col, 0))) return;
    moveCurrent(row, m_col, false);
}

void FlexGrid::setCol(int col) {
    if (!checkCell(std::max(m_row, 0), col)) return;
    moveCurrent(m_row, col, false);
}

void FlexGrid::setRowSel(int row) {
    if (!checkCell(row, std::max(m_col, 0))) return;
    moveCurrent(row, m_colSel, true);
}

void FlexGrid::setColSel(int col) {
    if (!checkCell(std::max(m_row, 0), col)) return;
    moveCurrent(m_rowSel, col, true);
}

void FlexGrid::setSelectMode(SelectMode mode) {
    m_selectMode = mode;
    repaintCells();
}

void FlexGrid::setHighLight(HighLight mode) {
    m_highLight = mode;
    repaintCells();
}

// With extend, (row, col) becomes the other end of the range and the current cell stays.
void FlexGrid::moveCurrent(int row, int col, bool extend) {
    const int oldRow = m_row;
    const int oldCol = m_col;
    if (!extend) {
        m_row = row;
        m_col = col;
    }
    m_rowSel = row;
    m_colSel = col;
    repaintCells();
    if (m_row != oldRow || m_col != oldCol) emit currentCellChanged(m_row, m_col);
}

void FlexGrid::clampCurrent() {
    const int lastRow = std::max(rows() - 1, 0);
    const int lastCol = std::max(cols() - 1, 0);
    const int oldRow = m_row;
    const int oldCol = m_col;
    m_row = std::clamp(m_row, 0, lastRow);
    m_col = std::clamp(m_col, 0, lastCol);
    m_rowSel = std::clamp(m_rowSel, 0, lastRow);
    m_colSel = std::clamp(m_colSel, 0, lastCol);
    if (m_row != oldRow || m_col != oldCol) emit currentCellChanged(m_row, m_col);
}

// ---- mouse ----------------------------------------------------------------------------

FlexGrid::Cell FlexGrid::cellAt(const QObject* surface, const QPoint& pos) const {
    if (surface == viewport()) {
        const QModelIndex index = indexAt(pos);
        if (!index.isValid()) return {};
        return {index.row() + fixedRows(), index.column() + fixedCols()};
    }
    if (surface == m_topHeader->viewport()) {
        const int section = m_topHeader->logicalIndexAt(pos);
        if (section < 0) return {};
        return {0, fixedCols() + section};
    }
    if (surface == m_sideHeader->viewport()) {
        const int section = m_sideHeader->logicalIndexAt(pos);
        if (section < 0) return {};
        return {fixedRows() + section, 0};
    }
    if (surface == m_corner && rows() > 0 && cols() > 0) return {0, 0};
    return {};
}

void FlexGrid::pressAt(Cell cell, QMouseEvent* event, bool body) {
    setFocus(Qt::MouseFocusReason);
    const bool left = event->button() == Qt::LeftButton;
    // Shift+click extends a range that already starts in the scrolling part.
    const bool extend = body && left && event->modifiers().testFlag(Qt::ShiftModifier) &&
                        m_row >= fixedRows() && m_col >= fixedCols();
    moveCurrent(cell.row, cell.col, extend);
    // Any button moves the current cell and is reported as a press; only the left one
    // makes a click and drags out a range.
    m_pressed = left;
    m_dragging = left && body;
    emit cellPressed(cell.row, cell.col);
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    const Cell cell = cellAt(viewport(), event->position().toPoint());
    if (cell.valid())
        pressAt(cell, event, true);
    else
        setFocus(Qt::MouseFocusReason);
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !event->buttons().testFlag(Qt::LeftButton)) return;
    const Cell cell = cellAt(viewport(), event->position().toPoint());
    if (cell.valid() && (cell.row != m_rowSel || cell.col != m_colSel))
        moveCurrent(cell.row, cell.col, true);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
    if (!std::exchange(m_pressed, false)) return;
    emit cellClicked(m_row, m_col);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const Cell cell = cellAt(viewport(), event->position().toPoint());
    if (!cell.valid() || event->button() != Qt::LeftButton) return;
    moveCurrent(cell.row, cell.col, false);
    emit cellDoubleClicked(cell.row, cell.col);
}

// The fixed row and column are drawn by the headers and the corner; their mouse events
// are the grid's own, reported with the cell like any other.
bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    const bool header = watched == m_topHeader->viewport() || watched == m_sideHeader->viewport();
    const bool corner = watched == m_corner && m_corner != nullptr;
    if (!header && !corner) return QTableView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        if (!corner) return false;
        m_repaintPending = false;
        {
            QPainter painter(m_corner);
            painter.fillRect(m_corner->rect(), colors::toQColor(m_backColorBkg));
            if (fixedRows() > 0 && fixedCols() > 0) paintCell(painter, m_corner->rect(), 0, 0);
        }
        return true;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const Cell cell = cellAt(watched, mouse->position().toPoint());
        if (cell.valid()) pressAt(cell, mouse, false);
        return true;
    }
    case QEvent::MouseButtonRelease:
        mouseReleaseEvent(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const Cell cell = cellAt(watched, mouse->position().toPoint());
        if (cell.valid() && mouse->button() == Qt::LeftButton) {
            moveCurrent(cell.row, cell.col, false);
            emit cellDoubleClicked(cell.row, cell.col);
        }
        return true;
    }
    case QEvent::MouseMove:
        return true;
    default:
        return false;
    }
}

// ---- keyboard -------------------------------------------------------------------------

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(event->key(), event->modifiers());
    handleKey(event);
}

void FlexGrid::handleKey(QKeyEvent* event) {
    const int firstRow = fixedRows();
    const int firstCol = fixedCols();
    if (rows() <= firstRow || cols() <= firstCol) {
        event->ignore();
        return;
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier) && m_row >= firstRow;
    int row = extend ? m_rowSel : m_row;
    int col = extend ? m_colSel : m_col;
    // Coming from "nothing chosen", the first key lands on the first cell that shows.
    const bool fromNothing = row < firstRow || col < firstCol;
    const auto shows = [this](int c) { return effectiveColWidth(c) > 0; };
    const auto firstShown = [&] {
        for (int c = firstCol; c < cols(); ++c)
            if (shows(c)) return c;
        return firstCol;
    };
    const auto lastShown = [&] {
        for (int c = cols() - 1; c >= firstCol; --c)
            if (shows(c)) return c;
        return cols() - 1;
    };
    const auto step = [&](int c, int delta) {
        for (int next = c + delta; next >= firstCol && next < cols(); next += delta)
            if (shows(next)) return next;
        return c;
    };
    const int page = std::max(1, viewport()->height() / std::max(1, rowPixels(row)));
    const bool toEnds =
        event->modifiers().testFlag(Qt::ControlModifier) || m_selectMode == SelectMode::ByRow;
    if (fromNothing) {
        row = std::max(row, firstRow);
        col = col < firstCol || !shows(col) ? firstShown() : col;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        row = fromNothing ? row : row - 1;
        break;
    case Qt::Key_Down:
        row = fromNothing ? row : row + 1;
        break;
    case Qt::Key_Left:
        col = fromNothing ? col : step(col, -1);
        break;
    case Qt::Key_Right:
        col = fromNothing ? col : step(col, +1);
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Home:
        if (toEnds)
            row = firstRow;
        else
            col = firstShown();
        break;
    case Qt::Key_End:
        if (toEnds)
            row = rows() - 1;
        else
            col = lastShown();
        break;
    default:
        event->ignore();
        return;
    }
    row = std::clamp(row, firstRow, rows() - 1);
    col = std::clamp(col, firstCol, cols() - 1);
    moveCurrent(row, col, extend);
    showCell(row, col);
    event->accept();
}

void FlexGrid::focusInEvent(QFocusEvent* event) {
    // The current index of the view is not ours; skip the base class, which would move it.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void FlexGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void FlexGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_fontCacheGeneration = -1;
        m_defaultRowPixels = fontMetrics().height() + 4;
        if (live()) {
            applyDefaultRowHeight();
            for (int r = fixedRows(); r < rows(); ++r)
                applyRowHeight(r);
            applyFixedParts();
        }
        repaintCells();
    } else if (event->type() == QEvent::PaletteChange) {
        // System colours follow the palette.
        repaintCells();
    }
}

bool FlexGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Paint) m_repaintPending = false;
    return QTableView::viewportEvent(event);
}

} // namespace tv
