#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextCharFormat>
#include <optional>

// What the rich text of a scroll message can carry, in the terms both the RTF
// reader and writer use, so the two agree on every attribute.
namespace tv::rtf {

// Document units of QTextDocument are pixels at 96 per inch; RTF counts twips.
inline constexpr double kTwipsPerUnit = 1440.0 / 96.0;

// A bullet hangs this far left of its paragraph's text (twips), as the rich
// text box of the old editor made it.
inline constexpr int kBulletHang = 360;

// Font sizes the format can hold, in points (\fs counts half points in 16 bits).
inline constexpr double kMinPoints = 1.0;
inline constexpr double kMaxPoints = 1638.0;

// The look of a run of text with everything resolved: what a character format
// leaves unset comes from the document's default font.
struct CharLook {
    QString family;
    double points = 12.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::optional<QColor> color; // none: the reader's automatic (default) colour

    bool operator==(const CharLook&) const = default;
};

// The look of `format` on a document whose default font is `base`.
CharLook lookOf(const QTextCharFormat& format, const QFont& base);

// A character format that sets every attribute of `look` (the colour only when
// it has one).
QTextCharFormat toCharFormat(const CharLook& look);

// The first family a format names, "" when it names none.
QString familyOf(const QTextCharFormat& format);

} // namespace tv::rtf
