#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace tv::rtf {

// The document as RTF, the format of the message record's rich text: fonts,
// sizes, bold, italic, underline, strikeout, colours, paragraph alignment and
// indents, tab stops, bullets (with the hanging indent and the drawn bullet
// for readers that know no bullets), tabs, line breaks and any Unicode text.
// The output is 7-bit ASCII: every other character is written as \uN with a
// Windows-1252 (or "?") fallback, so it survives any text column and reader.
QByteArray write(const QTextDocument& document);

// The same, as text for a text column.
QString writeText(const QTextDocument& document);

} // namespace tv::rtf
