#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

// The fields of the theme editor and the tbltheme columns they edit, in the
// order they are written: positions 1 to 38, then the eight addressed by name.
// A theme travels between the editor, the database and the preview as the
// texts of these fields in this order (flags "0"/"1", colours as decimal
// colour values, numbers as typed).
namespace theme {

enum class Kind {
    Text,   // text box or list, stored as text
    Whole,  // a whole number column
    Number, // a single-precision number column
    Flag,   // check box, 0 or 1
    Colour, // swatch, a colour value
    Path,   // a file name filled by its button
};

struct Field {
    const char* column;  // tbltheme column
    const char* control; // the editor's field
    Kind kind;
    const char* caption; // how the screen names it, for messages
    const char* start;   // starting text ("" for font and size lists)
};

inline constexpr int fieldCount = 46;
inline constexpr int byPositionCount = 38; // fields 0..37 are positions 1..38

// Every swatch starts dark grey: red, green and blue 64 each.
inline constexpr quint32 startColour = 4210752;

const QList<Field>& fields();
// Index of a field by its control or column name (case-insensitive), -1 when unknown.
int indexOf(const QString& name);
// The starting texts of a new editor.
QStringList startTexts();

inline const QString badWidths = QStringLiteral("Please Enter a valid colum widths");
inline const QString noName = QStringLiteral("Please select a name");

// The column-width check: the widths, separated by ";", one per column.
// Beyond the plain reading of the rule (";" removed, the rest numeric, the
// count right) every width must be a number from 0 up: "2500;" or
// "-100;2600" would pass the plain rule yet give the board a column without
// a width.
bool chkVal(const QString& colWidth, const QString& columns);

// What a field holds once it loses the focus (the field checks). `others`
// gives the texts of all fields in order, for the width field that fills
// itself when the column count is left. Returns the field's text unchanged
// when it passes. For txtColumn the second result is the new width text.
struct Checked {
    QString text;
    QString colWidth; // only for txtColumn: the width field afterwards
};
Checked onLeave(const QString& control, const QString& text, const QString& colWidth = {});

// The same check for the fields kept outside the theme: txtTime ("5", also
// for a time below a second or above a day) and txtint ("3000").
QString onLeaveOther(const QString& control, const QString& text);

// What the numbers of a theme may be before it is stored; "" when every number
// field holds a number the board can use (empty stands for "not set", except
// for the rows), else the message naming the first one that does not.
QString numbersMessage(const QStringList& texts);
// The same for field `index` alone: "" when it passes or is no number field.
QString numberProblem(int index, const QString& text);
// A column width the board can use: a number from 0 up to a wide screen's.
bool usableWidth(const QString& piece);

// The file pickers: the filter text each path field's picker is given, and the
// same turned into the form a file dialog reads ("Name (*.a *.b);;...").
QString pickerFilter(const QString& control);
QString dialogFilter(const QString& pickerFilter);

// The size lists: 2, 4, ... 50.
QStringList sizeList();

} // namespace theme
} // namespace tv
