#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace tv::rtf {

// How a read went. A damaged file is read as far as it can be: the document
// then holds the readable part and `warning` says what was wrong with the rest.
struct ReadResult {
    bool ok = false; // false: nothing was read, the document is unchanged
    QString error;   // why nothing was read
    QString warning; // read, but part of the input could not be
};

// Groups may nest this deep; a deeper file is read up to that point.
inline constexpr int kMaxDepth = 1000;

// Whether the bytes start like an RTF document ("{\rtf", after blanks).
bool looksLikeRtf(const QByteArray& data);

// Replaces the document's content with the RTF in `data`: the text with its
// fonts, sizes, bold, italic, underline, strikeout, colours, alignment,
// indents, tab stops, bullets and numbered paragraphs, tabs and line breaks.
// Unknown control words are passed over, "{\*...}" destinations, pictures,
// headers, footers, notes and document information are skipped; \uN with the
// \ucN rule and \'hh bytes in the document's or the font's code page are read.
// Linear in the input, with the group stack bounded by kMaxDepth.
ReadResult read(const QByteArray& data, QTextDocument* document);

} // namespace tv::rtf
