#include "flex_grid_data.h"

#include <algorithm>

namespace tv {

namespace {

const QString& emptyText() {
    static const QString empty;
    return empty;
}

// After a big list is cut back (a reload resets to the heading row), give the memory back
// instead of holding the largest size ever seen.
template <typename T> void trim(std::vector<T>& v) {
    if (v.capacity() > 65536 && v.capacity() > 4 * v.size()) v.shrink_to_fit();
}

} // namespace

bool CellStyle::operator==(const CellStyle& o) const {
    return backColor == o.backColor && foreColor == o.foreColor && fontName == o.fontName &&
           fontSize == o.fontSize && bold == o.bold && italic == o.italic &&
           alignment == o.alignment && picture.cacheKey() == o.picture.cacheKey();
}

size_t qHash(const CellStyle& s, size_t seed) noexcept {
    return qHashMulti(seed, s.backColor, s.foreColor, s.fontName, s.fontSize, s.bold, s.italic,
                      s.alignment, s.picture.cacheKey());
}

FlexGridData::FlexGridData() {
    m_styles.append(CellStyle{});
    m_styleIds.insert(CellStyle{}, 0);
}

void FlexGridData::setRows(int rows) {
    rows = std::max(rows, 0);
    if (rows == m_rows) return;
    const size_t cells = static_cast<size_t>(rows) * m_cols;
    m_text.resize(cells);
    m_style.resize(cells, 0);
    m_rowHeight.resize(rows, -1);
    m_mergeRow.resize(rows, false);
    if (rows < m_rows) {
        trim(m_text);
        trim(m_style);
        trim(m_rowHeight);
    }
    m_rows = rows;
    m_fixedRows = std::min(m_fixedRows, m_rows);
}

void FlexGridData::setCols(int cols) {
    cols = std::max(cols, 0);
    if (cols == m_cols) return;
    std::vector<QString> text(static_cast<size_t>(m_rows) * cols);
    std::vector<quint32> style(text.size(), 0);
    const int keep = std::min(cols, m_cols);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < keep; ++c) {
            const size_t to = static_cast<size_t>(r) * cols + c;
            text[to] = std::move(m_text[at(r, c)]);
            style[to] = m_style[at(r, c)];
        }
    }
    m_text.swap(text);
    m_style.swap(style);
    m_colWidth.resize(cols, -1);
    m_colAlignment.resize(cols, 0);
    m_mergeCol.resize(cols, false);
    m_cols = cols;
    m_fixedCols = std::min(m_fixedCols, m_cols);
}

void FlexGridData::setFixedRows(int fixedRows) {
    m_fixedRows = std::max(fixedRows, 0);
    if (m_fixedRows > m_rows) setRows(m_fixedRows);
}

void FlexGridData::setFixedCols(int fixedCols) {
    m_fixedCols = std::max(fixedCols, 0);
    if (m_fixedCols > m_cols) setCols(m_fixedCols);
}

const QString& FlexGridData::text(int row, int col) const {
    return contains(row, col) ? m_text[at(row, col)] : emptyText();
}

void FlexGridData::setText(int row, int col, const QString& text) {
    if (contains(row, col)) m_text[at(row, col)] = text;
}

void FlexGridData::clearTexts() {
    for (QString& t : m_text)
        t = QString();
}

void FlexGridData::resetRows(int rows) {
    m_text.clear();
    m_style.clear();
    m_rowHeight.clear();
    m_mergeRow.clear();
    m_rows = 0;
    setRows(std::max(rows, m_fixedRows));
    m_styles.resize(1);
    m_styleIds.clear();
    m_styleIds.insert(CellStyle{}, 0);
    m_liveStyles = 1;
    ++m_styleGeneration;
}

quint32 FlexGridData::styleIndex(int row, int col) const {
    return contains(row, col) ? m_style[at(row, col)] : 0;
}

const CellStyle& FlexGridData::style(int row, int col) const {
    return m_styles.at(styleIndex(row, col));
}

void FlexGridData::setStyle(int row, int col, const CellStyle& style) {
    if (!contains(row, col)) return;
    m_style[at(row, col)] = intern(style);
}

quint32 FlexGridData::intern(const CellStyle& style) {
    const auto found = m_styleIds.constFind(style);
    if (found != m_styleIds.constEnd()) return found.value();
    // Looks that no cell uses any more (a list reloaded with new pictures, a row that
    // blinked) pile up; sweep them out once the table has doubled since the last sweep.
    if (m_styles.size() > 2 * m_liveStyles + 64) compactStyles();
    const auto index = static_cast<quint32>(m_styles.size());
    m_styles.append(style);
    m_styleIds.insert(style, index);
    return index;
}

void FlexGridData::compactStyles() {
    std::vector<quint32> remap(m_styles.size(), 0);
    std::vector<bool> used(m_styles.size(), false);
    used[0] = true;
    for (quint32 s : m_style)
        used[s] = true;
    QList<CellStyle> kept;
    m_styleIds.clear();
    for (qsizetype i = 0; i < m_styles.size(); ++i) {
        if (!used[i]) continue;
        remap[i] = static_cast<quint32>(kept.size());
        m_styleIds.insert(m_styles[i], remap[i]);
        kept.append(std::move(m_styles[i]));
    }
    m_styles.swap(kept);
    for (quint32& s : m_style)
        s = remap[s];
    m_liveStyles = static_cast<int>(m_styles.size());
    ++m_styleGeneration;
}

int FlexGridData::rowHeight(int row) const {
    return row >= 0 && row < m_rows ? m_rowHeight[row] : -1;
}

void FlexGridData::setRowHeight(int row, int twips) {
    if (row >= 0 && row < m_rows) m_rowHeight[row] = std::max(twips, -1);
}

int FlexGridData::colWidth(int col) const {
    return col >= 0 && col < m_cols ? m_colWidth[col] : -1;
}

void FlexGridData::setColWidth(int col, int twips) {
    if (col >= 0 && col < m_cols) m_colWidth[col] = std::max(twips, -1);
}

int FlexGridData::colAlignment(int col) const {
    return col >= 0 && col < m_cols ? m_colAlignment[col] : 0;
}

void FlexGridData::setColAlignment(int col, int alignment) {
    if (col >= 0 && col < m_cols) m_colAlignment[col] = alignment;
}

bool FlexGridData::mergeRow(int row) const {
    return row >= 0 && row < m_rows && m_mergeRow[row];
}

void FlexGridData::setMergeRow(int row, bool on) {
    if (row >= 0 && row < m_rows) m_mergeRow[row] = on;
}

bool FlexGridData::mergeCol(int col) const {
    return col >= 0 && col < m_cols && m_mergeCol[col];
}

void FlexGridData::setMergeCol(int col, bool on) {
    if (col >= 0 && col < m_cols) m_mergeCol[col] = on;
}

// A pair merges only inside one zone (fixed or scrolling): the two zones are drawn by
// different widgets. Blank cells never merge, so empty areas keep their grid lines.
bool FlexGridData::pairRight(int row, int col) const {
    if (!contains(row, col + 1) || !m_mergeRow[row]) return false;
    if ((col < m_fixedCols) != (col + 1 < m_fixedCols)) return false;
    const QString& t = m_text[at(row, col)];
    return !t.isEmpty() && t == m_text[at(row, col + 1)];
}

bool FlexGridData::pairDown(int row, int col) const {
    if (!contains(row + 1, col) || !m_mergeCol[col]) return false;
    if ((row < m_fixedRows) != (row + 1 < m_fixedRows)) return false;
    const QString& t = m_text[at(row, col)];
    return !t.isEmpty() && t == m_text[at(row + 1, col)];
}

bool FlexGridData::mergedRight(int row, int col) const {
    if (m_merge == GridMerge::Never) return false;
    const bool restricted = m_merge == GridMerge::RestrictRows || m_merge == GridMerge::RestrictAll;
    // Walk up while the restriction asks about the row above; the first row of a zone has
    // nothing above it to agree with.
    for (int r = row;; --r) {
        if (!pairRight(r, col)) return false;
        if (!restricted || r == 0 || r == m_fixedRows) return true;
    }
}

bool FlexGridData::mergedDown(int row, int col) const {
    if (m_merge == GridMerge::Never) return false;
    const bool restricted =
        m_merge == GridMerge::RestrictColumns || m_merge == GridMerge::RestrictAll;
    for (int c = col;; --c) {
        if (!pairDown(row, c)) return false;
        if (!restricted || c == 0 || c == m_fixedCols) return true;
    }
}

} // namespace tv
