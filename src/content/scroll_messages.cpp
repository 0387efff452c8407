#include "scroll_messages.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "core/station.h"

namespace tv {

QList<ScrollMessages::Row> ScrollMessages::rowsOf(const QString& sql, const QVariantList& binds) {
    RecordSet rs(m_station.dbConnection, sql, binds);
    QList<Row> out;
    out.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) {
        Row r;
        r.scrollAuto = rs.number(0);
        r.message = rs.textOrEmpty(1);
        r.active = rs.textOrEmpty(4) == QStringLiteral("1");
        r.direction = rs.textOrEmpty(10);
        out.append(r);
    }
    return out;
}

QList<ScrollMessages::Row> ScrollMessages::rows(bool activeOnly) {
    return rowsOf(
        activeOnly
            ? QStringLiteral("select * From tblscroll where active='1' order by scrollauto asc")
            : QStringLiteral("select * From tblscroll order by scrollauto asc"),
        {});
}

QString ScrollMessages::containsPattern(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text.toLower()) {
        if (c == u'\\' || c == u'%' || c == u'_') escaped += u'\\';
        escaped += c;
    }
    return u'%' + escaped + u'%';
}

QList<ScrollMessages::Row> ScrollMessages::find(const QString& text, bool activeOnly) {
    // Both engines compare the lowered text, so a find gives the same rows
    // on every station whatever engine it uses.
    return rowsOf(activeOnly ? QStringLiteral("select * From tblscroll where active='1' and "
                                              "lower(message) like ? escape '\\'  order by "
                                              "scrollauto asc")
                             : QStringLiteral("select * From tblscroll where lower(message) "
                                              "like ? escape '\\' order by scrollauto asc"),
                  {containsPattern(text)});
}

void ScrollMessages::remove(qint64 scrollAuto) {
    m_station.dbConnection->execute(QStringLiteral("delete from tblscroll where scrollAuto=?"),
                                    {scrollAuto});
}

ScrollMessages::Stored ScrollMessages::getheadDetails(qint64 scrollAuto) {
    Stored s;
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select msgrtf,active,direction,message,font,size,color from "
                                "tblScroll where scrollAuto=?"),
                 {scrollAuto});
    if (rs.eof()) return s;
    s.found = true;
    // Each field on its own: one that cannot be read leaves its control alone.
    const auto text = [&](int i) -> std::optional<QString> {
        if (rs.isNull(i)) return std::nullopt;
        return rs.textOrEmpty(i);
    };
    s.msgrtf = text(0);
    if (const auto a = text(1)) s.active = a->trimmed() == QStringLiteral("1");
    s.direction = text(2);
    s.message = text(3);
    s.font = text(4);
    if (const auto size = text(5)) {
        bool ok = false;
        const double d = size->toDouble(&ok);
        if (ok) s.size = QString::number(d);
    }
    if (const auto color = text(6)) {
        bool ok = false;
        const qint64 v = color->toLongLong(&ok);
        if (ok && v >= 0 && v <= 0xFFFFFFFFLL) s.color = static_cast<quint32>(v);
    }
    return s;
}

ScrollMessages::Saved ScrollMessages::save(const Message& m, bool editMode, qint64 scrollAuto) {
    const auto c = m_station.dbConnection;
    const QString byKey = QStringLiteral("select * from tblScroll where scrollAuto=?");
    Saved saved;
    RecordSet rs(c, byKey, {editMode ? scrollAuto : qint64(-1)});
    if (editMode && rs.recordCount() > 0) {
        saved.outcome = Outcome::Changed;
    } else {
        // A message deleted at another station while it was being edited is
        // not lost: it is stored again as a new one.
        saved.outcome = editMode ? Outcome::AddedAgain : Outcome::Added;
        rs.addNew();
    }
    rs.setValue(1, m.message);
    rs.setValue(2, m.rtf);
    rs.setValue(3, m.rtf);
    rs.setValue(4, m.active ? 1 : 0);
    rs.setValue(5, m.font);
    rs.setValue(6, m.size);
    rs.setValue(7, static_cast<qint64>(m.color));
    rs.setValue(8, m.bold ? 1 : 0);
    rs.setValue(9, m.italic ? 1 : 0);
    rs.setValue(10, m.direction);
    rs.update();
    saved.scrollAuto = rs.isNull(0) ? 0 : rs.number(0);
    return saved;
}

} // namespace tv
