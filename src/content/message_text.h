#pragma once

#include "rtf_format.h"

#include <QLocale>
#include <QString>
#include <optional>

class QTextCharFormat;
class QTextCursor;
class QTextDocument;

// The editor's work on the message's document, without widgets.
namespace tv::message_text {

// The message as the board may run it: every ">", "<" and "/" taken out.
QString withoutMarkup(QString text);

// The one look a saved message has: the font and size of the editor's lists,
// and the bold, italic, underline, strikeout and colour of the message's
// first character (of what would be typed, `typing`, when it is empty).
rtf::CharLook messageLook(const QTextDocument& doc, const QTextCharFormat& typing,
                          const QString& family, double points);

// Save's first step: the document's text without markup characters, all of
// it in `look`. Returns that text.
QString flatten(QTextDocument* doc, const rtf::CharLook& look);

// The caret's line on screen, from 1 (wrapped lines count).
int caretLine(const QTextCursor& cursor);
// "Line : " and the line in the "###,###,###,###" form of `locale`.
QString lineStatus(int line, const QLocale& locale = QLocale());

// Upper or lower case for the selected text; each piece keeps its look.
void setCase(QTextCursor& selection, bool upper);

// Bullets on or off for the selected paragraphs, as the first of them has them.
void toggleBullets(QTextCursor& selection);

// A font size typed or chosen in the size list, when the format can hold it
// (1 to 1638 points, in half points).
std::optional<double> fontSize(const QString& text);
inline const QString fontSizeRange =
    QStringLiteral("The font size must be a number from 1 to 1638");

} // namespace tv::message_text
