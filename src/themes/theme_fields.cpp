#include "theme_fields.h"

#include <cmath>
#include <optional>

namespace tv::theme {

namespace {

// Start texts of the swatches, as text.
#define SWATCH "4210752"

const QList<Field> all = {
    {"themename", "txtName", Kind::Text, "Name", ""},
    {"colums", "txtColumn", Kind::Whole, "Colums", "2"},
    {"rows", "txtRow", Kind::Whole, "Rows", "12"},
    {"colwidth", "txtColWidth", Kind::Text, "Column Width", ""},
    {"rowheight", "txtRHeight", Kind::Number, "Row Height", "500"},
    {"logo", "txtlogo", Kind::Path, "Logo", ""},
    {"showtime", "chktime", Kind::Flag, "Display Time", "0"},
    {"clockfile", "txtFormat", Kind::Path, "Clock", ""},
    {"timefont", "cmbFont", Kind::Text, "Font Name (Time Settings)", ""},
    {"timesize", "cmbTSize", Kind::Number, "Font Size (Time Settings)", ""},
    {"timecolor", "lblTClr", Kind::Colour, "ForeColor (Time Settings)", SWATCH},
    {"backgroundclr", "lblBGClr", Kind::Colour, "BG Color", SWATCH},
    {"linecolor", "lblLClr", Kind::Colour, "Line Color", SWATCH},
    {"altcolr", "lblARClr", Kind::Colour, "Alt Row Color", SWATCH},
    {"bgimage", "txtTbkBack", Kind::Path, "Background", ""},
    {"hdfont", "cmbHFont", Kind::Text, "Font (Header Deatils)", ""},
    {"hdclrbg", "lblHBGClr", Kind::Colour, "Header BG", SWATCH},
    {"hdfntclr", "lblHClr", Kind::Colour, "Font Color (header)", SWATCH},
    {"hdfntsize", "cmbHFSize", Kind::Number, "Font Size (header)", ""},
    {"fntcrr", "cmbRowFont", Kind::Text, "Row Font (First Column)", ""},
    {"sizecrr", "cmbRFsize", Kind::Number, "Font Size (First Column)", ""},
    {"clrcrr", "lblRFcolor", Kind::Colour, "Font Color (First Column)", SWATCH},
    {"crrbg", "lblRDClr", Kind::Colour, "Back Color (First Column)", SWATCH},
    {"fntval", "cmbVFont", Kind::Text, "Font (Second Column)", ""},
    {"sizeval", "cmbVFSize", Kind::Number, "Font Size (Second Column)", ""},
    {"clrval", "lblVFColor", Kind::Colour, "Font Color (Second Column)", SWATCH},
    {"valbg", "lblVBGClr", Kind::Colour, "Back Color (Second Column)", SWATCH},
    {"type", "cmbType", Kind::Text, "DisplayType", "Vertical"},
    {"screenbg", "lblBG", Kind::Colour, "Screen BG", SWATCH},
    {"linewidth", "tblLine", Kind::Number, "Line Width", "1"},
    {"videofile", "txtVideo", Kind::Path, "Video To Display", ""},
    {"onlinevideo", "txtOnline", Kind::Text, "Online Video", ""},
    {"volume", "txtVol", Kind::Number, "Volume", "5"},
    {"movie", "chkMovie", Kind::Flag, "Enable Movie", "0"},
    {"ttlName", "txtttl", Kind::Text, "Heading", ""},
    {"ttlfont", "cmbTtlFont", Kind::Text, "Font Name (Title)", ""},
    {"ttlcolor", "lblttlClr", Kind::Colour, "Font Color (Title)", SWATCH},
    {"ttlsize", "cmbTtlSize", Kind::Number, "Font Size (Title)", ""},
    {"scroll", "chkScroll", Kind::Flag, "Scroll", "0"},
    {"tformat", "txtTformat", Kind::Text, "Format Time", "dd-MMM-yyyy HH:mm"},
    {"enableH", "chkHeader", Kind::Flag, "Enable Header", "0"},
    {"Column1", "Text1", Kind::Text, "Column1", ""},
    {"Column2", "Text2", Kind::Text, "Column2", ""},
    {"img1", "txtImg1", Kind::Path, "Header img", ""},
    {"img2", "txtImg2", Kind::Path, "Detail img", ""},
    {"newsBG", "lblNewsBG", Kind::Colour, "News BG", SWATCH},
};
#undef SWATCH

// A number as the checks read one: blanks around it allowed, a sign, a
// fraction or an exponent too; "nan" and "inf" are words.
std::optional<double> numberIn(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    return d;
}

bool isNumeric(const QString& text) {
    return numberIn(text).has_value();
}

struct Range {
    const char* control;
    double min;
    double max;
    bool required;
};

// What the board can use. A list wider than ten columns or longer than fifty
// lines is cut by the board; sizes beyond these are no font any screen shows.
const Range ranges[] = {
    {"txtColumn", 1, 10, true},    {"txtRow", 1, 50, true},      {"txtRHeight", 0, 20000, false},
    {"cmbTSize", 1, 400, false},   {"cmbHFSize", 1, 400, false}, {"cmbRFsize", 1, 400, false},
    {"cmbVFSize", 1, 400, false},  {"tblLine", 1, 100, false},   {"txtVol", 0, 10, false},
    {"cmbTtlSize", 1, 400, false},
};

// The longest a picture may stay: a day.
constexpr double maxSlideSeconds = 86400;

// The widest width a column may be given (about seventy inches at full size).
constexpr double maxWidth = 50000;

} // namespace

const QList<Field>& fields() {
    return all;
}

int indexOf(const QString& name) {
    for (int i = 0; i < all.size(); ++i)
        if (name.compare(QLatin1String(all.at(i).control), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(all.at(i).column), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList startTexts() {
    QStringList texts;
    for (const Field& f : all)
        texts.append(QLatin1String(f.start));
    return texts;
}

bool chkVal(const QString& colWidth, const QString& columns) {
    QString joined = colWidth;
    joined.remove(u';');
    if (!isNumeric(joined)) return false;
    const double wanted = numberIn(columns).value_or(0);
    if (colWidth.count(u';') + 1 != wanted) return false;
    for (const QString& piece : colWidth.split(u';'))
        if (!usableWidth(piece)) return false;
    return true;
}

Checked onLeave(const QString& control, const QString& text, const QString& colWidth) {
    const auto numeric = numberIn(text);
    const auto is = [&](const char* name) { return control.compare(QLatin1String(name)) == 0; };
    if (is("txtColumn")) {
        Checked out{numeric ? text : QStringLiteral("2"), colWidth};
        const double n = numberIn(out.text).value_or(2);
        // One width per column, for as many columns as a board shows; a
        // count beyond that is left for the save check to name.
        if (colWidth.isEmpty() && n <= 10) {
            out.colWidth = QStringLiteral("2500");
            for (int i = 2; i <= n; ++i)
                out.colWidth += QStringLiteral(";2500");
        }
        return out;
    }
    if (is("txtRow")) return {numeric ? text : QStringLiteral("2"), {}};
    if (is("txtRHeight")) return {numeric ? text : QStringLiteral("200"), {}};
    if (is("tblLine")) return {numeric && *numeric >= 1 ? text : QStringLiteral("1"), {}};
    if (is("txtVol")) return {numeric && *numeric <= 10 ? text : QStringLiteral("5"), {}};
    return {text, {}};
}

QString onLeaveOther(const QString& control, const QString& text) {
    const auto n = numberIn(text);
    if (control == QStringLiteral("txtTime")) {
        // Seconds a picture stays: the board turns them into a timer's
        // milliseconds, which neither a negative time nor weeks fit.
        return n && *n >= 1 && *n <= maxSlideSeconds ? text : QStringLiteral("5");
    }
    if (n) return text;
    if (control == QStringLiteral("txtint")) return QStringLiteral("3000");
    return text;
}

QString numberProblem(int index, const QString& text) {
    for (const Range& r : ranges) {
        if (indexOf(QLatin1String(r.control)) != index) continue;
        const QString t = text.trimmed();
        if (t.isEmpty() && !r.required) return {};
        const auto n = numberIn(t);
        const bool whole = all.at(index).kind == Kind::Whole;
        if (n && *n >= r.min && *n <= r.max && (!whole || *n == std::floor(*n))) return {};
        return QStringLiteral("%1 must be %2 from %3 to %4")
            .arg(QLatin1String(all.at(index).caption),
                 whole ? QStringLiteral("a whole number") : QStringLiteral("a number"))
            .arg(r.min)
            .arg(r.max);
    }
    return {};
}

QString numbersMessage(const QStringList& texts) {
    for (int i = 0; i < all.size(); ++i) {
        const QString problem = numberProblem(i, texts.value(i));
        if (!problem.isEmpty()) return problem;
    }
    return {};
}

bool usableWidth(const QString& piece) {
    const auto w = numberIn(piece);
    return w && *w >= 0 && *w <= maxWidth;
}

QString pickerFilter(const QString& control) {
    if (control == QStringLiteral("txtlogo"))
        return QStringLiteral("Jpeg Files(*.jpg)|*.jpg|GIF Files(*.gif)|*.gif|Flash "
                              "Files(*.swf)|*.swf|All Files(*.*)|*.*");
    if (control == QStringLiteral("txtImg1") || control == QStringLiteral("txtImg2"))
        return QStringLiteral("Jpeg Files(*.jpg)|*.jpg|GIF Files(*.gif)|*.gif|*.*");
    if (control == QStringLiteral("txtTbkBack")) return QStringLiteral("Jpeg Files(*.jpg)|*.jpg|");
    if (control == QStringLiteral("txtVideo"))
        return QStringLiteral("Video Files (*.avi;*.dat;*.mpg;*.wmv)| *.avi;*.dat;*.mpg;*.wmv");
    return {};
}

QString dialogFilter(const QString& filter) {
    // Pairs of "description|patterns"; a lone last piece is a pattern without
    // a description of its own.
    const QStringList pieces = filter.split(u'|');
    QStringList entries;
    for (int i = 0; i < pieces.size(); i += 2) {
        QString description = pieces.at(i).trimmed();
        const QString patternText = i + 1 < pieces.size() ? pieces.at(i + 1) : description;
        QStringList patterns;
        for (QString p : patternText.split(u';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p.isEmpty()) continue;
            // "*.*" means every file; file names here need not have a dot.
            if (p == QStringLiteral("*.*")) {
                patterns.append(QStringLiteral("*"));
                continue;
            }
            // Names here are case-sensitive: PHOTO.JPG is a jpeg too.
            patterns.append(p.toLower());
            if (p.toUpper() != p.toLower()) patterns.append(p.toUpper());
        }
        if (patterns.isEmpty()) continue;
        patterns.removeDuplicates();
        const int paren = description.indexOf(u'(');
        if (paren >= 0) description = description.left(paren).trimmed();
        if (description.isEmpty() || description.startsWith(u'*'))
            description = QStringLiteral("All Files");
        entries.append(description + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return entries.join(QStringLiteral(";;"));
}

QStringList sizeList() {
    QStringList sizes;
    for (int s = 2; s <= 50; s += 2)
        sizes.append(QString::number(s));
    return sizes;
}

} // namespace tv::theme
