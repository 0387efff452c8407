// What the grid draws: colours, pictures, lines, merged blocks, two-line cells, fonts and
// the selection, read back from a rendering of the widget. Set TV_GRID_SNAPSHOT to a file
// name to keep the picture for a look.

#include "core/ui/colors.h"
#include "core/ui/flex_grid.h"
#include "core/ui/twips.h"

#include <QTest>

using namespace tv;

namespace {

constexpr colors::ColorValue kWhite = 0xFFFFFF;
constexpr colors::ColorValue kLine = colors::rgb(0, 0, 200);
constexpr colors::ColorValue kHeading = colors::rgb(200, 200, 200);
constexpr colors::ColorValue kOutside = colors::rgb(90, 90, 90);

QColor rgbOf(colors::ColorValue value) {
    return colors::toQColor(value);
}

bool isDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

// Rows of the rectangle that hold dark (text) pixels, as runs: one run per line of text.
QList<QPair<int, int>> inkRuns(const QImage& image, const QRect& rect) {
    QList<QPair<int, int>> runs;
    bool inRun = false;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        bool ink = false;
        for (int x = rect.left(); x <= rect.right() && !ink; ++x)
            ink = isDark(image.pixel(x, y));
        if (ink && !inRun) runs.append({y, y});
        if (ink) runs.last().second = y;
        inRun = ink;
    }
    return runs;
}

} // namespace

class FlexGridPaintTest final : public QObject {
    Q_OBJECT

private:
    FlexGrid* m_grid = nullptr;

    QImage render() {
        QCoreApplication::processEvents();
        const QImage image = m_grid->grab().toImage();
        const QByteArray snapshot = qgetenv("TV_GRID_SNAPSHOT");
        if (!snapshot.isEmpty()) image.save(QString::fromLocal8Bit(snapshot));
        return image;
    }

    QColor at(const QImage& image, int row, int col, int dx, int dy) {
        const QRect cell = m_grid->cellRect(row, col);
        return image.pixelColor(cell.left() + dx, cell.top() + dy);
    }

private slots:
    void init() {
        m_grid = new FlexGrid;
        FlexGrid& g = *m_grid;
        g.resize(520, 360);
        g.setCols(4);
        g.setRows(6);
        g.setColWidth(0, 1);
        for (int c = 1; c < 4; ++c)
            g.setColWidth(c, 1800);
        for (int c = 1; c < 4; ++c)
            g.setTextMatrix(0, c, QStringLiteral("Head %1").arg(c));
        g.setBackColor(kWhite);
        g.setForeColor(0);
        g.setBackColorFixed(kHeading);
        g.setForeColorFixed(0);
        g.setBackColorBkg(kOutside);
        g.setGridColor(kLine);
        g.setGridColorFixed(kLine);
        g.setHighLight(FlexGrid::HighLight::Never);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
    }

    void cleanup() {
        delete m_grid;
        m_grid = nullptr;
    }

    void coloursAndTheAreaOutside() {
        m_grid->setCellBackColor(1, 1, 65280);
        m_grid->setCellBackColor(1, 2, colors::systemColor(colors::Highlight));
        const QImage image = render();
        QCOMPARE(at(image, 1, 1, 4, 4), QColor(0, 255, 0));
        QCOMPARE(at(image, 1, 2, 4, 4),
                 m_grid->palette().color(QPalette::Active, QPalette::Highlight));
        QCOMPARE(at(image, 1, 3, 4, 4), rgbOf(kWhite));
        QCOMPARE(at(image, 0, 2, 2, 2), rgbOf(kHeading));
        const QRect last = m_grid->cellRect(5, 3);
        QCOMPARE(image.pixelColor(last.right() + 10, last.bottom() + 10), rgbOf(kOutside));
    }

    void gridLinesHaveTheirColourAndWidth() {
        QImage image = render();
        const QRect cell = m_grid->cellRect(2, 2);
        const int y = cell.center().y();
        QCOMPARE(image.pixelColor(cell.right(), y), rgbOf(kLine));
        QCOMPARE(image.pixelColor(cell.right() - 1, y), rgbOf(kWhite));
        QCOMPARE(image.pixelColor(cell.center().x(), cell.bottom()), rgbOf(kLine));

        m_grid->setGridLineWidth(3);
        m_grid->setGridColor(colors::kRed);
        image = render();
        for (int dx = 0; dx < 3; ++dx)
            QCOMPARE(image.pixelColor(cell.right() - dx, y), QColor(Qt::red));
        QCOMPARE(image.pixelColor(cell.right() - 3, y), rgbOf(kWhite));
    }

    void picturesAreStretchedUnderTheText() {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(QColor(255, 0, 0));
        m_grid->setRowHeight(2, 900);
        m_grid->setCellPicture(2, 1, picture);
        m_grid->setTextMatrix(2, 1, QStringLiteral("A12"));
        const QImage image = render();
        const QRect cell = m_grid->cellRect(2, 1);
        QCOMPARE(at(image, 2, 1, 1, 1), QColor(255, 0, 0));
        // Right up to the grid line at the far corner: stretched, not drawn at its own size.
        QCOMPARE(image.pixelColor(cell.right() - 1, cell.bottom() - 1), QColor(255, 0, 0));
        QCOMPARE(inkRuns(image, cell.adjusted(1, 1, -2, -2)).size(), 1); // text on top
    }

    void crLfMakesTwoLines() {
        m_grid->setRowHeight(3, 900);
        m_grid->setTextMatrix(3, 2, QStringLiteral("Counter 2\r\nRoom 5"));
        m_grid->setTextMatrix(3, 3, QStringLiteral("Counter 2"));
        const QImage image = render();
        const QRect two = m_grid->cellRect(3, 2).adjusted(1, 1, -2, -2);
        const QRect one = m_grid->cellRect(3, 3).adjusted(1, 1, -2, -2);
        QCOMPARE(inkRuns(image, two).size(), 2);
        QCOMPARE(inkRuns(image, one).size(), 1);
    }

    void mergedCellsHaveNoLineBetweenThem() {
        m_grid->setMergeCells(FlexGrid::MergeMode::Free);
        m_grid->setMergeRow(0, true);
        m_grid->setTextMatrix(0, 2, QStringLiteral("Counter"));
        m_grid->setTextMatrix(0, 3, QStringLiteral("Counter"));
        m_grid->setCellAlignment(0, 2, Qt::AlignCenter);
        m_grid->setMergeCol(1, true);
        m_grid->setTextMatrix(1, 1, QStringLiteral("Lab"));
        m_grid->setTextMatrix(2, 1, QStringLiteral("Lab"));
        m_grid->setTextMatrix(3, 1, QStringLiteral("Desk"));
        const QImage image = render();

        const QRect head = m_grid->cellRect(0, 2);
        QCOMPARE(image.pixelColor(head.right(), head.top() + 2), rgbOf(kHeading));
        const QRect head1 = m_grid->cellRect(0, 1);
        QCOMPARE(image.pixelColor(head1.right(), head1.top() + 2), rgbOf(kLine));
        // Centred on the block, the text is drawn once, right across the join.
        QCOMPARE(inkRuns(image, QRect(head.right() - 1, head.top(), 3, head.height() - 2)).size(),
                 1);
        QCOMPARE(inkRuns(image, QRect(head.center().x(), head.top(), 3, head.height() - 2)).size(),
                 0);

        const QRect lab = m_grid->cellRect(1, 1);
        QCOMPARE(image.pixelColor(lab.left() + 3, lab.bottom()), rgbOf(kWhite));
        const QRect lab2 = m_grid->cellRect(2, 1);
        QCOMPARE(image.pixelColor(lab2.left() + 3, lab2.bottom()), rgbOf(kLine));
    }

    void fontsShowTheirSizeAndBoldness() {
        m_grid->setRowHeight(4, 1000);
        m_grid->setTextMatrix(4, 1, QStringLiteral("H"));
        m_grid->setTextMatrix(4, 2, QStringLiteral("H"));
        m_grid->setCellFontSize(4, 2, 30);
        m_grid->setTextMatrix(5, 1, QStringLiteral("HHHH"));
        m_grid->setTextMatrix(5, 2, QStringLiteral("HHHH"));
        m_grid->setCellFontBold(5, 2, true);
        const QImage image = render();
        const auto height = [&](int row, int col) {
            const auto runs = inkRuns(image, m_grid->cellRect(row, col).adjusted(1, 1, -2, -2));
            return runs.isEmpty() ? 0 : runs.first().second - runs.first().first + 1;
        };
        QVERIFY2(height(4, 2) > 2 * height(4, 1),
                 qPrintable(QStringLiteral("%1 vs %2").arg(height(4, 2)).arg(height(4, 1))));
        const auto ink = [&](int row, int col) {
            int dark = 0;
            const QRect cell = m_grid->cellRect(row, col).adjusted(1, 1, -2, -2);
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    dark += isDark(image.pixel(x, y));
            return dark;
        };
        QVERIFY(ink(5, 2) > ink(5, 1));
    }

    void foreColourPaintsTheText() {
        m_grid->setTextMatrix(1, 3, QStringLiteral("MMMM"));
        m_grid->setCellForeColor(1, 3, colors::kRed);
        m_grid->setCellFontSize(1, 3, 16);
        const QImage image = render();
        const QRect cell = m_grid->cellRect(1, 3).adjusted(1, 1, -2, -2);
        int red = 0;
        int black = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
                black += qGray(c.rgb()) < 40;
            }
        }
        QVERIFY(red > 10);
        QCOMPARE(black, 0);
    }

    void selectionIsHighlightedUnlessSwitchedOff() {
        m_grid->setSelectMode(FlexGrid::SelectMode::ByRow);
        m_grid->setBackColorSel(colors::rgb(255, 255, 0));
        m_grid->setRow(2);
        m_grid->setRowSel(3);
        QImage image = render();
        QCOMPARE(at(image, 2, 3, 4, 4), rgbOf(kWhite)); // HighLight::Never

        m_grid->setHighLight(FlexGrid::HighLight::Always);
        image = render();
        for (int row : {2, 3})
            for (int col : {1, 3})
                QCOMPARE(at(image, row, col, 4, 4), QColor(255, 255, 0));
        QCOMPARE(at(image, 4, 2, 4, 4), rgbOf(kWhite));
        const QRect heading = m_grid->cellRect(0, 2);
        QCOMPARE(image.pixelColor(heading.right() - 4, heading.top() + 2), rgbOf(kHeading));

        // A click on the heading (row 0) chooses nothing, so nothing is lit.
        m_grid->setRow(0);
        image = render();
        QCOMPARE(at(image, 2, 1, 4, 4), rgbOf(kWhite));
    }
};

QTEST_MAIN(FlexGridPaintTest)
#include "test_flex_grid_paint.moc"
