#include "master_data.h"

#include "core/recordset.h"

#include <cmath>
#include <limits>

namespace tv::master {

std::optional<qint64> keyOf(const QString& text) {
    if (text.isEmpty() || text.size() > 10) return std::nullopt;
    for (const QChar ch : text)
        if (ch < u'0' || ch > u'9') return std::nullopt;
    const qint64 key = text.toLongLong();
    if (key > std::numeric_limits<qint32>::max()) return std::nullopt;
    return key;
}

bool isNumber(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(d);
}

std::optional<int> tokenNumber(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d) || d < 0 || d > 32767 || d != std::floor(d)) return std::nullopt;
    return static_cast<int>(d);
}

bool isBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

QString keyTooLarge(const QString& what, qint64 key) {
    return QStringLiteral("%1 cannot be used: its key %2 is above %3, the highest a station can "
                          "hold")
        .arg(what)
        .arg(key)
        .arg(maxStationKey);
}

QStringList gridRow(const RecordSet& rs, const QList<int>& fields) {
    QStringList row{rs.textOrEmpty(0), QString::number(rs.absolutePosition())};
    for (int f : fields)
        row.append(rs.textOrEmpty(f));
    return row;
}

} // namespace tv::master
