#pragma once

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>
#include <vector>

namespace tv {

// How equal neighbouring texts are drawn as one cell. Rows and columns take part only when
// their merge flag is set. The restricted modes merge a pair of cells in a row only when the
// pair above is merged too (rows), or a pair in a column only when the pair to the left is
// merged too (columns).
enum class GridMerge { Never, Free, RestrictRows, RestrictColumns, RestrictAll };

// The look of a cell. Equal looks are stored once and shared by index, so a cell costs its
// text plus one index however many properties it carries.
struct CellStyle {
    static constexpr quint32 kInherit = 0xFFFFFFFFu; // never a stored colour value

    quint32 backColor = kInherit;
    quint32 foreColor = kInherit;
    QString fontName;      // "" = the grid's font
    double fontSize = 0.0; // points; 0 = the grid's size
    qint8 bold = -1;       // -1 = the grid's
    qint8 italic = -1;
    quint16 alignment = 0; // Qt::Alignment; 0 = the column's
    QPixmap picture;       // stretched over the cell, text on top

    bool operator==(const CellStyle& other) const;
};

size_t qHash(const CellStyle& style, size_t seed = 0) noexcept;

// The text matrix and everything stored per row, column and cell. Rows are stored one after
// the other, so growing the grid a row at a time (the usual way lists are filled) appends.
class FlexGridData final {
public:
    FlexGridData();

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setRows(int rows);
    void setCols(int cols);
    void setFixedRows(int fixedRows);
    void setFixedCols(int fixedCols);

    bool contains(int row, int col) const {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }

    const QString& text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    void clearTexts();
    // Back to `rows` empty rows: texts, styles and row heights go; columns stay.
    void resetRows(int rows);

    quint32 styleIndex(int row, int col) const;
    const CellStyle& style(int row, int col) const;
    const CellStyle& styleAt(quint32 index) const { return m_styles.at(index); }
    void setStyle(int row, int col, const CellStyle& style);
    int styleCount() const { return static_cast<int>(m_styles.size()); }
    // Bumped whenever indexes change meaning (the table was compacted or cleared), so
    // caches keyed by index know to start again.
    int styleGeneration() const { return m_styleGeneration; }

    // Twips; -1 means the default.
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    // 0 means the default.
    int colAlignment(int col) const;
    void setColAlignment(int col, int alignment);

    GridMerge mergeMode() const { return m_merge; }
    void setMergeMode(GridMerge mode) { m_merge = mode; }
    bool mergeRow(int row) const;
    void setMergeRow(int row, bool on);
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool on);
    // Whether (row, col) is drawn as one with its right or lower neighbour.
    bool mergedRight(int row, int col) const;
    bool mergedDown(int row, int col) const;

private:
    size_t at(int row, int col) const { return static_cast<size_t>(row) * m_cols + col; }
    quint32 intern(const CellStyle& style);
    void compactStyles();
    bool pairRight(int row, int col) const;
    bool pairDown(int row, int col) const;

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    std::vector<QString> m_text;
    std::vector<quint32> m_style;
    std::vector<int> m_rowHeight;
    std::vector<int> m_colWidth;
    std::vector<int> m_colAlignment;
    std::vector<bool> m_mergeRow;
    std::vector<bool> m_mergeCol;
    GridMerge m_merge = GridMerge::Never;

    QList<CellStyle> m_styles;
    QHash<CellStyle, quint32> m_styleIds;
    int m_liveStyles = 1;
    int m_styleGeneration = 0;
};

} // namespace tv
