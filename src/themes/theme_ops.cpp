#include "theme_ops.h"

#include "core/connection.h"
#include "core/recordset.h"
#include "core/station.h"

#include <cmath>
#include <limits>

namespace tv {

using theme::Field;
using theme::Kind;

std::optional<qint64> ThemeOps::keyOf(const QString& text) {
    if (text.isEmpty() || text.size() > 10) return std::nullopt;
    for (const QChar ch : text)
        if (ch < u'0' || ch > u'9') return std::nullopt;
    const qint64 key = text.toLongLong();
    if (key > std::numeric_limits<qint32>::max()) return std::nullopt;
    return key;
}

QVariant ThemeOps::stored(const Field& field, const QString& text) {
    switch (field.kind) {
    case Kind::Text:
    case Kind::Path:
        return text;
    case Kind::Flag:
        return text.trimmed() == QStringLiteral("1") ? 1 : 0;
    case Kind::Colour:
        return text.trimmed().toLongLong();
    case Kind::Whole:
    case Kind::Number: {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(d)) return QVariant(); // not set
        if (field.kind == Kind::Whole) return static_cast<qint64>(std::llround(d));
        return d;
    }
    }
    return text;
}

std::optional<QString> ThemeOps::shown(const Field& field, const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    bool ok = false;
    const double d = value.toDouble(&ok);
    switch (field.kind) {
    case Kind::Flag:
        return ok && d == 1 ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Colour:
    case Kind::Whole:
        return ok ? QString::number(static_cast<qint64>(std::llround(d))) : value.toString();
    case Kind::Number:
        // Kept as single-precision numbers: seven digits say all there is.
        return ok ? QString::number(d, 'g', 7) : value.toString();
    case Kind::Text:
    case Kind::Path:
        break;
    }
    return value.toString();
}

ThemeOps::Loaded ThemeOps::getData(const QString& ref) {
    Loaded out;
    const auto key = keyOf(ref);
    if (!key) return out;
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tbltheme where themeauto=?"),
                 {*key});
    if (rs.recordCount() == 0) return out;
    out.found = true;
    const QList<Field>& fields = theme::fields();
    for (int i = 0; i < fields.size(); ++i) {
        const Field& f = fields.at(i);
        // Positions 1 to 38 by position, the rest by name.
        const int at = i < theme::byPositionCount ? i + 1 : rs.fieldIndex(QLatin1String(f.column));
        out.values.append(at < 0 || at >= rs.fieldCount() ? std::nullopt : shown(f, rs.value(at)));
    }
    return out;
}

void ThemeOps::write(RecordSet& rs, const QStringList& texts) {
    const QList<Field>& fields = theme::fields();
    for (int i = 0; i < fields.size(); ++i) {
        const QVariant v = stored(fields.at(i), texts.value(i));
        if (i < theme::byPositionCount)
            rs.setValue(i + 1, v);
        else
            rs.setValue(QLatin1String(fields.at(i).column), v);
    }
}

qint64 ThemeOps::saveData(const QStringList& texts) {
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    RecordSet rs(c, QStringLiteral("select * from tbltheme"));
    rs.addNew();
    write(rs, texts);
    rs.update();
    tx.commit();
    return rs.number(0);
}

bool ThemeOps::updateData(qint64 key, const QStringList& texts) {
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    RecordSet rs(c, QStringLiteral("select * from tbltheme where themeauto=?"), {key});
    if (rs.recordCount() == 0) return false;
    write(rs, texts);
    rs.update();
    tx.commit();
    return true;
}

QString ThemeOps::save(const QString& ref, const QStringList& texts, qint64* key) {
    const auto text = [&](const char* control) {
        return texts.value(theme::indexOf(QLatin1String(control)));
    };
    if (!theme::chkVal(text("txtColWidth"), text("txtColumn"))) return theme::badWidths;
    // A name of blanks is no more a name than an empty one.
    if (text("txtName").trimmed().isEmpty()) return theme::noName;
    const QString numbers = theme::numbersMessage(texts);
    if (!numbers.isEmpty()) return numbers;
    if (ref.isEmpty()) {
        const qint64 added = saveData(texts);
        if (key) *key = added;
        return {};
    }
    const auto existing = keyOf(ref);
    if (!existing || !updateData(*existing, texts)) return themeGone;
    if (key) *key = *existing;
    return {};
}

QList<QStringList> ThemeOps::addFG() {
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tbltheme"));
    QList<QStringList> rows;
    for (; !rs.eof(); rs.moveNext())
        rows.append({rs.textOrEmpty(0), QString::number(rs.absolutePosition()),
                     rs.textOrEmpty(QStringLiteral("type")), rs.textOrEmpty(1)});
    return rows;
}

ThemeOps::Usage ThemeOps::usage(qint64 key) {
    Usage u;
    auto c = m_station.dbConnection;
    RecordSet name(c, QStringLiteral("select themename from tbltheme where themeauto=?"), {key});
    if (name.recordCount() > 0) u.name = name.textOrEmpty(0);
    RecordSet pos(c, QStringLiteral("select count(*) from tblpos where themeauto=?"), {key});
    u.positionRows = static_cast<int>(pos.number(0));
    RecordSet header(c, QStringLiteral("select count(*) from tblheader where themeauto=?"), {key});
    u.headerRows = static_cast<int>(header.number(0));
    u.counterList = !m_station.settings().counterList(static_cast<int>(key)).isEmpty();
    u.stationTheme =
        !u.name.isEmpty() &&
        m_station.settings().text(keys::ThemeName).compare(u.name, Qt::CaseInsensitive) == 0;
    return u;
}

QString ThemeOps::deleteQuestion(const Usage& u) {
    const auto rows = [](int n, const char* what) {
        return QStringLiteral("%1 %2 row%3").arg(n).arg(QLatin1String(what)).arg(n == 1 ? "" : "s");
    };
    QString q = QStringLiteral("Do you want to delete the selected ") +
                QStringLiteral("theme \"%1\"?\n\n").arg(u.name.left(80));
    q += QStringLiteral("It has %1, %2 and %3 counter list%4 on this station; they stay in the "
                        "database.")
             .arg(rows(u.positionRows, "position"), rows(u.headerRows, "header"))
             .arg(u.counterList ? 1 : 0)
             .arg(u.counterList ? "" : "s");
    if (u.stationTheme)
        q += QStringLiteral("\nThis station's display uses it: the board then shows no theme.");
    return q;
}

void ThemeOps::remove(qint64 key) {
    m_station.dbConnection->execute(QStringLiteral("delete from tbltheme where themeauto=?"),
                                    {key});
}

} // namespace tv
