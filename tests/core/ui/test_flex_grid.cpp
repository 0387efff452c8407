// The shared grid: text matrix, fixed parts, sizes in twips, looks read back, merging,
// the current cell and selected range, and the signals screens act on.

#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace tv;

namespace {

// The way every list fills its grid: heading row, then a row at a time.
void fillList(FlexGrid& grid, int cols, int rows) {
    grid.setCols(cols);
    grid.resetRows(1);
    for (int c = 0; c < cols; ++c)
        grid.setTextMatrix(0, c, QStringLiteral("H%1").arg(c));
    for (int r = 1; r <= rows; ++r) {
        grid.setRows(grid.rows() + 1);
        for (int c = 0; c < cols; ++c)
            grid.setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    }
}

bool showGrid(FlexGrid& grid) {
    grid.resize(520, 320);
    grid.show();
    return QTest::qWaitForWindowExposed(&grid);
}

// Sends the mouse to whatever part of the grid draws the cell (body, heading, corner).
void mouseOnCell(FlexGrid& grid, int row, int col, bool twice = false,
                 Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint at = grid.cellRect(row, col).center();
    QWidget* target = grid.childAt(at);
    QVERIFY(target != nullptr);
    const QPoint local = target->mapFrom(&grid, at);
    if (twice)
        QTest::mouseDClick(target, button, modifiers, local);
    else
        QTest::mouseClick(target, button, modifiers, local);
}

} // namespace

class FlexGridTest final : public QObject {
    Q_OBJECT

private slots:
    void textMatrixGrowsAndShrinks() {
        FlexGrid grid;
        fillList(grid, 4, 5);
        QCOMPARE(grid.rows(), 6);
        QCOMPARE(grid.textMatrix(5, 3), QStringLiteral("5,3"));
        QCOMPARE(grid.textMatrix(0, 2), QStringLiteral("H2"));

        grid.setRows(3);
        QCOMPARE(grid.rows(), 3);
        QCOMPARE(grid.textMatrix(2, 1), QStringLiteral("2,1"));
        grid.setRows(6);
        QCOMPARE(grid.textMatrix(4, 1), QString()); // grown rows start empty, not stale

        grid.setCols(6);
        QCOMPARE(grid.textMatrix(2, 3), QStringLiteral("2,3"));
        QCOMPARE(grid.textMatrix(2, 5), QString());
        grid.setTextMatrix(2, 5, QStringLiteral("x"));
        grid.setCols(2);
        QCOMPARE(grid.textMatrix(2, 1), QStringLiteral("2,1"));
        QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("H0"));
        grid.setCols(6);
        QCOMPARE(grid.textMatrix(2, 5), QString());

        // Reading outside is harmless; writing outside is reported and changes nothing.
        QCOMPARE(grid.textMatrix(99, 0), QString());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("outside"));
        grid.setTextMatrix(99, 0, QStringLiteral("lost"));
        QCOMPARE(grid.rows(), 6);
    }

    void multiLineTextIsKeptAsStored() {
        FlexGrid grid;
        grid.setTextMatrix(1, 1, QStringLiteral("Counter 2\r\nRoom 5"));
        QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("Counter 2\r\nRoom 5"));
    }

    void headingRowAndKeyColumnAreFixed() {
        FlexGrid grid;
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(grid.cols(), 2);
        QCOMPARE(grid.fixedRows(), 1);
        QCOMPARE(grid.fixedCols(), 1);
        QCOMPARE(grid.row(), 0); // nothing chosen yet

        fillList(grid, 5, 3);
        QAbstractItemModel* model = grid.model();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->columnCount(), 4);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("1,1"));

        grid.setRows(0);
        QCOMPARE(grid.rows(), 1); // the heading row stays
        QCOMPARE(grid.textMatrix(0, 3), QStringLiteral("H3"));

        grid.setRows(4);
        grid.setFixedCols(0);
        grid.setFixedRows(0);
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->columnCount(), 5);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("H0"));
        grid.setFixedRows(1);
        QCOMPARE(model->rowCount(), 3);
    }

    void clearKeepsLooksResetDropsThem() {
        FlexGrid grid;
        fillList(grid, 3, 4);
        grid.setColWidth(2, 2000);
        grid.setCellBackColor(2, 1, 65280);
        grid.setRowHeight(2, 700);
        grid.clear();
        QCOMPARE(grid.rows(), 5);
        QCOMPARE(grid.textMatrix(2, 1), QString());
        QCOMPARE(grid.textMatrix(0, 1), QString());
        QCOMPARE(grid.cellBackColor(2, 1), 65280u);

        grid.resetRows(1);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.cols(), 3);
        QCOMPARE(grid.colWidth(2), 2000);
        grid.setRows(3);
        QCOMPARE(grid.cellBackColor(2, 1), grid.backColor());
        QCOMPARE(grid.rowHeight(2), grid.rowHeight(1));
    }

    void fillingRowByRowKeepsTheViewInStep() {
        FlexGrid grid;
        QVERIFY(showGrid(grid));
        fillList(grid, 11, 3000);
        QCOMPARE(grid.model()->rowCount(), 3000);
        QCOMPARE(grid.verticalHeader()->count(), 3000);
        grid.showCell(3000, 5);
        QCoreApplication::processEvents();
        QCOMPARE(grid.rowAt(grid.cellRect(3000, 5).center().y() - grid.viewport()->y()), 2999);
    }

    void redrawOffHoldsTheViewUntilItComesBack() {
        FlexGrid grid;
        QVERIFY(showGrid(grid));
        grid.setCols(3);
        grid.setRedraw(false);
        QVERIFY(!grid.redraw());
        fillList(grid, 3, 500);
        grid.setRowHeight(10, 600);
        grid.setColWidth(2, 3000);
        QCOMPARE(grid.model()->rowCount(), 1); // the view still has the rows it had
        grid.setRedraw(true);
        QCOMPARE(grid.model()->rowCount(), 500);
        QCOMPARE(grid.verticalHeader()->sectionSize(9), twips::toPixelsY(600));
        QCOMPARE(grid.horizontalHeader()->sectionSize(1), twips::toPixelsX(3000));

        // Cut back and refilled while held: the old height must not stick to row 10.
        grid.setRedraw(false);
        fillList(grid, 3, 500);
        grid.setRedraw(true);
        QCOMPARE(grid.model()->rowCount(), 500);
        QCOMPARE(grid.verticalHeader()->sectionSize(9), grid.verticalHeader()->sectionSize(8));
        QCOMPARE(grid.textMatrix(500, 2), QStringLiteral("500,2"));
    }

    void widthsAreTwips() {
        FlexGrid grid;
        grid.setCols(4);
        QCOMPARE(grid.colWidth(3), FlexGrid::kDefaultColWidth);
        grid.setColWidth(2, 1500);
        QCOMPARE(grid.colWidth(2), 1500);
        QCOMPARE(grid.horizontalHeader()->sectionSize(1), twips::toPixelsX(1500));
        QCOMPARE(grid.cellRect(1, 2).width(), twips::toPixelsX(1500));
        grid.setColWidth(2, -1);
        QCOMPARE(grid.colWidth(2), FlexGrid::kDefaultColWidth);

        // The key column: 1 twip wide, nothing on screen, still there to read.
        grid.setFixedCols(0);
        grid.setColWidth(0, 1);
        grid.setTextMatrix(1, 0, QStringLiteral("42"));
        QCOMPARE(grid.colWidth(0), 1);
        QCOMPARE(grid.columnWidth(0), 0);
        QCOMPARE(grid.cellRect(1, 0).width(), 0);
        QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("42"));
        QCOMPARE(grid.cellRect(1, 1).left(), grid.cellRect(1, 0).left());

        // As a fixed column the key column is just as hidden.
        grid.setFixedCols(1);
        QCOMPARE(grid.colWidth(0), 1);
        QCOMPARE(grid.cellRect(1, 0).width(), 0);

        grid.setCols(6);
        QCOMPARE(grid.colWidth(5), FlexGrid::kDefaultColWidth);
        QCOMPARE(grid.horizontalHeader()->sectionSize(4),
                 twips::toPixelsX(FlexGrid::kDefaultColWidth));
    }

    void heightsAreTwipsWithAMinimum() {
        FlexGrid grid;
        grid.setRows(6);
        const int plain = grid.rowHeight(3);
        QVERIFY(plain > 0);
        grid.setRowHeight(1, 600);
        QCOMPARE(grid.rowHeight(1), 600);
        QCOMPARE(grid.cellRect(1, 1).height(), twips::toPixelsY(600));

        grid.setRowHeight(2, 150);
        grid.setRowHeightMin(450);
        QCOMPARE(grid.rowHeightMin(), 450);
        QCOMPARE(grid.rowHeight(3), std::max(plain, 450));
        QCOMPARE(grid.rowHeight(2), 450); // the minimum wins over a smaller height
        QCOMPARE(grid.rowHeight(1), 600);
        QCOMPARE(grid.cellRect(2, 1).height(), twips::toPixelsY(450));
        grid.setRows(8);
        QCOMPARE(grid.cellRect(7, 1).height(), twips::toPixelsY(std::max(plain, 450)));

        grid.setRowHeight(4, 0); // hidden rows stay hidden
        QCOMPARE(grid.rowHeight(4), 0);
        QCOMPARE(grid.cellRect(4, 1).height(), 0);

        grid.setRowHeight(0, 900); // the heading row
        QCOMPARE(grid.rowHeight(0), 900);
        QCOMPARE(grid.horizontalHeader()->height(), twips::toPixelsY(900));
        QCOMPARE(grid.cellRect(0, 1).height(), twips::toPixelsY(900));
        QCOMPARE(grid.cellRect(1, 1).top(), grid.cellRect(0, 1).bottom() + 1);
    }

    void topRowScrolls() {
        FlexGrid grid;
        QVERIFY(showGrid(grid));
        fillList(grid, 3, 1000);
        QCOMPARE(grid.topRow(), 1);
        grid.setTopRow(500);
        QCOMPARE(grid.topRow(), 500);
        QCOMPARE(grid.cellRect(500, 1).top(), grid.cellRect(0, 1).bottom() + 1);
    }

    void coloursReadBackAsStored() {
        FlexGrid grid;
        grid.setRows(4);
        grid.setCellBackColor(1, 1, 65280);
        QCOMPARE(grid.cellBackColor(1, 1), 65280u);
        QCOMPARE(grid.cellBackColor(2, 1), grid.backColor()); // a cell without its own
        grid.setBackColor(16777215);
        QCOMPARE(grid.cellBackColor(2, 1), 16777215u);
        QCOMPARE(grid.cellBackColor(1, 1), 65280u);
        QCOMPARE(grid.cellBackColor(0, 1), grid.backColorFixed());
        QCOMPARE(grid.cellBackColor(2, 0), grid.backColorFixed());

        // System colour values are kept as given; translating is the reader's business.
        grid.setCellForeColor(2, 1, 0x80000008u);
        QCOMPARE(grid.cellForeColor(2, 1), 0x80000008u);
        grid.setCellForeColor(3, 1, 1);
        QCOMPARE(grid.cellForeColor(3, 1), 1u);
        QCOMPARE(grid.cellForeColor(1, 1), grid.foreColor());

        grid.setBackColorFixed(0x00FF0000);
        QCOMPARE(grid.cellBackColor(0, 1), 0x00FF0000u);
    }

    void fontsAndAlignmentReadBack() {
        FlexGrid grid;
        grid.setRows(3);
        QCOMPARE(grid.cellFontName(1, 1), grid.font().family());
        QCOMPARE(grid.cellFontSize(1, 1), grid.font().pointSizeF());
        QVERIFY(!grid.cellFontBold(1, 1));

        grid.setCellFontName(1, 1, QStringLiteral("Liberation Serif"));
        grid.setCellFontSize(1, 1, 26.5);
        grid.setCellFontBold(1, 1, true);
        grid.setCellFontItalic(1, 1, true);
        grid.setCellAlignment(1, 1, Qt::AlignRight);
        grid.setCellForeColor(1, 1, 255);
        // Each property is set on its own; none may undo another.
        QCOMPARE(grid.cellFontName(1, 1), QStringLiteral("Liberation Serif"));
        QCOMPARE(grid.cellFontSize(1, 1), 26.5);
        QVERIFY(grid.cellFontBold(1, 1));
        QVERIFY(grid.cellFontItalic(1, 1));
        QCOMPARE(grid.cellAlignment(1, 1), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(grid.cellForeColor(1, 1), 255u);
        QCOMPARE(grid.cellFontName(2, 1), grid.font().family());

        grid.setColAlignment(1, Qt::AlignHCenter);
        QCOMPARE(grid.cellAlignment(2, 1), Qt::AlignHCenter | Qt::AlignVCenter);
        QCOMPARE(grid.cellAlignment(1, 1), Qt::AlignRight | Qt::AlignVCenter);

        QImage picture(30, 20, QImage::Format_RGB32);
        picture.fill(Qt::red);
        grid.setCellPicture(2, 1, picture);
        QCOMPARE(grid.cellPicture(2, 1).size(), QSize(30, 20));
        QVERIFY(grid.cellPicture(1, 1).isNull());
        grid.setCellPicture(2, 1, QPixmap());
        QVERIFY(grid.cellPicture(2, 1).isNull());
    }

    void equalLooksAreStoredOnceAndOldOnesSwept() {
        FlexGridData data;
        data.setCols(11);
        data.setRows(1000);
        CellStyle green;
        green.backColor = 65280;
        for (int r = 0; r < 1000; ++r)
            for (int c = 0; c < 11; ++c)
                data.setStyle(r, c, green);
        QCOMPARE(data.styleCount(), 2); // the default and green

        // A cell that gets a new picture again and again (a list reloaded with its
        // button picture) must not keep every old picture alive.
        CellStyle red;
        red.backColor = 255;
        for (int i = 0; i < 5000; ++i) {
            CellStyle withPicture;
            withPicture.picture = QPixmap(4, 4);
            data.setStyle(0, 0, withPicture);
            if (i == 40) data.setStyle(500, 5, red); // a look whose index moves in a sweep
        }
        QVERIFY2(data.styleCount() < 200, qPrintable(QString::number(data.styleCount())));
        QCOMPARE(data.style(500, 5).backColor, 255u);
        QCOMPARE(data.style(999, 10).backColor, 65280u);
        QCOMPARE(data.style(0, 1).backColor, 65280u);
        QVERIFY(!data.style(0, 0).picture.isNull());
    }

    void mergingNeedsFlagsEqualTextsAndOneZone() {
        FlexGrid grid;
        grid.setCols(5);
        grid.setRows(5);
        grid.setTextMatrix(0, 2, QStringLiteral("Counter"));
        grid.setTextMatrix(0, 3, QStringLiteral("Counter"));
        grid.setTextMatrix(0, 4, QStringLiteral("Other"));
        grid.setMergeRow(0, true);
        QVERIFY(!grid.isMergedRight(0, 2)); // mode Never
        grid.setMergeCells(FlexGrid::MergeMode::Free);
        QVERIFY(grid.isMergedRight(0, 2));
        QVERIFY(!grid.isMergedRight(0, 3));
        QVERIFY(!grid.isMergedRight(0, 0)); // blank cells never merge
        grid.setMergeRow(0, false);
        QVERIFY(!grid.isMergedRight(0, 2));

        // Heading and body are drawn apart, so they never merge with each other.
        grid.setMergeCol(2, true);
        grid.setTextMatrix(1, 2, QStringLiteral("Counter"));
        grid.setTextMatrix(2, 2, QStringLiteral("Counter"));
        QVERIFY(!grid.isMergedDown(0, 2));
        QVERIFY(grid.isMergedDown(1, 2));
        // Nor the key column with the first scrolling column.
        grid.setMergeRow(1, true);
        grid.setTextMatrix(1, 0, QStringLiteral("K"));
        grid.setTextMatrix(1, 1, QStringLiteral("K"));
        QVERIFY(!grid.isMergedRight(1, 0));
    }

    void restrictedMerging() {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(5);
        for (int c = 1; c < 3; ++c)
            grid.setMergeCol(c, true);
        const QString department[] = {{}, "D1", "D1", "D2", "D3"};
        for (int r = 1; r < 5; ++r) {
            grid.setTextMatrix(r, 1, department[r]);
            grid.setTextMatrix(r, 2, QStringLiteral("S"));
        }
        grid.setMergeCells(FlexGrid::MergeMode::Free);
        QVERIFY(grid.isMergedDown(1, 2));
        QVERIFY(grid.isMergedDown(3, 2));
        grid.setMergeCells(FlexGrid::MergeMode::RestrictColumns);
        QVERIFY(grid.isMergedDown(1, 1));
        QVERIFY(grid.isMergedDown(1, 2));  // D1 / D1 on the left
        QVERIFY(!grid.isMergedDown(3, 2)); // D2 / D3 on the left
        grid.setMergeCells(FlexGrid::MergeMode::RestrictAll);
        QVERIFY(!grid.isMergedDown(3, 2));

        // Rows: a pair merges only under a merged pair.
        FlexGrid rows;
        rows.setCols(4);
        rows.setRows(3);
        for (int r = 1; r < 3; ++r)
            rows.setMergeRow(r, true);
        rows.setTextMatrix(1, 1, QStringLiteral("A"));
        rows.setTextMatrix(1, 2, QStringLiteral("A"));
        rows.setTextMatrix(1, 3, QStringLiteral("B"));
        for (int c = 1; c < 4; ++c)
            rows.setTextMatrix(2, c, QStringLiteral("x"));
        rows.setMergeCells(FlexGrid::MergeMode::RestrictRows);
        QVERIFY(rows.isMergedRight(2, 1));
        QVERIFY(!rows.isMergedRight(2, 2));
        rows.setMergeCells(FlexGrid::MergeMode::Free);
        QVERIFY(rows.isMergedRight(2, 2));
    }

    void currentCellAndSelectedRange() {
        FlexGrid grid;
        fillList(grid, 4, 9);
        QSignalSpy moved(&grid, &FlexGrid::currentCellChanged);
        grid.setRow(5);
        QCOMPARE(grid.row(), 5);
        QCOMPARE(grid.rowSel(), 5);
        grid.setRowSel(2); // a range made upwards: the anchor stays the current row
        QCOMPARE(grid.row(), 5);
        QCOMPARE(grid.rowSel(), 2);
        grid.setCol(2);
        QCOMPARE(grid.colSel(), 2);
        grid.setColSel(3);
        QCOMPARE(grid.col(), 2);
        grid.setRow(7);
        QCOMPARE(grid.rowSel(), 7);
        QCOMPARE(moved.count(), 3);
        QCOMPARE(moved.last(), QVariantList({7, 2}));

        grid.setRows(4); // shrinking pulls the current cell back in
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.rowSel(), 3);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("outside"));
        grid.setRow(40);
        QCOMPARE(grid.row(), 3);

        grid.resetRows(1); // a list reloaded under its heading: nothing chosen
        QCOMPARE(grid.row(), 0);
        QCOMPARE(grid.textMatrix(grid.row(), 0), QString());
    }

    void mouseSetsTheCellAndTheRange() {
        FlexGrid grid;
        QVERIFY(showGrid(grid));
        fillList(grid, 4, 9);
        grid.setSelectMode(FlexGrid::SelectMode::ByRow);
        mouseOnCell(grid, 3, 2);
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.col(), 2);
        QVERIFY(grid.hasFocus());
        mouseOnCell(grid, 6, 1, false, Qt::ShiftModifier);
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.rowSel(), 6);

        // Dragging with the button down stretches the range.
        const QPoint from = grid.cellRect(2, 1).center() - grid.viewport()->pos();
        const QPoint to = grid.cellRect(5, 1).center() - grid.viewport()->pos();
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, grid.viewport()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid.viewport(), &move);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.rowSel(), 5);
    }

    void clickSignalsReportTheCell() {
        FlexGrid grid;
        QVERIFY(showGrid(grid));
        fillList(grid, 4, 5);
        grid.setColWidth(0, 1);
        QSignalSpy pressed(&grid, &FlexGrid::cellPressed);
        QSignalSpy clicked(&grid, &FlexGrid::cellClicked);
        QSignalSpy doubled(&grid, &FlexGrid::cellDoubleClicked);

        mouseOnCell(grid, 2, 1);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(pressed.last(), QVariantList({2, 1}));
        QCOMPARE(clicked.last(), QVariantList({2, 1}));
        QCOMPARE(grid.row(), 2);

        mouseOnCell(grid, 4, 3, true);
        QCOMPARE(doubled.count(), 1);
        QCOMPARE(doubled.last(), QVariantList({4, 3}));
        QCOMPARE(grid.textMatrix(grid.row(), 0), QStringLiteral("4,0"));

        // The heading row reports row 0, and its key cell is empty, so callers can ignore it.
        grid.setTextMatrix(0, 0, QString());
        mouseOnCell(grid, 0, 2, true);
        QCOMPARE(doubled.count(), 2);
        QCOMPARE(doubled.last(), QVariantList({0, 2}));
        QCOMPARE(grid.row(), 0);
        QCOMPARE(grid.textMatrix(grid.row(), 0), QString());
        mouseOnCell(grid, 0, 3);
        QCOMPARE(clicked.last(), QVariantList({0, 3}));

        // The right button moves the current cell and presses, but does not click.
        const int clicks = clicked.count();
        mouseOnCell(grid, 3, 2, false, {}, Qt::RightButton);
        QCOMPARE(pressed.last(), QVariantList({3, 2}));
        QCOMPARE(clicked.count(), clicks);
        QCOMPARE(grid.row(), 3);

        // Below the last row there is no cell: nothing happens.
        grid.setRow(3);
        const int before = clicked.count();
        const QPoint below(grid.viewport()->width() / 2, grid.viewport()->height() - 3);
        QVERIFY(grid.cellRect(5, 1).bottom() < grid.viewport()->mapTo(&grid, below).y());
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(clicked.count(), before);
        QCOMPARE(grid.row(), 3);
    }

    void keysAreReportedAndMoveTheCell() {
        FlexGrid grid;
        QVERIFY(showGrid(grid));
        fillList(grid, 4, 30);
        grid.setColWidth(0, 1);
        grid.setFocus();
        QSignalSpy keys(&grid, &FlexGrid::keyPressed);

        QTest::keyClick(&grid, Qt::Key_F5);
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(keys.count(), 2);
        QCOMPARE(keys.at(0).at(0).toInt(), int(Qt::Key_F5));
        QCOMPARE(keys.at(1).at(0).toInt(), int(Qt::Key_Space));
        QCOMPARE(grid.row(), 0);

        QTest::keyClick(&grid, Qt::Key_Down); // from nothing chosen to the first row
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.col(), 1);
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.rowSel(), 3);
        QTest::keyClick(&grid, Qt::Key_Left); // the key column is not a place to land
        QCOMPARE(grid.col(), 1);
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid.row(), 30);
        QVERIFY(grid.topRow() > 1); // scrolled to show it
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(grid.row(), 29);
    }
};

QTEST_MAIN(FlexGridTest)
#include "test_flex_grid.moc"
