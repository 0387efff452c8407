// The theme editor's rules without a database or a window: the field table
// against the stored column order, the checks on leaving a field, the width
// check and the number checks before a save, the pickers' filters; and the
// layout designer's rectangle and handles.
#include "core/schema.h"
#include "themes/c_rect.h"
#include "themes/layout_ops.h"
#include "themes/theme_fields.h"

#include <QtTest>

using namespace tv;

class ThemeRulesTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsFollowTheStoredColumnOrder() {
        const QStringList columns = schema::columnNames("tbltheme");
        QCOMPARE(columns.size(), 47);
        QCOMPARE(theme::fields().size(), theme::fieldCount);
        for (int i = 0; i < theme::fieldCount; ++i)
            QVERIFY2(columns.at(i + 1).compare(theme::fields().at(i).column, Qt::CaseInsensitive) ==
                         0,
                     theme::fields().at(i).column);
        QCOMPARE(theme::indexOf("txtName"), 0);
        QCOMPARE(theme::indexOf("TTLSIZE"), 37);
        QCOMPARE(theme::indexOf("lblNewsBG"), 45);
        QCOMPARE(theme::indexOf("nothing"), -1);
    }

    void startingTexts() {
        const QStringList start = theme::startTexts();
        const auto at = [&](const char* c) { return start.at(theme::indexOf(c)); };
        QCOMPARE(at("txtColumn"), QString("2"));
        QCOMPARE(at("txtRow"), QString("12"));
        QCOMPARE(at("txtColWidth"), QString());
        QCOMPARE(at("txtRHeight"), QString("500"));
        QCOMPARE(at("tblLine"), QString("1"));
        QCOMPARE(at("txtVol"), QString("5"));
        QCOMPARE(at("chktime"), QString("0"));
        QCOMPARE(at("cmbType"), QString("Vertical"));
        QCOMPARE(at("txtTformat"), QString("dd-MMM-yyyy HH:mm"));
        int swatches = 0;
        for (int i = 0; i < theme::fieldCount; ++i) {
            if (theme::fields().at(i).kind != theme::Kind::Colour) continue;
            ++swatches;
            QCOMPARE(start.at(i), QString::number(theme::startColour));
        }
        QCOMPARE(swatches, 13);
        QCOMPARE(theme::startColour, 4210752u);
    }

    void columnWidthCheck_data() {
        QTest::addColumn<QString>("widths");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<bool>("passes");
        QTest::newRow("two widths, two columns") << "2500;2500"
                                                 << "2" << true;
        QTest::newRow("one width for two") << "2500"
                                           << "2" << false;
        QTest::newRow("a word for a width") << "2500;x"
                                            << "2" << false;
        QTest::newRow("two widths for three") << "3000;2000"
                                              << "3" << false;
        QTest::newRow("empty") << ""
                               << "2" << false;
        QTest::newRow("three columns") << "2500;2500;2500"
                                       << "3" << true;
        QTest::newRow("blanks around") << " 2500;2400 "
                                       << "2" << true;
        QTest::newRow("blanks inside") << "2500 ;2400"
                                       << "2" << false;
        QTest::newRow("a column count of 2.0") << "10;20"
                                               << "2.0" << true;
        QTest::newRow("no column count") << "10;20"
                                         << "abc" << false;
        // Pass the plain rule (";" removed the rest is numeric) yet leave a
        // column without a width the board can use.
        QTest::newRow("a missing last width") << "2500;"
                                              << "2" << false;
        QTest::newRow("a negative width") << "-100;2600"
                                          << "2" << false;
        QTest::newRow("half an exponent") << "1;e3"
                                          << "2" << false;
        QTest::newRow("a width wider than any screen") << "1e10;1"
                                                       << "2" << false;
        QTest::newRow("nan") << "nan;1"
                             << "2" << false;
        QTest::newRow("an exponent is a number") << "1e3;5"
                                                 << "2" << true;
    }
    void columnWidthCheck() {
        QFETCH(QString, widths);
        QFETCH(QString, columns);
        QFETCH(bool, passes);
        QCOMPARE(theme::chkVal(widths, columns), passes);
    }

    void fieldChecksOnLeaving_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("columns not numeric") << "txtColumn"
                                             << "two"
                                             << "2";
        QTest::newRow("columns numeric") << "txtColumn"
                                         << "3"
                                         << "3";
        QTest::newRow("rows not numeric") << "txtRow"
                                          << "x"
                                          << "2";
        QTest::newRow("rows empty") << "txtRow"
                                    << ""
                                    << "2";
        QTest::newRow("rows numeric") << "txtRow"
                                      << "7"
                                      << "7";
        QTest::newRow("row height not numeric") << "txtRHeight"
                                                << "tall"
                                                << "200";
        QTest::newRow("row height numeric") << "txtRHeight"
                                            << "650"
                                            << "650";
        QTest::newRow("line width below 1") << "tblLine"
                                            << "0"
                                            << "1";
        QTest::newRow("line width not numeric") << "tblLine"
                                                << "'; drop table x"
                                                << "1";
        QTest::newRow("line width 3") << "tblLine"
                                      << "3"
                                      << "3";
        QTest::newRow("volume above 10") << "txtVol"
                                         << "11"
                                         << "5";
        QTest::newRow("volume nan") << "txtVol"
                                    << "nan"
                                    << "5";
        QTest::newRow("volume 10") << "txtVol"
                                   << "10"
                                   << "10";
        QTest::newRow("a name is not checked") << "txtName"
                                               << "x"
                                               << "x";
    }
    void fieldChecksOnLeaving() {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QCOMPARE(theme::onLeave(control, typed, "1;1").text, after);
    }

    void leavingTheColumnCountFillsEmptyWidths() {
        QCOMPARE(theme::onLeave("txtColumn", "3", "").colWidth, QString("2500;2500;2500"));
        QCOMPARE(theme::onLeave("txtColumn", "3", "100;200").colWidth, QString("100;200"));
        const theme::Checked junk = theme::onLeave("txtColumn", "x", "");
        QCOMPARE(junk.text, QString("2"));
        QCOMPARE(junk.colWidth, QString("2500;2500"));
        QCOMPARE(theme::onLeave("txtColumn", "1", "").colWidth, QString("2500"));
        // Not ten thousand million widths: the save check names the count.
        QCOMPARE(theme::onLeave("txtColumn", "1e10", "").colWidth, QString());
        QCOMPARE(theme::onLeaveOther("txtTime", "soon"), QString("5"));
        QCOMPARE(theme::onLeaveOther("txtTime", "8"), QString("8"));
        // A picture shown for no time, or for longer than the board's timer runs.
        for (const char* bad : {"-1", "0", "1e10", "nan"})
            QCOMPARE(theme::onLeaveOther("txtTime", bad), QString("5"));
        QCOMPARE(theme::onLeaveOther("txtint", ""), QString("3000"));
    }

    void numbersBeforeSaving_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("rows a word") << "txtRow"
                                     << "many"
                                     << "Rows must be a whole number from 1 to 50";
        QTest::newRow("rows a fraction") << "txtRow"
                                         << "2.5"
                                         << "Rows must be a whole number from 1 to 50";
        QTest::newRow("rows empty") << "txtRow"
                                    << ""
                                    << "Rows must be a whole number from 1 to 50";
        QTest::newRow("a negative size") << "cmbTtlSize"
                                         << "-1"
                                         << "Font Size (Title) must be a number from 1 to 400";
        QTest::newRow("an enormous size")
            << "cmbRFsize"
            << "1e10"
            << "Font Size (First Column) must be a number from 1 to 400";
        QTest::newRow("volume below 0") << "txtVol"
                                        << "-1"
                                        << "Volume must be a number from 0 to 10";
        QTest::newRow("a size left empty") << "cmbTSize"
                                           << ""
                                           << "";
        QTest::newRow("a size typed") << "cmbHFSize"
                                      << " 15 "
                                      << "";
    }
    void numbersBeforeSaving() {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QStringList texts = theme::startTexts();
        QCOMPARE(theme::numbersMessage(texts), QString());
        texts[theme::indexOf(control)] = typed;
        QCOMPARE(theme::numbersMessage(texts), message);
    }

    void pickerFilters() {
        QCOMPARE(theme::dialogFilter(theme::pickerFilter("txtlogo")),
                 QString("Jpeg Files (*.jpg *.JPG);;GIF Files (*.gif *.GIF);;Flash Files (*.swf "
                         "*.SWF);;All Files (*)"));
        QCOMPARE(theme::dialogFilter(theme::pickerFilter("txtImg1")),
                 QString("Jpeg Files (*.jpg *.JPG);;GIF Files (*.gif *.GIF);;All Files (*)"));
        QCOMPARE(theme::pickerFilter("txtImg2"), theme::pickerFilter("txtImg1"));
        QCOMPARE(theme::dialogFilter(theme::pickerFilter("txtTbkBack")),
                 QString("Jpeg Files (*.jpg *.JPG)"));
        QCOMPARE(theme::dialogFilter(theme::pickerFilter("txtVideo")),
                 QString("Video Files (*.avi *.AVI *.dat *.DAT *.mpg *.MPG *.wmv *.WMV)"));
        QCOMPARE(theme::sizeList().size(), 25);
        QCOMPARE(theme::sizeList().first(), QString("2"));
        QCOMPARE(theme::sizeList().last(), QString("50"));
    }

    // ---- the layout designer's rectangle

    void rectangleEdgesAndHitTest() {
        cRect r(100, 200, 50, 150); // dragged inside out
        QCOMPARE(r.Width(), -50);
        QCOMPARE(r.Height(), -50);
        QVERIFY(!r.PtInRect(75, 175));
        r.NormalizeRect();
        QCOMPARE(r.toQRect(), QRect(50, 150, 50, 50));
        QVERIFY(r.PtInRect(50, 150));   // the left and top edges are inside
        QVERIFY(!r.PtInRect(100, 175)); // the right edge is not
        QVERIFY(!r.PtInRect(75, 200));  // nor the bottom one
        QVERIFY(r.PtInRect(99, 199));
        r.setWidth(10);
        r.setHeight(20);
        QCOMPARE(r.Right(), 60);
        QCOMPARE(r.Bottom(), 170);
    }

    void rectangleOfAnElement() {
        DesignElement box;
        box.left = 300;
        box.top = 400;
        box.width = 1000;
        box.height = 500;
        cRect r;
        r.SetRectToCtrl(box);
        QCOMPARE(r.toQRect(), QRect(300, 400, 1000, 500));
        r.setRight(100); // pulled past its left edge
        DesignElement out;
        r.SetCtrlToRect(out);
        QCOMPARE(QRect(out.left, out.top, out.width, out.height), QRect(100, 400, 200, 500));

        DesignElement line;
        line.isLine = true;
        line.x1 = 500;
        line.y1 = 400;
        line.x2 = 100;
        line.y2 = 900;
        r.SetRectToCtrl(line);
        QCOMPARE(r.flags(), cRect::RightToLeft);
        QCOMPARE(r.Left(), 500);
        QCOMPARE(r.Right(), 100);
        r.setTop(1000); // below its other end now
        r.SetCtrlToRect(line);
        // Still from right to left, and still starting at the upper end's x.
        QCOMPARE(QLine(line.x1, line.y1, line.x2, line.y2), QLine(500, 900, 100, 1000));
    }

    void screenPixelsAndTwips() {
        cRect r(166, 116, 366, 216); // screen pixels
        r.ScreenToTwips(QPoint(100, 50), 15, 15);
        QCOMPARE(r.toQRect(), QRect(990, 990, 3000, 1500));
        r.TwipsToScreen(QPoint(100, 50), 15, 15);
        QCOMPARE(r.toQRect(), QRect(166, 116, 200, 100));
        cRect t(0, 0, 1000, 1440); // at 120 dots an inch, 12 twips a pixel
        t.TwipsToScreen(QPoint(-10, 20), 12, 12);
        QCOMPARE(t.toQRect(), QRect(-10, 20, 83, 120));
    }

    void handlePlacement() {
        const QRect box(1000, 2000, 3000, 1500);
        const QSize size(75, 75); // five pixels at 15 twips a pixel
        const QPoint half(8, 8);  // 7.5 rounded
        const QPoint want[8] = {{971, 1971},  {2463, 1971}, {3955, 1971}, {3955, 2713},
                                {3955, 3455}, {2463, 3455}, {971, 3455},  {971, 2713}};
        for (int i = 0; i < handles::count; ++i)
            QCOMPARE(handles::place(i, box, size, half), want[i]);
    }

    void handlesMoveTheirEdges() {
        const QRect start(1000, 1000, 3000, 2000); // right 4000, bottom 3000
        const QRect want[8] = {
            QRect(QPoint(10, 20), QPoint(3999, 2999)), QRect(QPoint(1000, 20), QPoint(3999, 2999)),
            QRect(QPoint(1000, 20), QPoint(9, 2999)),  QRect(QPoint(1000, 1000), QPoint(9, 2999)),
            QRect(QPoint(1000, 1000), QPoint(9, 19)),  QRect(QPoint(1000, 1000), QPoint(3999, 19)),
            QRect(QPoint(10, 1000), QPoint(3999, 19)), QRect(QPoint(10, 1000), QPoint(3999, 2999)),
        };
        for (int i = 0; i < handles::count; ++i) {
            cRect r(start.left(), start.top(), start.left() + start.width(),
                    start.top() + start.height());
            handles::drag(r, i, 10, 20);
            QCOMPARE(QRect(QPoint(r.Left(), r.Top()), QPoint(r.Right() - 1, r.Bottom() - 1)),
                     want[i]);
        }
    }

    void handleFourPastHandleZeroNormalises() {
        cRect r(1000, 1000, 4000, 3000);
        handles::drag(r, 4, 500, 400);
        DesignElement e;
        r.SetCtrlToRect(e);
        QCOMPARE(QRect(e.left, e.top, e.width, e.height), QRect(500, 400, 500, 600));
    }

    void standardLayoutStaysOnTheScreen() {
        for (const QSize client : {QSize(14400, 8100), QSize(8100, 14400), QSize(600, 400)}) {
            const layout::Boxes boxes = layout::defaultLayout(client);
            for (int a = 0; a < layout::areaCount; ++a) {
                QVERIFY(!boxes[a].isEmpty());
                QVERIFY(QRect(QPoint(0, 0), client).contains(boxes[a]));
            }
            QVERIFY(!boxes[layout::Table].intersects(boxes[layout::Time]));
            QVERIFY(!boxes[layout::Table].intersects(boxes[layout::News]));
        }
    }
};

QTEST_MAIN(ThemeRulesTest)
#include "test_theme_rules.moc"
