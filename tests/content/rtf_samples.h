#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;

namespace tv::test {

// One line per paragraph: alignment, indents, tab stops and list style, then
// each run as [family points BIUS colour]text. Two documents that describe
// alike look alike in every attribute the message format carries.
QStringList describe(const QTextDocument& doc);

// The document's text with paragraphs joined by "\n".
QString plainText(const QTextDocument& doc);

} // namespace tv::test
