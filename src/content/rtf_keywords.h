#pragma once

#include <QByteArray>
#include <string_view>

// The RTF control words the reader acts on, and the code pages of RTF's
// character sets.
namespace tv::rtf::detail {

enum class Kw : quint8 {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    SkipDest,
    Pn,
    ListMarker,
    Object,
    Result,
    // the document
    Codepage, // value: the code page, or 0 for the word's number (\ansicpg)
    Deff,
    Uc,
    U,
    Bin,
    // font table entries
    Fcharset,
    Cpg,
    // text
    Par,
    Char, // value: the character
    // character formatting
    Plain,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Color,
    Hidden,
    // paragraph formatting
    Pard,
    Align, // value: 0 left, 1 centre, 2 right, 3 justified
    Li,
    Ri,
    Fi,
    Tx,
    TabKind, // value: the QTextOption::TabType of the next \tx
    Ls,
    // colour table
    Red,
    Green,
    Blue,
    // numbering descriptions
    PnBullet,
    PnBody,
};

struct Keyword {
    Kw kw = Kw::Unknown;
    int value = 0;
};

Keyword keyword(std::string_view name);

// The code page of a font's \fcharset; 0 where the document's applies.
int charsetCodepage(int charset);
// The name a decoder knows a code page by.
QByteArray codepageName(int codepage);

} // namespace tv::rtf::detail
