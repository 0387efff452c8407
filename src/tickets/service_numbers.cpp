#include "service_numbers.h"

#include "core/lookups.h"
#include "core/recordset.h"
#include "core/station.h"

#include <QDateTime>
#include <cmath>

namespace tv {

namespace {} // namespace

QList<ServiceNumbers::Entry> ServiceNumbers::entriesOf(const QDate& day) {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral(
            "SELECT tblServiceNo.snoauto, tblService.ServName, tblServiceNo.sdate, "
            "tblServiceNo.sno,"
            " tblServiceNo.active FROM tblServiceNo INNER JOIN tblService ON"
            " tblServiceNo.servAuto = tblService.servAuto where format(sdate,'yyyy-MM-dd')=?"),
        {day.toString(QStringLiteral("yyyy-MM-dd"))});
    QList<Entry> out;
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.textOrEmpty(0), rs.textOrEmpty(1), rs.textOrEmpty(2), rs.textOrEmpty(3),
                    rs.textOrEmpty(4)});
    return out;
}

QStringList ServiceNumbers::activeServices() {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("Select * from tblService where active='1'"));
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names.append(rs.textOrEmpty(2));
    return names;
}

ServiceNumbers::Loaded ServiceNumbers::load(int snoAuto) {
    Loaded l;
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select * from tblServiceNo where snoAuto=?"), {snoAuto});
    if (rs.recordCount() == 0) return l;
    l.found = true;
    l.servName = lookups::getServiceName(m_station, static_cast<int>(rs.number(1)));
    l.date = QDateTime::fromString(rs.textOrEmpty(2).left(10), QStringLiteral("yyyy-MM-dd")).date();
    if (!l.date.isValid())
        l.date = QDate::fromString(rs.textOrEmpty(2).left(10), QStringLiteral("yyyy-MM-dd"));
    l.sno = rs.textOrEmpty(3);
    l.active = !rs.isNull(4) && rs.number(4) == 1;
    return l;
}

QString ServiceNumbers::numericOrZero(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    // "nan" and "inf" read as numbers, but no ticket carries them.
    return ok && std::isfinite(d) ? text.trimmed() : QStringLiteral("0");
}

std::optional<int> ServiceNumbers::startNumber(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d) || d < 0 || d > 32767 || d != std::floor(d)) return std::nullopt;
    return static_cast<int>(d);
}

QString ServiceNumbers::save(const QString& ref, const QString& servName, const QDate& date,
                             const QString& startNo, bool active) {
    const qint16 service = lookups::getServiceId(m_station, servName);
    if (service == 0) return QStringLiteral("Please select a service ");
    // The day is stored as a date and time at midnight; lists compare its day part.
    const QDateTime day(date, QTime(0, 0));
    const std::optional<int> number = startNumber(numericOrZero(startNo));
    if (!number) return startNoRange;
    const int sno = *number;
    auto c = m_station.dbConnection;
    const auto write = [&](RecordSet& rs) {
        rs.setValue(1, service);
        rs.setValue(2, day);
        rs.setValue(3, sno);
        rs.setValue(4, active ? 1 : 0);
        rs.update();
    };
    if (!ref.isEmpty()) {
        RecordSet rs(c, QStringLiteral("select * from tblServiceNo where snoAuto=?"),
                     {ref.toInt()});
        if (rs.recordCount() > 0) write(rs);
        return {};
    }
    RecordSet same(
        c,
        QStringLiteral(
            "select * from tblserviceno where format(sdate,'yyyy-MM-dd')=? and servAuto=?"),
        {date.toString(QStringLiteral("yyyy-MM-dd")), service});
    if (same.recordCount() > 0) return QStringLiteral("Contains same date entry");
    RecordSet add(c, QStringLiteral("select * from tblServiceNo where snoAuto=?"), {-1});
    add.addNew();
    write(add);
    return {};
}

} // namespace tv
