#include "rtf_keywords.h"

#include <QTextOption>
#include <unordered_map>

namespace tv::rtf::detail {

namespace {

const std::unordered_map<std::string_view, Keyword>& table() {
    static const std::unordered_map<std::string_view, Keyword> k = [] {
        std::unordered_map<std::string_view, Keyword> m{
            // clang-format off
            {"fonttbl", {Kw::FontTable}}, {"colortbl", {Kw::ColorTable}}, {"pn", {Kw::Pn}},
            {"pntext", {Kw::ListMarker}}, {"listtext", {Kw::ListMarker}},
            {"object", {Kw::Object}}, {"result", {Kw::Result}},
            {"ansi", {Kw::Codepage, 1252}}, {"mac", {Kw::Codepage, 10000}},
            {"pc", {Kw::Codepage, 437}}, {"pca", {Kw::Codepage, 850}},
            {"ansicpg", {Kw::Codepage, 0}}, {"deff", {Kw::Deff}}, {"uc", {Kw::Uc}},
            {"u", {Kw::U}}, {"bin", {Kw::Bin}}, {"fcharset", {Kw::Fcharset}}, {"cpg", {Kw::Cpg}},
            {"par", {Kw::Par}}, {"sect", {Kw::Par}}, {"page", {Kw::Par}}, {"row", {Kw::Par}},
            {"nestrow", {Kw::Par}},
            {"line", {Kw::Char, 0x2028}}, {"tab", {Kw::Char, '\t'}}, {"cell", {Kw::Char, '\t'}},
            {"nestcell", {Kw::Char, '\t'}}, {"emdash", {Kw::Char, 0x2014}},
            {"endash", {Kw::Char, 0x2013}}, {"bullet", {Kw::Char, 0x2022}},
            {"lquote", {Kw::Char, 0x2018}}, {"rquote", {Kw::Char, 0x2019}},
            {"ldblquote", {Kw::Char, 0x201C}}, {"rdblquote", {Kw::Char, 0x201D}},
            {"emspace", {Kw::Char, 0x2003}}, {"enspace", {Kw::Char, 0x2002}},
            {"qmspace", {Kw::Char, 0x2005}}, {"zwj", {Kw::Char, 0x200D}},
            {"zwnj", {Kw::Char, 0x200C}}, {"ltrmark", {Kw::Char, 0x200E}},
            {"rtlmark", {Kw::Char, 0x200F}},
            {"plain", {Kw::Plain}}, {"f", {Kw::Font}}, {"fs", {Kw::FontSize}},
            {"b", {Kw::Bold}}, {"i", {Kw::Italic}}, {"ul", {Kw::Underline}},
            {"uld", {Kw::Underline}}, {"uldb", {Kw::Underline}}, {"ulw", {Kw::Underline}},
            {"ulwave", {Kw::Underline}}, {"ulth", {Kw::Underline}}, {"uldash", {Kw::Underline}},
            {"uldashd", {Kw::Underline}}, {"ulhwave", {Kw::Underline}},
            {"ulnone", {Kw::UnderlineNone}}, {"strike", {Kw::Strike}}, {"striked", {Kw::Strike}},
            {"cf", {Kw::Color}}, {"v", {Kw::Hidden}},
            {"pard", {Kw::Pard}}, {"ql", {Kw::Align, 0}}, {"qc", {Kw::Align, 1}},
            {"qr", {Kw::Align, 2}}, {"qj", {Kw::Align, 3}}, {"qd", {Kw::Align, 3}},
            {"li", {Kw::Li}}, {"lin", {Kw::Li}}, {"ri", {Kw::Ri}}, {"rin", {Kw::Ri}},
            {"fi", {Kw::Fi}}, {"tx", {Kw::Tx}},
            {"tqr", {Kw::TabKind, QTextOption::RightTab}},
            {"tqc", {Kw::TabKind, QTextOption::CenterTab}},
            {"tqdec", {Kw::TabKind, QTextOption::DelimiterTab}},
            {"ls", {Kw::Ls}}, {"red", {Kw::Red}}, {"green", {Kw::Green}}, {"blue", {Kw::Blue}},
            {"pnlvlblt", {Kw::PnBullet}}, {"pnlvlbody", {Kw::PnBody}}, {"pndec", {Kw::PnBody}},
            // clang-format on
        };
        // Destinations whose text is not the document's: pictures, headers and
        // footers, notes, document information, style and list definitions,
        // field instructions, drawing shapes.
        for (std::string_view s : {"stylesheet",   "info",      "pict",       "header",
                                   "headerl",      "headerr",   "headerf",    "footer",
                                   "footerl",      "footerr",   "footerf",    "footnote",
                                   "annotation",   "fldinst",   "themedata",  "colorschememapping",
                                   "latentstyles", "datastore", "listtable",  "listoverridetable",
                                   "revtbl",       "rsidtbl",   "generator",  "xmlnstbl",
                                   "shp",          "shpinst",   "nonshppict", "shppict",
                                   "do",           "comment",   "xe",         "tc",
                                   "txe",          "rxe",       "bkmkstart",  "bkmkend",
                                   "pgdsctbl",     "mmathPr",   "userprops",  "docvar",
                                   "template",     "ftnsep",    "ftnsepc",    "ftncn",
                                   "aftnsep",      "aftnsepc",  "aftncn",     "objdata",
                                   "private",      "fchars",    "lchars",     "listpicture",
                                   "pnseclvl",     "falt",      "panose"})
            m.emplace(s, Keyword{Kw::SkipDest});
        return m;
    }();
    return k;
}

} // namespace

Keyword keyword(std::string_view name) {
    const auto it = table().find(name);
    return it == table().end() ? Keyword{} : it->second;
}

int charsetCodepage(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0; // ANSI, default and symbol fonts follow the document
    }
}

QByteArray codepageName(int codepage) {
    switch (codepage) {
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 65001:
        return "UTF-8";
    default:
        return "windows-" + QByteArray::number(codepage);
    }
}

} // namespace tv::rtf::detail
