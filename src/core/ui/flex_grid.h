#pragma once

#include "colors.h"
#include "flex_grid_data.h"

#include <QFont>
#include <QTableView>
#include <vector>

namespace tv {

class FlexGridDelegate;
class FlexGridHeader;
class FlexGridModel;

// The grid of every screen ("FG"): a text matrix addressed (row, col) with optional fixed
// heading row and key column (row 0 / column 0 when fixedRows / fixedCols is 1), widths and
// heights in twips, colours as stored colour values (red in the low byte, system colours
// allowed), per-cell fonts and pictures, merging of equal neighbours, and a current cell
// with a selected range. Heights, widths and styles read back as they were set, because the
// spreadsheet export and several screens read them.
//
// objectName is "FG" unless the screen names it otherwise.
//
// Lists are filled a row at a time (setRows(rows() + 1), then setTextMatrix per column);
// that stays fast for 100k rows. setRedraw(false) around a fill holds the view still until
// setRedraw(true), which is faster still.
class FlexGrid final : public QTableView {
    Q_OBJECT

public:
    using ColorValue = colors::ColorValue;
    using MergeMode = GridMerge;
    enum class SelectMode { Free, ByRow };
    enum class HighLight { Never, Always, WithFocus };

    static constexpr int kDefaultColWidth = 960; // twips

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // Extent. Rows and columns keep their contents when the grid grows or shrinks.
    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);
    int fixedRows() const; // 0 or 1
    void setFixedRows(int fixedRows);
    int fixedCols() const; // 0 or 1
    void setFixedCols(int fixedCols);
    // Empties every text; looks and sizes stay.
    void clear();
    // Back to `rows` empty rows with default looks and heights; columns, widths and the
    // grid-wide settings stay. Lists call resetRows(1) before refilling under their heading.
    void resetRows(int rows);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // Sizes in twips. A width of 1 twip hides a key column on screen; it stays readable and
    // reads back as 1. A negative value puts the default back.
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    int rowHeightMin() const;
    void setRowHeightMin(int twips);
    // Pixels, in this widget's coordinates, as last laid out.
    QRect cellRect(int row, int col) const;
    int topRow() const;
    void setTopRow(int row);
    void showCell(int row, int col);

    // The current cell (row, col) and the other end of the selected range (rowSel, colSel).
    // Row 0 of a grid with a heading row means "nothing chosen": a new grid starts there and
    // a click on the heading puts the current cell there. setRow/setCol collapse the range.
    int row() const { return m_row; }
    int col() const { return m_col; }
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    void setRow(int row);
    void setCol(int col);
    void setRowSel(int row);
    void setColSel(int col);
    SelectMode selectMode() const { return m_selectMode; }
    void setSelectMode(SelectMode mode);
    HighLight highLight() const { return m_highLight; }
    void setHighLight(HighLight mode);

    // Grid-wide colours. Cells without a colour of their own use these.
    ColorValue backColor() const { return m_backColor; }
    void setBackColor(ColorValue value);
    ColorValue foreColor() const { return m_foreColor; }
    void setForeColor(ColorValue value);
    ColorValue backColorFixed() const { return m_backColorFixed; }
    void setBackColorFixed(ColorValue value);
    ColorValue foreColorFixed() const { return m_foreColorFixed; }
    void setForeColorFixed(ColorValue value);
    ColorValue backColorSel() const { return m_backColorSel; }
    void setBackColorSel(ColorValue value);
    ColorValue foreColorSel() const { return m_foreColorSel; }
    void setForeColorSel(ColorValue value);
    // The area of the widget that no cell covers.
    ColorValue backColorBkg() const { return m_backColorBkg; }
    void setBackColorBkg(ColorValue value);
    ColorValue gridColor() const { return m_gridColor; }
    void setGridColor(ColorValue value);
    ColorValue gridColorFixed() const { return m_gridColorFixed; }
    void setGridColorFixed(ColorValue value);
    int gridLineWidth() const { return m_gridLineWidth; } // pixels; 0 = no lines
    void setGridLineWidth(int pixels);

    // Per-cell looks. Readers give the effective value (the grid's when the cell has none).
    ColorValue cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, ColorValue value);
    ColorValue cellForeColor(int row, int col) const;
    void setCellForeColor(int row, int col, ColorValue value);
    QString cellFontName(int row, int col) const;
    void setCellFontName(int row, int col, const QString& family);
    double cellFontSize(int row, int col) const;
    void setCellFontSize(int row, int col, double points);
    bool cellFontBold(int row, int col) const;
    void setCellFontBold(int row, int col, bool bold);
    bool cellFontItalic(int row, int col) const;
    void setCellFontItalic(int row, int col, bool italic);
    Qt::Alignment cellAlignment(int row, int col) const;
    void setCellAlignment(int row, int col, Qt::Alignment alignment);
    QPixmap cellPicture(int row, int col) const;
    void setCellPicture(int row, int col, const QPixmap& picture); // null pixmap removes it
    void setCellPicture(int row, int col, const QImage& picture);
    Qt::Alignment colAlignment(int col) const;
    void setColAlignment(int col, Qt::Alignment alignment);

    MergeMode mergeCells() const;
    void setMergeCells(MergeMode mode);
    bool mergeRow(int row) const;
    void setMergeRow(int row, bool on);
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool on);
    // Whether (row, col) is drawn as one cell with its right / lower neighbour.
    bool isMergedRight(int row, int col) const;
    bool isMergedDown(int row, int col) const;

    // Line breaks in a text (CR LF, CR or LF) always start a new line; wordWrap() (off by
    // default) also breaks long lines at spaces.

    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

signals:
    // Mouse and key events with the cell they concern; the heading row reports row 0.
    void cellPressed(int row, int col);
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);
    // Every key pressed while the grid has the focus, before the grid moves the current cell.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);
    void currentCellChanged(int row, int col);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class FlexGridDelegate;
    friend class FlexGridHeader;

    struct Cell {
        int row = -1;
        int col = -1;
        bool valid() const { return row >= 0; }
    };

    // flex_grid_paint.cpp
    void paintCell(QPainter& painter, const QRect& rect, int row, int col) const;
    QRect mergedRect(const QRect& rect, int row, int col, int* anchorRow, int* anchorCol) const;
    const QFont& cellFont(quint32 styleIndex) const;
    bool isHighlighted(int row, int col) const;

    // Geometry in pixels as the view lays it out.
    int colPixels(int col) const;
    int rowPixels(int row) const;
    int defaultRowPixels() const;
    int effectiveRowHeight(int row) const;
    int effectiveColWidth(int col) const;
    void visibleBodyRows(int* first, int* last) const;

    // Keeping the view in step with the data.
    bool live() const { return m_redraw; }
    void syncView();
    void applyRowHeight(int row);
    void applyColWidth(int col);
    void applyDefaultRowHeight();
    void applyFixedParts();
    void applyBackground();
    void repaintCells();
    void afterShapeChange();

    template <typename Change> void changeStyle(int row, int col, Change&& change);
    bool checkCell(int row, int col) const;

    // Interaction.
    Cell cellAt(const QObject* surface, const QPoint& pos) const;
    void pressAt(Cell cell, QMouseEvent* event, bool body);
    void moveCurrent(int row, int col, bool extend);
    void clampCurrent();
    void handleKey(QKeyEvent* event);

    FlexGridData m_data;
    FlexGridModel* m_model = nullptr;
    FlexGridDelegate* m_delegate = nullptr;
    FlexGridHeader* m_topHeader = nullptr;
    FlexGridHeader* m_sideHeader = nullptr;
    QWidget* m_corner = nullptr;

    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
    SelectMode m_selectMode = SelectMode::Free;
    HighLight m_highLight = HighLight::Always;
    bool m_redraw = true;
    bool m_repaintPending = false;
    bool m_fixedChanged = false;
    bool m_pressed = false;  // a press on a cell waits for its release (the click)
    bool m_dragging = false; // a press in the body extends the range while the mouse moves
    int m_rowHeightMin = 0;
    int m_defaultRowPixels = 0; // from the font, kept because rows ask for it on every growth

    ColorValue m_backColor = colors::systemColor(colors::Window);
    ColorValue m_foreColor = colors::systemColor(colors::WindowText);
    ColorValue m_backColorFixed = colors::systemColor(colors::ButtonFace);
    ColorValue m_foreColorFixed = colors::systemColor(colors::ButtonText);
    ColorValue m_backColorSel = colors::systemColor(colors::Highlight);
    ColorValue m_foreColorSel = colors::systemColor(colors::HighlightText);
    ColorValue m_backColorBkg = colors::systemColor(colors::AppWorkspace);
    ColorValue m_gridColor = colors::rgb(192, 192, 192);
    ColorValue m_gridColorFixed = colors::rgb(128, 128, 128);
    int m_gridLineWidth = 1;

    mutable std::vector<QFont> m_fontCache;
    mutable std::vector<bool> m_fontCached;
    mutable int m_fontCacheGeneration = -1;
};

} // namespace tv
