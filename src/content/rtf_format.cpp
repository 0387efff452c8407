#include "rtf_format.h"

#include <QBrush>

namespace tv::rtf {

QString familyOf(const QTextCharFormat& format) {
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    for (const QString& f : families)
        if (!f.isEmpty()) return f;
    return {};
}

CharLook lookOf(const QTextCharFormat& format, const QFont& base) {
    CharLook look;
    look.family = familyOf(format);
    if (look.family.isEmpty()) look.family = base.family();

    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        look.points = format.fontPointSize();
    else if (base.pointSizeF() > 0)
        look.points = base.pointSizeF();
    else if (base.pixelSize() > 0)
        look.points = base.pixelSize() * 0.75;

    look.bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                            : base.weight() >= QFont::DemiBold;
    look.italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : base.italic();
    look.underline = format.hasProperty(QTextFormat::FontUnderline) ||
                             format.hasProperty(QTextFormat::TextUnderlineStyle)
                         ? format.fontUnderline()
                         : base.underline();
    look.strike =
        format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut() : base.strikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        const QBrush brush = format.foreground();
        if (brush.style() != Qt::NoBrush) look.color = brush.color().toRgb();
    }
    return look;
}

QTextCharFormat toCharFormat(const CharLook& look) {
    QTextCharFormat f;
    if (!look.family.isEmpty()) f.setFontFamilies({look.family});
    f.setFontPointSize(look.points);
    f.setFontWeight(look.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(look.italic);
    f.setFontUnderline(look.underline);
    f.setFontStrikeOut(look.strike);
    if (look.color) f.setForeground(*look.color);
    return f;
}

} // namespace tv::rtf
