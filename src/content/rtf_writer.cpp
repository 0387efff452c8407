#include "rtf_writer.h"

#include "rtf_format.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <cmath>

namespace tv::rtf {

namespace {

// Windows-1252 byte of a character, 0 when it has none. Readers that skip our
// \uN show this byte instead, so accented Latin text stays readable there.
uchar cp1252Byte(char16_t c) {
    if (c >= 0xA0 && c <= 0xFF) return static_cast<uchar>(c);
    static constexpr char16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (high[i] == c) return static_cast<uchar>(0x80 + i);
    return 0;
}

int twips(double units) {
    return static_cast<int>(std::lround(units * kTwipsPerUnit));
}

class Writer final {
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc) {}

    QByteArray run() {
        // Font 0 is the document's own font: \deff0 makes readers fall back to it.
        fontIndex(m_doc.defaultFont().family());
        for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next())
            block(b);
        QByteArray out;
        out.reserve(m_body.size() + 256);
        out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1";
        out += "{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i) {
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
            QString name = m_fonts.at(i);
            name.remove(u';');
            text(out, name);
            out += ";}";
        }
        out += "}\r\n{\\colortbl ;";
        for (const QColor& c : m_colors)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" +
                   QByteArray::number(c.green()) + "\\blue" + QByteArray::number(c.blue()) + ';';
        out += "}\r\n{\\*\\generator Tallyvox;}\r\n";
        out += m_body;
        out += "}\r\n";
        return out;
    }

private:
    int fontIndex(const QString& family) {
        const int i = static_cast<int>(m_fonts.indexOf(family));
        if (i >= 0) return i;
        m_fonts.append(family);
        return static_cast<int>(m_fonts.size()) - 1;
    }

    // 0 is the automatic colour; the table's entries count from 1.
    int colorIndex(const std::optional<QColor>& color) {
        if (!color) return 0;
        const QColor c = color->toRgb();
        for (int i = 0; i < m_colors.size(); ++i)
            if (m_colors.at(i).rgb() == c.rgb()) return i + 1;
        m_colors.append(c);
        return static_cast<int>(m_colors.size());
    }

    // The look of a run. Word processors keep a second font, size, bold and
    // italic for complex scripts (Devanagari among them), given after
    // \rtlch; \ltrch then gives the ordinary ones and leaves the run left to
    // right. The same values go to both, so a Hindi message keeps its look.
    QByteArray lookWords(const CharLook& look) {
        const QByteArray font = QByteArray::number(fontIndex(look.family));
        const int half =
            std::clamp(static_cast<int>(std::lround(look.points * 2)),
                       static_cast<int>(kMinPoints * 2), static_cast<int>(kMaxPoints * 2));
        const QByteArray size = QByteArray::number(half);
        QByteArray w = "\\rtlch\\af" + font + "\\afs" + size;
        if (look.bold) w += "\\ab";
        if (look.italic) w += "\\ai";
        w += "\\ltrch\\f" + font + "\\fs" + size;
        if (look.bold) w += "\\b";
        if (look.italic) w += "\\i";
        if (look.underline) w += "\\ul";
        if (look.strike) w += "\\strike";
        if (const int c = colorIndex(look.color); c > 0) w += "\\cf" + QByteArray::number(c);
        return w;
    }

    static void text(QByteArray& out, QStringView s) {
        for (const QChar qc : s) {
            const char16_t c = qc.unicode();
            switch (c) {
            case u'\\':
                out += "\\\\";
                continue;
            case u'{':
                out += "\\{";
                continue;
            case u'}':
                out += "\\}";
                continue;
            case u'\t':
                out += "\\tab ";
                continue;
            case QChar::LineSeparator:
                out += "\\line ";
                continue;
            case QChar::Nbsp:
                out += "\\~";
                continue;
            case QChar::ObjectReplacementCharacter: // pictures are not part of a message
                continue;
            default:
                break;
            }
            if (c < 0x20) continue;
            if (c < 0x80) {
                out += static_cast<char>(c);
                continue;
            }
            // \uN counts in signed 16 bits; a character beyond the first plane
            // goes as its two UTF-16 halves, each with its own fallback.
            out += "\\u" + QByteArray::number(static_cast<qint16>(c));
            if (const uchar b = cp1252Byte(c); b != 0)
                out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
            else
                out += '?';
        }
    }

    void listMarker(const QTextBlock& b, const QTextList& list, const CharLook& look) {
        const QTextListFormat::Style style = list.format().style();
        const QByteArray font = "\\f" + QByteArray::number(fontIndex(look.family));
        if (style == QTextListFormat::ListDecimal) {
            const QByteArray n = QByteArray::number(list.itemNumber(b) + 1);
            m_body += "{\\pntext" + font + ' ' + n + ".\\tab}";
            m_body += "{\\*\\pn\\pnlvlbody\\pn" + font.mid(1) +
                      "\\pndec\\pnstart1\\pnindent0{\\pntxta .}}";
        } else {
            // The drawn bullet for readers without lists, then the list itself.
            m_body += "{\\pntext" + font + " \\u8226\\'95\\tab}";
            m_body += "{\\*\\pn\\pnlvlblt\\pn" + font.mid(1) + "\\pnindent0{\\pntxtb\\u8226\\'95}}";
        }
    }

    void block(const QTextBlock& b) {
        const QTextBlockFormat bf = b.blockFormat();
        const QFont base = m_doc.defaultFont();
        const CharLook markLook = lookOf(b.charFormat(), base);
        m_body += "\\pard";
        int left = twips(bf.leftMargin());
        int first = twips(bf.textIndent());
        if (const QTextList* list = b.textList()) {
            listMarker(b, *list, markLook);
            left += kBulletHang;
            first -= kBulletHang;
        }
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            m_body += "\\qc";
        else if (a & Qt::AlignJustify)
            m_body += "\\qj";
        else if ((a & Qt::AlignRight) || (a & Qt::AlignTrailing))
            m_body += "\\qr";
        else
            m_body += "\\ql";
        if (left != 0) m_body += "\\li" + QByteArray::number(left);
        if (const int right = twips(bf.rightMargin()); right != 0)
            m_body += "\\ri" + QByteArray::number(right);
        if (first != 0) m_body += "\\fi" + QByteArray::number(first);
        for (const QTextOption::Tab& t : bf.tabPositions()) {
            if (t.type == QTextOption::RightTab) m_body += "\\tqr";
            if (t.type == QTextOption::CenterTab) m_body += "\\tqc";
            if (t.type == QTextOption::DelimiterTab) m_body += "\\tqdec";
            m_body += "\\tx" + QByteArray::number(twips(t.position));
        }
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid() || frag.text().isEmpty()) continue;
            m_body += '{' + lookWords(lookOf(frag.charFormat(), base)) + ' ';
            text(m_body, frag.text());
            m_body += '}';
        }
        // The paragraph mark keeps the block's own look, so an empty line
        // keeps its height.
        m_body += '{' + lookWords(markLook) + "\\par}\r\n";
    }

    const QTextDocument& m_doc;
    QStringList m_fonts;
    QList<QColor> m_colors;
    QByteArray m_body;
};

} // namespace

QByteArray write(const QTextDocument& document) {
    return Writer(document).run();
}

QString writeText(const QTextDocument& document) {
    return QString::fromLatin1(write(document));
}

} // namespace tv::rtf
