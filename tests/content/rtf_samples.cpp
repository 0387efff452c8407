#include "rtf_samples.h"

#include "content/rtf_format.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace tv::test {

QStringList describe(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
        QString line = a & Qt::AlignHCenter   ? "center"
                       : a & Qt::AlignJustify ? "justify"
                       : a & Qt::AlignRight   ? "right"
                                              : "left";
        line += QString(" li%1 ri%2 fi%3")
                    .arg(qRound(f.leftMargin()))
                    .arg(qRound(f.rightMargin()))
                    .arg(qRound(f.textIndent()));
        for (const QTextOption::Tab& t : f.tabPositions())
            line += QString(" tab%1/%2").arg(qRound(t.position)).arg(int(t.type));
        if (const QTextList* l = b.textList())
            line += l->format().style() == QTextListFormat::ListDecimal ? " list:decimal"
                                                                        : " list:bullet";
        line += " |";
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const rtf::CharLook k = rtf::lookOf(it.fragment().charFormat(), doc.defaultFont());
            line += QString(" [%1 %2 %3%4%5%6 %7]%8")
                        .arg(k.family)
                        .arg(k.points)
                        .arg(k.bold ? "B" : "")
                        .arg(k.italic ? "I" : "")
                        .arg(k.underline ? "U" : "")
                        .arg(k.strike ? "S" : "")
                        .arg(k.color ? k.color->name() : QString("auto"))
                        .arg(it.fragment().text());
        }
        out.append(line);
    }
    return out;
}

QString plainText(const QTextDocument& doc) {
    return doc.toPlainText();
}

} // namespace tv::test
