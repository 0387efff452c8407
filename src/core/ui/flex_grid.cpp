#include "flex_grid.h"

#include "flex_grid_model.h"
#include "flex_grid_parts.h"
#include "twips.h"

#include <QAbstractButton>
#include <QScrollBar>

namespace tv {

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent) {
    // Screens find their grid by its system name; most have one grid and call it FG.
    setObjectName(QStringLiteral("FG"));
    // A new grid is two by two with a heading row and a key column, like the grids the
    // screens were designed against; every screen sets its own shape anyway.
    m_data.setCols(2);
    m_data.setRows(2);
    m_data.setFixedRows(1);
    m_data.setFixedCols(1);

    m_model = new FlexGridModel(m_data, this);
    m_topHeader = new FlexGridHeader(Qt::Horizontal, this);
    m_sideHeader = new FlexGridHeader(Qt::Vertical, this);
    setHorizontalHeader(m_topHeader);
    setVerticalHeader(m_sideHeader);
    setModel(m_model);
    m_delegate = new FlexGridDelegate(this);
    setItemDelegate(m_delegate);

    // The grid draws its own lines, selection and current cell; the view's own versions
    // of those stay off.
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setAutoScroll(false);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_topHeader->setDefaultSectionSize(twips::toPixelsX(kDefaultColWidth));
    m_defaultRowPixels = fontMetrics().height() + 4;

    m_topHeader->viewport()->installEventFilter(this);
    m_sideHeader->viewport()->installEventFilter(this);
    m_corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner != nullptr) m_corner->installEventFilter(this);

    m_col = m_colSel = fixedCols();
    m_fixedChanged = true;
    syncView();
}

FlexGrid::~FlexGrid() = default;

// ---- keeping the view in step -------------------------------------------------------

// Brings everything the view shows up to the data: counts, sizes, fixed parts, colours.
// Runs when redraw comes back on; while redraw is on, each change is passed on as it is
// made, at a cost independent of the number of rows.
void FlexGrid::syncView() {
    if (!m_redraw) return;
    if (m_fixedChanged) {
        m_model->resetShape();
        m_fixedChanged = false;
    } else {
        m_model->syncShape();
    }
    applyDefaultRowHeight();
    for (int c = fixedCols(); c < cols(); ++c)
        applyColWidth(c);
    for (int r = fixedRows(); r < rows(); ++r)
        applyRowHeight(r);
    applyFixedParts();
    applyBackground();
    m_repaintPending = false;
    repaintCells();
}

void FlexGrid::afterShapeChange() {
    clampCurrent();
    if (!live()) return;
    if (m_fixedChanged) {
        syncView();
        return;
    }
    if (m_model->syncShape()) applyFixedParts();
    repaintCells();
}

void FlexGrid::repaintCells() {
    if (!live() || m_repaintPending) return;
    // One update per pass of the event loop is enough; a fill of a million cells would
    // otherwise ask a million times.
    m_repaintPending = true;
    viewport()->update();
    m_topHeader->viewport()->update();
    m_sideHeader->viewport()->update();
    if (m_corner != nullptr) m_corner->update();
}

int FlexGrid::defaultRowPixels() const {
    return m_defaultRowPixels;
}

int FlexGrid::effectiveRowHeight(int row) const {
    const int set = m_data.rowHeight(row);
    if (set == 0) return 0; // a row set to 0 is hidden, whatever the minimum
    const int pixels = set > 0 ? twips::toPixelsY(set) : defaultRowPixels();
    return std::max(pixels, twips::toPixelsY(m_rowHeightMin));
}

int FlexGrid::effectiveColWidth(int col) const {
    const int set = m_data.colWidth(col);
    return twips::toPixelsX(set >= 0 ? set : kDefaultColWidth);
}

void FlexGrid::applyDefaultRowHeight() {
    const int pixels = std::max(defaultRowPixels(), twips::toPixelsY(m_rowHeightMin));
    // Changing the default resizes every row, so do it only when it really changes.
    if (m_sideHeader->defaultSectionSize() != pixels) m_sideHeader->setDefaultSectionSize(pixels);
}

void FlexGrid::applyRowHeight(int row) {
    if (!live()) return;
    if (row < fixedRows()) {
        applyFixedParts();
        return;
    }
    const int section = row - fixedRows();
    const int pixels = effectiveRowHeight(row);
    if (section < m_model->rowCount() && m_sideHeader->sectionSize(section) != pixels)
        m_sideHeader->resizeSection(section, pixels);
}

void FlexGrid::applyColWidth(int col) {
    if (!live()) return;
    if (col < fixedCols()) {
        applyFixedParts();
        return;
    }
    const int section = col - fixedCols();
    const int pixels = effectiveColWidth(col);
    if (section < m_model->columnCount() && m_topHeader->sectionSize(section) != pixels)
        m_topHeader->resizeSection(section, pixels);
}

void FlexGrid::applyFixedParts() {
    if (!live()) return;
    bool moved = false;
    const auto place = [&moved](QHeaderView* header, bool shown, int size, bool horizontal) {
        if (header->isHidden() == shown) {
            header->setVisible(shown);
            moved = true;
        }
        const int current = horizontal ? header->maximumHeight() : header->maximumWidth();
        if (shown && current != size) {
            if (horizontal)
                header->setFixedHeight(size);
            else
                header->setFixedWidth(size);
            moved = true;
        }
    };
    place(m_topHeader, fixedRows() > 0 && rows() > 0, fixedRows() > 0 ? effectiveRowHeight(0) : 0,
          true);
    place(m_sideHeader, fixedCols() > 0 && cols() > 0, fixedCols() > 0 ? effectiveColWidth(0) : 0,
          false);
    if (moved) updateGeometries();
}

void FlexGrid::applyBackground() {
    if (!live()) return;
    QPalette palette = viewport()->palette();
    const QColor color = colors::toQColor(m_backColorBkg);
    if (palette.color(QPalette::Base) == color) return;
    palette.setColor(QPalette::Base, color);
    viewport()->setPalette(palette);
}

// ---- extent and text ----------------------------------------------------------------

int FlexGrid::rows() const {
    return m_data.rows();
}
int FlexGrid::cols() const {
    return m_data.cols();
}
int FlexGrid::fixedRows() const {
    return m_data.fixedRows();
}
int FlexGrid::fixedCols() const {
    return m_data.fixedCols();
}

void FlexGrid::setRows(int rows) {
    rows = std::max(rows, fixedRows());
    if (rows == m_data.rows()) return;
    m_data.setRows(rows);
    afterShapeChange();
}

void FlexGrid::setCols(int cols) {
    cols = std::max(cols, fixedCols());
    if (cols == m_data.cols()) return;
    const int before = m_data.cols();
    m_data.setCols(cols);
    afterShapeChange();
    for (int c = before; c < cols; ++c)
        applyColWidth(c);
}

void FlexGrid::setFixedRows(int fixedRows) {
    fixedRows = std::clamp(fixedRows, 0, 1);
    if (fixedRows == m_data.fixedRows()) return;
    m_data.setFixedRows(fixedRows);
    m_fixedChanged = true;
    afterShapeChange();
}

void FlexGrid::setFixedCols(int fixedCols) {
    fixedCols = std::clamp(fixedCols, 0, 1);
    if (fixedCols == m_data.fixedCols()) return;
    m_data.setFixedCols(fixedCols);
    m_fixedChanged = true;
    afterShapeChange();
}

void FlexGrid::clear() {
    m_data.clearTexts();
    repaintCells();
}

void FlexGrid::resetRows(int rows) {
    const int before = m_data.rows();
    m_data.resetRows(std::max(rows, fixedRows()));
    if (live() && m_data.rows() == before) {
        // Same count: the shape did not move but every row lost its height.
        for (int r = fixedRows(); r < m_data.rows(); ++r)
            applyRowHeight(r);
    }
    afterShapeChange();
    if (live() && fixedRows() > 0) applyFixedParts();
}

bool FlexGrid::checkCell(int row, int col) const {
    if (m_data.contains(row, col)) return true;
    qWarning("FlexGrid %s: cell (%d, %d) outside %d x %d", qPrintable(objectName()), row, col,
             rows(), cols());
    return false;
}

QString FlexGrid::textMatrix(int row, int col) const {
    return m_data.text(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (!checkCell(row, col)) return;
    m_data.setText(row, col, text);
    repaintCells();
}

// ---- sizes ----------------------------------------------------------------------------

int FlexGrid::colWidth(int col) const {
    const int set = m_data.colWidth(col);
    return set >= 0 ? set : kDefaultColWidth;
}

void FlexGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols()) {
        checkCell(0, col);
        return;
    }
    m_data.setColWidth(col, twips < 0 ? -1 : twips);
    applyColWidth(col);
    repaintCells();
}

int FlexGrid::rowHeight(int row) const {
    const int set = m_data.rowHeight(row);
    if (set == 0) return 0;
    const int height = set > 0 ? set : twips::fromPixelsY(defaultRowPixels());
    return std::max(height, m_rowHeightMin);
}

void FlexGrid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rows()) {
        checkCell(row, 0);
        return;
    }
    m_data.setRowHeight(row, twips < 0 ? -1 : twips);
    applyRowHeight(row);
    repaintCells();
}

int FlexGrid::rowHeightMin() const {
    return m_rowHeightMin;
}

void FlexGrid::setRowHeightMin(int twips) {
    twips = std::max(twips, 0);
    if (twips == m_rowHeightMin) return;
    m_rowHeightMin = twips;
    if (!live()) return;
    applyDefaultRowHeight();
    for (int r = fixedRows(); r < rows(); ++r)
        applyRowHeight(r);
    applyFixedParts();
    repaintCells();
}

int FlexGrid::colPixels(int col) const {
    if (col < fixedCols()) return m_sideHeader->isHidden() ? 0 : m_sideHeader->width();
    return m_topHeader->sectionSize(col - fixedCols());
}

int FlexGrid::rowPixels(int row) const {
    if (row < fixedRows()) return m_topHeader->isHidden() ? 0 : m_topHeader->height();
    return m_sideHeader->sectionSize(row - fixedRows());
}

void FlexGrid::visibleBodyRows(int* first, int* last) const {
    const int top = m_sideHeader->logicalIndexAt(0);
    const int bottom = m_sideHeader->logicalIndexAt(viewport()->height() - 1);
    *first = fixedRows() + std::max(top, 0);
    *last = bottom < 0 ? rows() - 1 : fixedRows() + bottom;
}

QRect FlexGrid::cellRect(int row, int col) const {
    if (!m_data.contains(row, col)) return {};
    auto* self = const_cast<FlexGrid*>(this);
    self->executeDelayedItemsLayout();
    const int fr = fixedRows();
    const int fc = fixedCols();
    if (row >= fr && col >= fc) {
        const QModelIndex index = m_model->index(row - fr, col - fc);
        if (!index.isValid()) return {};
        return visualRect(index).translated(viewport()->geometry().topLeft());
    }
    int x = 0;
    int width = 0;
    if (col < fc) {
        x = m_sideHeader->geometry().left();
        width = m_sideHeader->width();
    } else {
        x = m_topHeader->geometry().left() + m_topHeader->sectionViewportPosition(col - fc);
        width = m_topHeader->sectionSize(col - fc);
    }
    int y = 0;
    int height = 0;
    if (row < fr) {
        y = m_topHeader->geometry().top();
        height = m_topHeader->height();
    } else {
        y = m_sideHeader->geometry().top() + m_sideHeader->sectionViewportPosition(row - fr);
        height = m_sideHeader->sectionSize(row - fr);
    }
    return {x, y, width, height};
}

int FlexGrid::topRow() const {
    const int section = m_sideHeader->logicalIndexAt(0);
    return fixedRows() + std::max(section, 0);
}

void FlexGrid::setTopRow(int row) {
    if (row < fixedRows() || row >= rows()) return;
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(m_sideHeader->visualIndex(row - fixedRows()));
}

void FlexGrid::showCell(int row, int col) {
    if (!m_data.contains(row, col) || row < fixedRows()) return;
    executeDelayedItemsLayout();
    scrollTo(m_model->index(row - fixedRows(), std::max(col - fixedCols(), 0)));
}

// ---- grid-wide colours ------------------------------------------------------------------

namespace {

template <typename T> bool assign(T& member, T value) {
    if (member == value) return false;
    member = value;
    return true;
}

} // namespace

void FlexGrid::setBackColor(ColorValue value) {
    if (assign(m_backColor, value)) repaintCells();
}
void FlexGrid::setForeColor(ColorValue value) {
    if (assign(m_foreColor, value)) repaintCells();
}
void FlexGrid::setBackColorFixed(ColorValue value) {
    if (assign(m_backColorFixed, value)) repaintCells();
}
void FlexGrid::setForeColorFixed(ColorValue value) {
    if (assign(m_foreColorFixed, value)) repaintCells();
}
void FlexGrid::setBackColorSel(ColorValue value) {
    if (assign(m_backColorSel, value)) repaintCells();
}
void FlexGrid::setForeColorSel(ColorValue value) {
    if (assign(m_foreColorSel, value)) repaintCells();
}
void FlexGrid::setBackColorBkg(ColorValue value) {
    if (!assign(m_backColorBkg, value)) return;
    applyBackground();
    repaintCells();
}
void FlexGrid::setGridColor(ColorValue value) {
    if (assign(m_gridColor, value)) repaintCells();
}
void FlexGrid::setGridColorFixed(ColorValue value) {
    if (assign(m_gridColorFixed, value)) repaintCells();
}
void FlexGrid::setGridLineWidth(int pixels) {
    if (assign(m_gridLineWidth, std::max(pixels, 0))) repaintCells();
}

// ---- per-cell looks -------------------------------------------------------------------

template <typename Change> void FlexGrid::changeStyle(int row, int col, Change&& change) {
    if (!checkCell(row, col)) return;
    CellStyle style = m_data.style(row, col);
    change(style);
    m_data.setStyle(row, col, style);
    repaintCells();
}

FlexGrid::ColorValue FlexGrid::cellBackColor(int row, int col) const {
    const CellStyle& style = m_data.style(row, col);
    if (style.backColor != CellStyle::kInherit) return style.backColor;
    return row < fixedRows() || col < fixedCols() ? m_backColorFixed : m_backColor;
}

void FlexGrid::setCellBackColor(int row, int col, ColorValue value) {
    changeStyle(row, col, [value](CellStyle& s) { s.backColor = value; });
}

FlexGrid::ColorValue FlexGrid::cellForeColor(int row, int col) const {
    const CellStyle& style = m_data.style(row, col);
    if (style.foreColor != CellStyle::kInherit) return style.foreColor;
    return row < fixedRows() || col < fixedCols() ? m_foreColorFixed : m_foreColor;
}

void FlexGrid::setCellForeColor(int row, int col, ColorValue value) {
    changeStyle(row, col, [value](CellStyle& s) { s.foreColor = value; });
}

QString FlexGrid::cellFontName(int row, int col) const {
    const CellStyle& style = m_data.style(row, col);
    return style.fontName.isEmpty() ? font().family() : style.fontName;
}

void FlexGrid::setCellFontName(int row, int col, const QString& family) {
    changeStyle(row, col, [&family](CellStyle& s) { s.fontName = family; });
}

double FlexGrid::cellFontSize(int row, int col) const {
    const CellStyle& style = m_data.style(row, col);
    return style.fontSize > 0.0 ? style.fontSize : font().pointSizeF();
}

void FlexGrid::setCellFontSize(int row, int col, double points) {
    changeStyle(row, col, [points](CellStyle& s) { s.fontSize = std::max(points, 0.0); });
}

bool FlexGrid::cellFontBold(int row, int col) const {
    const CellStyle& style = m_data.style(row, col);
    return style.bold >= 0 ? style.bold != 0 : font().bold();
}

void FlexGrid::setCellFontBold(int row, int col, bool bold) {
    changeStyle(row, col, [bold](CellStyle& s) { s.bold = bold ? 1 : 0; });
}

bool FlexGrid::cellFontItalic(int row, int col) const {
    const CellStyle& style = m_data.style(row, col);
    return style.italic >= 0 ? style.italic != 0 : font().italic();
}

void FlexGrid::setCellFontItalic(int row, int col, bool italic) {
    changeStyle(row, col, [italic](CellStyle& s) { s.italic = italic ? 1 : 0; });
}

Qt::Alignment FlexGrid::cellAlignment(int row, int col) const {
    const CellStyle& style = m_data.style(row, col);
    int alignment = style.alignment != 0 ? style.alignment : m_data.colAlignment(col);
    if ((alignment & Qt::AlignHorizontal_Mask) == 0) alignment |= Qt::AlignLeft;
    if ((alignment & Qt::AlignVertical_Mask) == 0) alignment |= Qt::AlignVCenter;
    return Qt::Alignment(alignment);
}

void FlexGrid::setCellAlignment(int row, int col, Qt::Alignment alignment) {
    const auto value = static_cast<quint16>(alignment.toInt());
    changeStyle(row, col, [value](CellStyle& s) { s.alignment = value; });
}

QPixmap FlexGrid::cellPicture(int row, int col) const {
    return m_data.style(row, col).picture;
}

void FlexGrid::setCellPicture(int row, int col, const QPixmap& picture) {
    changeStyle(row, col, [&picture](CellStyle& s) { s.picture = picture; });
}

void FlexGrid::setCellPicture(int row, int col, const QImage& picture) {
    setCellPicture(row, col, picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
}

Qt::Alignment FlexGrid::colAlignment(int col) const {
    return Qt::Alignment(m_data.colAlignment(col));
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= cols()) {
        checkCell(0, col);
        return;
    }
    m_data.setColAlignment(col, alignment.toInt());
    repaintCells();
}

// ---- merging --------------------------------------------------------------------------

FlexGrid::MergeMode FlexGrid::mergeCells() const {
    return m_data.mergeMode();
}

void FlexGrid::setMergeCells(MergeMode mode) {
    m_data.setMergeMode(mode);
    repaintCells();
}

bool FlexGrid::mergeRow(int row) const {
    return m_data.mergeRow(row);
}

void FlexGrid::setMergeRow(int row, bool on) {
    if (row < 0 || row >= rows()) {
        checkCell(row, 0);
        return;
    }
    m_data.setMergeRow(row, on);
    repaintCells();
}

bool FlexGrid::mergeCol(int col) const {
    return m_data.mergeCol(col);
}

void FlexGrid::setMergeCol(int col, bool on) {
    if (col < 0 || col >= cols()) {
        checkCell(0, col);
        return;
    }
    m_data.setMergeCol(col, on);
    repaintCells();
}

bool FlexGrid::isMergedRight(int row, int col) const {
    return m_data.mergedRight(row, col);
}
bool FlexGrid::isMergedDown(int row, int col) const {
    return m_data.mergedDown(row, col);
}

// ---- redraw ---------------------------------------------------------------------------

void FlexGrid::setRedraw(bool on) {
    if (on == m_redraw) return;
    m_redraw = on;
    if (!on) {
        // Freeze what is on screen; the view keeps its old counts until redraw returns.
        setUpdatesEnabled(false);
        return;
    }
    syncView();
    setUpdatesEnabled(true);
}

} // namespace tv
