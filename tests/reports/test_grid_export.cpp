// A grid sent to a spreadsheet, read back by a real reader (openpyxl).
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "reports/grid_export.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {

// Reads a workbook back and prints what a user would see of it.
const char* readerScript = R"PY(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
cells = {}
for row in ws.iter_rows():
    for c in row:
        fg = str(c.fill.fgColor.rgb) if c.fill.fill_type == 'solid' else None
        if c.value is None and fg is None:
            continue
        v = c.value
        kind = 'date' if c.is_date else type(v).__name__
        cells[c.coordinate] = {'value': str(v) if v is not None else None, 'type': kind,
                               'format': c.number_format, 'bold': bool(c.font.b),
                               'font': c.font.name, 'size': c.font.sz,
                               'color': str(c.font.color.rgb) if c.font.color is not None else None,
                               'fill': fg}
widths = {k: d.width for k, d in ws.column_dimensions.items() if d.width}
print(json.dumps({'title': ws.title, 'max_row': ws.max_row, 'max_col': ws.max_column,
                  'merged': sorted(str(m) for m in ws.merged_cells.ranges),
                  'cells': cells, 'widths': widths}))
)PY";

} // namespace

class GridExportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Dialogs::setTestMode(true); }
    void init() { Dialogs::clearMessages(); }

    void sheetNames() {
        using excel::sheetNameFromTitle;
        QCOMPARE(sheetNameFromTitle("Report-Department Based"), QString("Report-Department Based"));
        QCOMPARE(sheetNameFromTitle(" a/b:c?d*[e]\"f\\g "), QString("abcdefg"));
        QCOMPARE(sheetNameFromTitle(QString(40, 'x')).size(), 31);
        QCOMPARE(sheetNameFromTitle("///"), QString("Sheet1"));
    }

    void valuesColoursFontsMergesAndWidths() {
        FlexGrid grid;
        grid.setCols(6);
        grid.setRows(5);
        grid.setFixedRows(1);
        grid.setFixedCols(1);
        grid.setMergeCells(FlexGrid::MergeMode::Free);
        grid.setMergeRow(0, true);
        const QStringList heads{"", "Times", "Times", "Token", "Hidden", "Note"};
        for (int c = 0; c < heads.size(); ++c)
            grid.setTextMatrix(0, c, heads[c]);
        const QList<QStringList> body{
            {"7", "2026-12-09", "09:00:30", "A001", "x", "नमस्ते 😀"},
            {"8", "2026-12-09 13:05:00", "0012", "B2", "x", QString(60, 'w')},
            {"9", "not a date", "", "C3", "x", "hidden row"},
            {"10", "31-12-2026", "1e3", "D4", "x", "not a date"}};
        for (int r = 0; r < body.size(); ++r)
            for (int c = 0; c < 6; ++c)
                grid.setTextMatrix(r + 1, c, body[r][c]);
        grid.setColWidth(4, 0);  // hidden column
        grid.setRowHeight(3, 0); // hidden row
        grid.setCellBackColor(1, 3, colors::rgb(255, 200, 0));
        grid.setCellForeColor(1, 3, colors::rgb(0, 0, 255));
        grid.setCellFontBold(2, 3, true);
        grid.setCellFontName(2, 3, "DejaVu Serif");
        grid.setCellFontSize(2, 3, 14);

        const QJsonObject book = exportAndRead(grid, "Report: Service/Based");
        QCOMPARE(book["title"].toString(), QString("Report ServiceBased"));
        QCOMPARE(book["max_row"].toInt(), 4); // the hidden row leaves no gap
        QCOMPARE(book["max_col"].toInt(), 5); // nor the hidden column
        const QJsonObject cells = book["cells"].toObject();
        const auto cell = [&](const char* at) { return cells[at].toObject(); };
        // number-like texts stay texts
        QCOMPARE(cell("A2")["type"].toString(), QString("str"));
        QCOMPARE(cell("A2")["value"].toString(), QString("7"));
        QCOMPARE(cell("C3")["value"].toString(), QString("0012"));
        QCOMPARE(cell("C3")["type"].toString(), QString("str"));
        QCOMPARE(cell("D2")["value"].toString(), QString("A001"));
        QCOMPARE(cell("C4")["type"].toString(), QString("str")); // 1e3
        // days and times are dates with a date format
        QCOMPARE(cell("B2")["type"].toString(), QString("date"));
        QCOMPARE(cell("B2")["value"].toString(), QString("2026-12-09 00:00:00"));
        QCOMPARE(cell("B3")["value"].toString(), QString("2026-12-09 13:05:00"));
        QVERIFY(cell("B3")["format"].toString().contains("hh:mm"));
        QCOMPARE(cell("C2")["type"].toString(), QString("date"));
        QCOMPARE(cell("C2")["value"].toString(), QString("09:00:30"));
        QCOMPARE(cell("B4")["value"].toString(), QString("2026-12-31 00:00:00"));
        QCOMPARE(cell("E4")["value"].toString(), QString("not a date"));
        QCOMPARE(cell("E4")["type"].toString(), QString("str"));
        // the hidden column is gone: "Note" is the fifth column
        QCOMPARE(cell("E1")["value"].toString(), QString("Note"));
        QCOMPARE(cell("E2")["value"].toString(), QString::fromUtf8("नमस्ते 😀"));
        // colours, fonts and bold
        QCOMPARE(cell("D2")["fill"].toString().right(6), QString("FFC800"));
        QCOMPARE(cell("D2")["color"].toString().right(6), QString("0000FF"));
        QVERIFY(cell("D3")["bold"].toBool());
        QCOMPARE(cell("D3")["font"].toString(), QString("DejaVu Serif"));
        QCOMPARE(cell("D3")["size"].toDouble(), 14.0);
        QVERIFY(cell("D1")["bold"].toBool() == grid.cellFontBold(0, 3));
        QVERIFY(!cell("A1")["fill"].toString().isEmpty()); // heading cells keep their colour
        // equal heading texts merged
        QCOMPARE(book["merged"].toArray().size(), 1);
        QCOMPARE(book["merged"].toArray().at(0).toString(), QString("B1:C1"));
        // widths follow the texts: the long note is wider than the token
        const QJsonObject widths = book["widths"].toObject();
        QVERIFY2(widths["E"].toDouble() > 2 * widths["D"].toDouble(),
                 qPrintable(QJsonDocument(widths).toJson()));
        QVERIFY(widths["B"].toDouble() >
                widths["D"].toDouble()); // a date-time is wider than a token
    }

    void aReportGridKeepsItsKeyAndEmptyColumns() {
        FlexGrid grid;
        grid.setCols(11);
        grid.setRows(2);
        grid.setFixedRows(1);
        grid.setFixedCols(1);
        grid.setColWidth(0, 1); // tiny, not hidden
        grid.setTextMatrix(1, 0, "41");
        grid.setTextMatrix(1, 9, "5");
        const QJsonObject book = exportAndRead(grid, "Report-Department Based");
        QCOMPARE(book["max_col"].toInt(), 11); // the empty last column is there too
        QVERIFY(book["cells"].toObject().contains("K1"));
        QCOMPARE(book["cells"].toObject()["A2"].toObject()["value"].toString(), QString("41"));
    }

    void moreThan254ColumnsAreRefused() {
        FlexGrid grid;
        grid.setRows(2);
        grid.setCols(255);
        QTemporaryDir dir;
        auto r = excel::exportGridToFile(grid, "Wide", false, false, dir.filePath("w.xlsx"));
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QString("Sheet2Excel: 255 columns specified.\r\nThe maximum number of "
                                    "colums Excel can handle is 255"));
        QVERIFY(!QFile::exists(dir.filePath("w.xlsx")));
        grid.setCols(254);
        QVERIFY(excel::exportGridToFile(grid, "Wide", false, false, dir.filePath("w.xlsx")).ok);
        grid.setCols(300);
        for (int c = 0; c < 46; ++c)
            grid.setColWidth(c, 0); // hidden ones do not count
        QVERIFY(excel::exportGridToFile(grid, "Wide", false, false, dir.filePath("w2.xlsx")).ok);
    }

    void sendToExcelNamesTheFileWhenNothingOpensIt() {
        QWidget screen;
        screen.setWindowTitle("Report Service Based");
        auto* grid = new FlexGrid(&screen);
        grid->setRows(2);
        grid->setCols(3);
        grid->setTextMatrix(1, 1, "A1");
        QTemporaryDir docs;
        excel::SendToExcel send;
        send.folder = docs.path();
        send.stamp = [] { return QString("2026-12-09 101500"); };
        QStringList opened;
        send.opener = [&](const QString& f) {
            opened << f;
            return false;
        };
        const QStringList files = send.run(&screen, nullptr);
        QCOMPARE(files,
                 QStringList({docs.filePath("Report Service Based 2026-12-09 101500.xlsx")}));
        QCOMPARE(opened, files);
        QVERIFY(Dialogs::shownTexts().value(0).contains(QDir::toNativeSeparators(files[0])));
        // a second export in the same second does not replace the first
        send.opener = [](const QString&) { return true; };
        const QStringList again = send.run(&screen, nullptr);
        QCOMPARE(again.size(), 1);
        QVERIFY(again[0] != files[0]);
        QVERIFY(QFile::exists(files[0]));
    }

    void anUnwritableFolderSaysWhy() {
        QWidget screen;
        screen.setWindowTitle("Pending Reports");
        auto* grid = new FlexGrid(&screen);
        grid->setRows(2);
        QTemporaryDir dir;
        QFile blocker(dir.filePath("docs"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        excel::SendToExcel send;
        send.folder = dir.filePath("docs"); // a file, not a folder
        QVERIFY(send.run(&screen, nullptr).isEmpty());
        const auto shown = Dialogs::takeMessages();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.startsWith("Error: "), qPrintable(shown[0].text));
        QVERIFY(shown[0].text.contains(dir.filePath("docs")));
        QCOMPARE(shown[0].icon, QMessageBox::Critical);
    }

private:
    QJsonObject exportAndRead(const FlexGrid& grid, const QString& title) {
        QTemporaryDir dir;
        const QString file = dir.filePath("out.xlsx");
        const auto r = excel::exportGridToFile(grid, title, true, true, file);
        if (!r.ok) qFatal("export failed: %s", qPrintable(r.message));
        QProcess p;
        p.start("/usr/bin/python3", {"-c", readerScript, file});
        p.waitForFinished(60000);
        const QByteArray out = p.readAllStandardOutput();
        if (p.exitCode() != 0) qFatal("reader failed: %s", p.readAllStandardError().constData());
        return QJsonDocument::fromJson(out).object();
    }
};

QTEST_MAIN(GridExportTest)
#include "test_grid_export.moc"
