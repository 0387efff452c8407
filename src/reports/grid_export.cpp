#include "grid_export.h"

#include "core/ui/colors.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <cmath>
#include <xlsxwriter.h>

namespace tv::excel {

namespace {

constexpr int maxColumns = 254;

// Texts that are days or times become date cells of the matching format.
enum class DateKind { None, Day, DayTime, Time };

struct DateValue {
    DateKind kind = DateKind::None;
    double serial = 0; // days since 1899-12-30, the spreadsheet's date number
};

DateValue dateOf(const QString& t) {
    static const QDate epoch(1899, 12, 30);
    DateValue v;
    if (t.size() < 5 || t.size() > 19 || !t.at(0).isDigit()) return v;
    if (t.size() == 10) {
        for (const char* f : {"yyyy-MM-dd", "dd-MM-yyyy"}) {
            const QDate d = QDate::fromString(t, QLatin1String(f));
            if (d.isValid()) return {DateKind::Day, double(epoch.daysTo(d))};
        }
        return v;
    }
    if (t.size() == 19) {
        const QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!dt.isValid()) return v;
        return {DateKind::DayTime,
                epoch.daysTo(dt.date()) + dt.time().msecsSinceStartOfDay() / 86400000.0};
    }
    for (const char* f : {"HH:mm:ss", "HH:mm"}) {
        const QTime time = QTime::fromString(t, QLatin1String(f));
        if (time.isValid()) return {DateKind::Time, time.msecsSinceStartOfDay() / 86400000.0};
    }
    return v;
}

const char* numFormatOf(DateKind k) {
    switch (k) {
    case DateKind::Day:
        return "yyyy-mm-dd";
    case DateKind::DayTime:
        return "yyyy-mm-dd hh:mm:ss";
    case DateKind::Time:
        return "hh:mm:ss";
    case DateKind::None:
        break;
    }
    return nullptr;
}

lxw_color_t rgbOf(colors::ColorValue value) {
    return colors::toQColor(value).rgb() & 0xFFFFFF;
}

// One cell's looks; cells that look alike share one workbook format.
struct Look {
    QString font;
    double size = 0;
    bool bold = false;
    bool italic = false;
    qint64 fore = -1; // -1: none
    qint64 back = -1;
    DateKind date = DateKind::None;
    bool centreVertically = false;
    bool operator==(const Look& o) const {
        return font == o.font && size == o.size && bold == o.bold && italic == o.italic &&
               fore == o.fore && back == o.back && date == o.date &&
               centreVertically == o.centreVertically;
    }
};

size_t qHash(const Look& l, size_t seed = 0) {
    return qHashMulti(seed, l.font, l.size, l.bold, l.italic, l.fore, l.back, int(l.date),
                      l.centreVertically);
}

class Formats {
public:
    explicit Formats(lxw_workbook* wb) : m_wb(wb) {}
    lxw_format* get(const Look& look) {
        // Neighbouring cells mostly look alike.
        if (m_last && look == m_lastLook) return m_last;
        auto it = m_cache.constFind(look);
        if (it != m_cache.constEnd()) {
            m_lastLook = look;
            return m_last = *it;
        }
        lxw_format* f = workbook_add_format(m_wb);
        if (!look.font.isEmpty()) format_set_font_name(f, look.font.toUtf8().constData());
        if (look.size > 0) format_set_font_size(f, look.size);
        if (look.bold) format_set_bold(f);
        if (look.italic) format_set_italic(f);
        if (look.fore >= 0) format_set_font_color(f, lxw_color_t(look.fore));
        if (look.back >= 0) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, lxw_color_t(look.back));
        }
        if (const char* nf = numFormatOf(look.date)) format_set_num_format(f, nf);
        if (look.centreVertically) format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        m_cache.insert(look, f);
        m_lastLook = look;
        return m_last = f;
    }

private:
    lxw_workbook* m_wb;
    Look m_lastLook;
    lxw_format* m_last = nullptr;
    QHash<Look, lxw_format*> m_cache;
};

QString errorReport(int code, const QString& description) {
    return QStringLiteral("Error: %1 on line: 0\nDescription: %2\nin procedure Sheet2Excel of "
                          "Form modFlexExcel")
        .arg(code)
        .arg(description);
}

// A cell's width in the sheet's character units, as the desktop's
// spreadsheet measures it: characters of an 11-point font.
double widthOf(const QString& text, double points, bool bold) {
    double units = 0;
    for (const QChar ch : text)
        units += ch.unicode() >= 0x1100 ? 2.0 : 1.0; // wide scripts take two
    const double scale = (points > 0 ? points : 11.0) / 11.0 * (bold ? 1.1 : 1.0);
    return units * scale + 1.5;
}

} // namespace

QString sheetNameFromTitle(const QString& title) {
    QString name = title;
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/\\[\\]?*:\"]"));
    name.remove(forbidden);
    name = name.trimmed().left(31);
    // An apostrophe may not open or close a sheet name.
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}

bool isNumberText(const QString& text) {
    // Asked for every cell of a big report: the locale is looked up once.
    static const QLocale locale;
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    const QChar first = t.at(0);
    if (!first.isDigit() && first != u'-' && first != u'+' && first != u'.' &&
        first != locale.decimalPoint().at(0))
        return false;
    bool ok = false;
    locale.toDouble(t, &ok);
    if (!ok) t.toDouble(&ok);
    return ok;
}

Result exportGridToFile(const FlexGrid& grid, const QString& title, bool copyFormats, bool autoFit,
                        const QString& file) {
    Result result;
    QList<int> cols;
    QList<int> rows;
    for (int c = 0; c < grid.cols(); ++c)
        if (grid.colWidth(c) != 0) cols << c;
    for (int r = 0; r < grid.rows(); ++r)
        if (grid.rowHeight(r) != 0) rows << r;
    if (cols.size() > maxColumns) {
        result.message = QStringLiteral("Sheet2Excel: %1 columns specified.\r\nThe maximum number "
                                        "of colums Excel can handle is 255")
                             .arg(cols.size());
        return result;
    }

    const int fixedRows = grid.fixedRows();
    const int fixedCols = grid.fixedCols();
    // Merged key columns span many rows: only then must the whole sheet stay
    // in memory; otherwise rows are streamed to disk as they are written.
    bool verticalMerges = false;
    if (copyFormats)
        for (int c : cols)
            if (c < fixedCols && grid.mergeCol(c)) verticalMerges = true;
    lxw_workbook_options options{};
    options.constant_memory = verticalMerges ? LXW_FALSE : LXW_TRUE;
    const QByteArray path = QFile::encodeName(file);
    lxw_workbook* wb = workbook_new_opt(path.constData(), &options);
    if (!wb) {
        result.message =
            errorReport(LXW_ERROR_CREATING_XLSX_FILE, QStringLiteral("cannot create %1").arg(file));
        return result;
    }
    const QByteArray sheetName = sheetNameFromTitle(title).toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheetName.constData());
    Formats formats(wb);
    QList<double> widths(cols.size(), 0.0);
    const colors::ColorValue gridBack = grid.backColor();

    for (int R = 0; R < rows.size(); ++R) {
        const int r = rows[R];
        for (int C = 0; C < cols.size(); ++C) {
            const int c = cols[C];
            const QString text = grid.textMatrix(r, c);
            const bool fixed = r < fixedRows || c < fixedCols;
            const DateValue date = isNumberText(text) ? DateValue{} : dateOf(text);
            lxw_format* format = nullptr;
            Look look;
            look.date = date.kind;
            if (copyFormats) {
                look.font = grid.cellFontName(r, c);
                look.size = grid.cellFontSize(r, c);
                look.bold = grid.cellFontBold(r, c);
                look.italic = grid.cellFontItalic(r, c);
                const colors::ColorValue fore = grid.cellForeColor(r, c);
                if (fore > 0) look.fore = rgbOf(fore);
                if (fixed) {
                    look.back = rgbOf(grid.backColorFixed());
                } else {
                    const colors::ColorValue back = grid.cellBackColor(r, c);
                    if (back != gridBack && back != 0) look.back = rgbOf(back);
                }
                look.centreVertically = c < fixedCols && grid.mergeCol(c);
            }
            if (copyFormats || date.kind != DateKind::None) format = formats.get(look);
            if (text.isEmpty()) {
                if (format) worksheet_write_blank(ws, R, C, format);
            } else if (date.kind != DateKind::None) {
                worksheet_write_number(ws, R, C, date.serial, format);
            } else {
                worksheet_write_string(ws, R, C, text.toUtf8().constData(), format);
            }
            if (autoFit) {
                const int shown = date.kind == DateKind::DayTime ? 19 : text.size();
                widths[C] = qMax(widths[C], widthOf(text.left(shown), look.size, look.bold));
            }
        }
        // Heading rows with equal neighbours read as one cell.
        if (copyFormats && r < fixedRows && grid.mergeRow(r)) {
            for (int C = qMax(0, int(std::count_if(cols.begin(), cols.end(),
                                                   [&](int c) { return c < fixedCols; })));
                 C < cols.size();) {
                int end = C;
                const QString text = grid.textMatrix(r, cols[C]);
                while (end + 1 < cols.size() && grid.textMatrix(r, cols[end + 1]) == text)
                    ++end;
                if (end > C && !text.isEmpty()) {
                    Look look;
                    look.font = grid.cellFontName(r, cols[C]);
                    look.size = grid.cellFontSize(r, cols[C]);
                    look.bold = grid.cellFontBold(r, cols[C]);
                    look.italic = grid.cellFontItalic(r, cols[C]);
                    if (grid.cellForeColor(r, cols[C]) > 0)
                        look.fore = rgbOf(grid.cellForeColor(r, cols[C]));
                    look.back = rgbOf(grid.backColorFixed());
                    worksheet_merge_range(ws, R, C, R, end, text.toUtf8().constData(),
                                          formats.get(look));
                }
                C = end + 1;
            }
        }
    }
    // Key columns with equal neighbours downwards read as one cell.
    if (verticalMerges) {
        for (int C = 0; C < cols.size() && cols[C] < fixedCols; ++C) {
            const int c = cols[C];
            if (!grid.mergeCol(c)) continue;
            int firstBody = 0;
            while (firstBody < rows.size() && rows[firstBody] < fixedRows)
                ++firstBody;
            for (int R = firstBody; R < rows.size();) {
                int end = R;
                const QString text = grid.textMatrix(rows[R], c);
                while (end + 1 < rows.size() && grid.textMatrix(rows[end + 1], c) == text)
                    ++end;
                if (end > R && !text.isEmpty()) {
                    Look look;
                    look.font = grid.cellFontName(rows[R], c);
                    look.size = grid.cellFontSize(rows[R], c);
                    look.bold = grid.cellFontBold(rows[R], c);
                    look.italic = grid.cellFontItalic(rows[R], c);
                    if (grid.cellForeColor(rows[R], c) > 0)
                        look.fore = rgbOf(grid.cellForeColor(rows[R], c));
                    look.back = rgbOf(grid.backColorFixed());
                    look.centreVertically = true;
                    worksheet_merge_range(ws, R, C, end, C, text.toUtf8().constData(),
                                          formats.get(look));
                }
                R = end + 1;
            }
        }
    }
    if (autoFit)
        for (int C = 0; C < cols.size(); ++C)
            worksheet_set_column(ws, C, C, qBound(2.0, widths[C], 100.0), nullptr);

    const lxw_error closed = workbook_close(wb);
    if (closed != LXW_NO_ERROR) {
        result.message = errorReport(
            closed, QStringLiteral("%1: %2").arg(QString::fromUtf8(lxw_strerror(closed)), file));
        QFile::remove(file);
        return result;
    }
    result.ok = true;
    return result;
}

SendToExcel::SendToExcel()
    : folder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)),
      opener(
          [](const QString& file) { return QDesktopServices::openUrl(QUrl::fromLocalFile(file)); }),
      stamp([] {
          return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
      }) {}

QStringList SendToExcel::run(QWidget* screen, QWidget* messageParent) {
    QStringList written;
    if (!screen) return written;
    const QString title = screen->windowTitle();
    const QString sheet = sheetNameFromTitle(title);
    QDir().mkpath(folder);
    const QList<FlexGrid*> grids = screen->findChildren<FlexGrid*>();
    for (FlexGrid* grid : grids) {
        if (!grid->isVisibleTo(screen)) continue;
        // One file per grid; a second export in the same second gets a number.
        QString file = QDir(folder).filePath(QStringLiteral("%1 %2.xlsx").arg(sheet, stamp()));
        for (int n = 2; QFile::exists(file); ++n)
            file =
                QDir(folder).filePath(QStringLiteral("%1 %2 (%3).xlsx").arg(sheet, stamp()).arg(n));
        const Result r = exportGridToFile(*grid, title, true, true, file);
        if (!r.ok) {
            const bool tooWide = r.message.startsWith(QStringLiteral("Sheet2Excel:"));
            Dialogs::message(messageParent, r.message, {},
                             tooWide ? QMessageBox::Warning : QMessageBox::Critical);
            continue;
        }
        written << file;
        if (!opener(file))
            Dialogs::message(messageParent,
                             QStringLiteral("The workbook was saved as %1; no program on this "
                                            "computer opened it.")
                                 .arg(QDir::toNativeSeparators(file)));
    }
    return written;
}

} // namespace tv::excel
