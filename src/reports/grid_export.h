#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tv {

class FlexGrid;

// A grid copied into a real .xlsx workbook: its texts, colours, fonts, bold,
// merged heading cells, and column widths fitted to the contents. Hidden rows
// and columns (height or width 0) are left out without gaps.
namespace excel {

// The worksheet name a screen caption gives: without \ / [ ] ? * : and double
// quotes, trimmed, at most 31 characters ("Sheet1" when nothing is left).
QString sheetNameFromTitle(const QString& title);

// Whether a text reads as a number; such texts stay texts in the sheet
// (A001 and 0012 keep their form).
bool isNumberText(const QString& text);

struct Result {
    bool ok = false;
    QString message; // what to show when it failed
};

// Writes `grid` into a new workbook `file`, one worksheet named after `title`.
// `copyFormats` copies colours, fonts and merges; `autoFit` sizes the columns.
Result exportGridToFile(const FlexGrid& grid, const QString& title, bool copyFormats, bool autoFit,
                        const QString& file);

// What "Send to Excel" does with a screen: one workbook per grid on it, in the
// documents folder as "<sheet name> <yyyy-MM-dd HHmmss>.xlsx", each opened
// with the desktop's program for it; a message names the file when none
// opens it, or says why writing failed. Tests choose the folder, the moment
// and the opener.
class SendToExcel final {
public:
    SendToExcel();

    QString folder;                                  // the documents folder by default
    std::function<bool(const QString& file)> opener; // the desktop's default program
    std::function<QString()> stamp;                  // "yyyy-MM-dd HHmmss" of now

    // Exports every visible grid of `screen`; returns the files written.
    QStringList run(QWidget* screen, QWidget* messageParent);
};

} // namespace excel
} // namespace tv
