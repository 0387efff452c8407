#include "message_text.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <cmath>
#include <vector>

namespace tv::message_text {

QString withoutMarkup(QString text) {
    text.remove(u'>');
    text.remove(u'<');
    text.remove(u'/');
    return text;
}

rtf::CharLook messageLook(const QTextDocument& doc, const QTextCharFormat& typing,
                          const QString& family, double points) {
    QTextCharFormat format = typing;
    if (!doc.isEmpty()) {
        // The format before position 1 is the first character's.
        QTextCursor first(const_cast<QTextDocument*>(&doc));
        first.setPosition(1);
        format = first.charFormat();
    }
    rtf::CharLook look = rtf::lookOf(format, doc.defaultFont());
    look.family = family;
    look.points = points;
    return look;
}

QString flatten(QTextDocument* doc, const rtf::CharLook& look) {
    const QString text = withoutMarkup(doc->toPlainText());
    const QTextCharFormat format = rtf::toCharFormat(look);
    doc->clear();
    QTextCursor c(doc);
    c.setBlockCharFormat(format);
    c.insertText(text, format);
    return text;
}

int caretLine(const QTextCursor& cursor) {
    const QTextBlock here = cursor.block();
    int line = 0;
    for (QTextBlock b = cursor.document()->begin(); b.isValid() && b != here; b = b.next())
        line += std::max(1, b.layout()->lineCount()); // not laid out yet: one line
    const QTextLayout* layout = here.layout();
    if (layout && layout->lineCount() > 0) {
        const QTextLine l = layout->lineForTextPosition(cursor.positionInBlock());
        if (l.isValid()) line += l.lineNumber();
    }
    return line + 1;
}

QString lineStatus(int line, const QLocale& locale) {
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return QStringLiteral("Line : ") + grouped.toString(line);
}

void setCase(QTextCursor& selection, bool upper) {
    if (!selection.hasSelection()) return;
    QTextDocument* doc = selection.document();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    struct Piece {
        int from, to;
        QTextCharFormat format;
    };
    std::vector<Piece> pieces;
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int from = std::max(f.position(), start);
            const int to = std::min(f.position() + f.length(), end);
            if (from < to) pieces.push_back({from, to, f.charFormat()});
        }
    // From the end, so a piece whose length changes ("ß" to "SS") leaves the
    // positions of the others alone.
    QTextCursor c(doc);
    c.beginEditBlock();
    int grown = 0;
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        c.setPosition(it->from);
        c.setPosition(it->to, QTextCursor::KeepAnchor);
        const QString was = c.selectedText();
        const QString now = upper ? was.toUpper() : was.toLower();
        if (now == was) continue;
        c.insertText(now, it->format);
        grown += static_cast<int>(now.size() - was.size());
    }
    c.endEditBlock();
    selection.setPosition(start);
    selection.setPosition(end + grown, QTextCursor::KeepAnchor);
}

void toggleBullets(QTextCursor& selection) {
    QTextDocument* doc = selection.document();
    const QTextBlock first = doc->findBlock(selection.selectionStart());
    const QTextBlock last = doc->findBlock(selection.selectionEnd());
    selection.beginEditBlock();
    if (first.textList()) {
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            if (QTextList* list = b.textList()) list->remove(b);
            QTextCursor c(b);
            QTextBlockFormat f = b.blockFormat();
            f.setIndent(0);
            c.setBlockFormat(f);
            if (b == last) break;
        }
    } else {
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        bullets.setIndent(1);
        selection.createList(bullets);
    }
    selection.endEditBlock();
}

std::optional<double> fontSize(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    const double half = std::round(d * 2) / 2;
    if (half < rtf::kMinPoints || half > rtf::kMaxPoints) return std::nullopt;
    return half;
}

} // namespace tv::message_text
