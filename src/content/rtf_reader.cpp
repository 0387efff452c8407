#include "rtf_reader.h"

#include "rtf_format.h"
#include "rtf_parse.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace tv::rtf {

using namespace detail;

namespace {

QString fontName(const Parsed& p, int font) {
    auto it = p.fonts.constFind(font < 0 ? p.defaultFont : font);
    if (it == p.fonts.cend()) it = p.fonts.constFind(p.defaultFont);
    return it == p.fonts.cend() ? QString() : it->name;
}

CharLook lookOf(const Parsed& p, const CharState& s) {
    CharLook look;
    look.family = fontName(p, s.font);
    look.points = std::clamp(s.halfPoints / 2.0, kMinPoints, kMaxPoints);
    look.bold = s.bold;
    look.italic = s.italic;
    look.underline = s.underline;
    look.strike = s.strike;
    if (s.color >= 0 && s.color < p.colors.size() && p.colors.at(s.color).isValid())
        look.color = p.colors.at(s.color);
    return look;
}

// Text in a font the document does not name takes the document's own font.
QTextCharFormat charFormat(const Parsed& p, const CharState& s) {
    return toCharFormat(lookOf(p, s));
}

QTextBlockFormat blockFormat(const ParaState& s) {
    QTextBlockFormat f;
    static constexpr Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                               Qt::AlignJustify};
    f.setAlignment(aligns[std::clamp(s.align, 0, 3)]);
    int left = s.leftTwips;
    int first = s.firstTwips;
    // Our lists draw the bullet in the hanging part themselves.
    if (s.list != ListKind::None) {
        left = std::max(left - kBulletHang, 0);
        first += kBulletHang;
    }
    f.setLeftMargin(left / kTwipsPerUnit);
    f.setRightMargin(s.rightTwips / kTwipsPerUnit);
    f.setTextIndent(first / kTwipsPerUnit);
    if (!s.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (const TabStop& t : s.tabs)
            tabs.append(QTextOption::Tab(t.twips / kTwipsPerUnit, t.type));
        f.setTabPositions(tabs);
    }
    return f;
}

} // namespace

bool looksLikeRtf(const QByteArray& data) {
    QByteArrayView v(data);
    if (v.startsWith("\xEF\xBB\xBF")) v = v.sliced(3);
    while (!v.isEmpty() &&
           (v.front() == ' ' || v.front() == '\t' || v.front() == '\r' || v.front() == '\n'))
        v = v.sliced(1);
    return v.startsWith("{\\rtf");
}

ReadResult read(const QByteArray& data, QTextDocument* document) {
    const Parsed p = parse(data);
    ReadResult result;
    if (!p.error.isEmpty()) {
        result.error = p.error;
        return result;
    }
    result.ok = true;
    result.warning = p.warning;

    document->clear();
    QTextCursor c(document);
    c.beginEditBlock();
    QTextList* list = nullptr;
    ListKind listKind = ListKind::None;
    bool first = true;
    for (const Paragraph& para : p.paragraphs) {
        const QTextBlockFormat bf = blockFormat(para.format);
        const QTextCharFormat mark = charFormat(p, para.mark);
        if (first) {
            c.setBlockFormat(bf);
            c.setBlockCharFormat(mark);
            first = false;
        } else {
            c.insertBlock(bf, mark);
        }
        if (para.format.list == ListKind::None) {
            list = nullptr;
        } else if (list && listKind == para.format.list) {
            list->add(c.block());
        } else {
            QTextListFormat lf;
            lf.setStyle(para.format.list == ListKind::Decimal ? QTextListFormat::ListDecimal
                                                              : QTextListFormat::ListDisc);
            lf.setIndent(1);
            list = c.createList(lf);
            listKind = para.format.list;
        }
        for (const Run& run : para.runs)
            if (!run.text.isEmpty()) c.insertText(run.text, charFormat(p, run.look));
    }
    c.endEditBlock();
    return result;
}

} // namespace tv::rtf
