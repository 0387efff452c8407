#include "services.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/lookups.h"
#include "core/recordset.h"
#include "core/station.h"
#include "master_data.h"

namespace tv {

QList<QStringList> Services::addFG() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral(
            "SELECT tblService.servAuto, tblDept.deptName, tblService.ServName,"
            " tblservice.startno, tblservice.endno, tblservice.abrno, tblService.active FROM"
            " tblService INNER JOIN tblDept ON tblService.deptAuto = tblDept.deptAuto"));
    QList<QStringList> rows;
    for (; !rs.eof(); rs.moveNext())
        rows.append(master::gridRow(rs, {1, 2, 3, 4, 5, 6}));
    return rows;
}

QStringList Services::addDept() {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select deptName from tblDept where active='1'"));
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names.append(rs.textOrEmpty(0));
    return names;
}

Services::Details Services::getData(const QString& ref) {
    Details d;
    const auto key = master::keyOf(ref);
    if (!key) return d;
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select * from tblService where servAuto=?"), {*key});
    if (rs.recordCount() == 0) return d;
    d.found = true;
    // Each field on its own: a department that is gone leaves its box empty
    // and the others still fill.
    try {
        d.deptName = lookups::getDeptName(m_station, static_cast<int>(rs.number(1)));
    } catch (const DbError&) {
    }
    d.name = rs.textOrEmpty(2);
    d.desc = rs.textOrEmpty(3);
    d.active = rs.textOrEmpty(4) == QStringLiteral("1");
    d.startNo = rs.textOrEmpty(QStringLiteral("startno"));
    d.endNo = rs.textOrEmpty(QStringLiteral("endno"));
    d.prefix = rs.textOrEmpty(QStringLiteral("abrno"));
    return d;
}

QString Services::cleanPrefix(const QString& prefix) {
    for (const QChar ch : {u'-', u'#', u'.', u'_', u'*', u','})
        if (prefix.contains(ch)) return {};
    return prefix;
}

QString Services::save(const QString& ref, const Entry& e) {
    if (!e.prefix.isEmpty() && master::isNumber(e.prefix)) return prefixIsNumber;
    if (!master::isNumber(e.startNo)) return badStart;
    // Ticket numbers are whole numbers a station holds in 16 bits.
    const auto start = master::tokenNumber(e.startNo);
    if (!start) return startRange;
    if (!master::isNumber(e.endNo)) return badEnd;
    const auto end = master::tokenNumber(e.endNo);
    if (!end) return endRange;
    if (*end <= *start) return startNotBelowEnd;
    auto c = m_station.dbConnection;
    // getDeptId, read wide: a key beyond 16 bits is told, never cut to another's.
    RecordSet dept(c, QStringLiteral("select deptAuto from tbldept where deptname=?"),
                   {e.deptName});
    const qint64 deptKey = dept.recordCount() == 0 ? 0 : dept.number(0);
    if (deptKey == 0) return noDepartment;
    if (deptKey > master::maxStationKey)
        return master::keyTooLarge(QStringLiteral("The department ") + e.deptName, deptKey);
    if (master::isBlank(e.name)) return blankName;

    const auto write = [&](RecordSet& rs) {
        rs.setValue(1, deptKey);
        rs.setValue(2, e.name);
        rs.setValue(3, e.desc);
        rs.setValue(4, e.active ? 1 : 0);
        rs.setValue(QStringLiteral("startno"), *start);
        rs.setValue(QStringLiteral("endno"), *end);
        rs.setValue(QStringLiteral("abrno"), e.prefix);
        rs.update();
    };
    if (!ref.isEmpty()) {
        const auto key = master::keyOf(ref);
        if (!key) return {};
        RecordSet rs(c, QStringLiteral("select * from tblService where servAuto=?"), {*key});
        if (rs.recordCount() > 0) write(rs);
        return {};
    }
    RecordSet rs(c, QStringLiteral("select * from tblService"));
    rs.addNew();
    write(rs);
    return {};
}

QString Services::remove(const QString& keyText) {
    const auto key = master::keyOf(keyText);
    if (!key) return master::selectEntry;
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    if (lookups::recordExists(m_station, QStringLiteral("tblticket"), QStringLiteral("servAuto"),
                              static_cast<qint32>(*key)))
        return master::cannotDelete;
    c->execute(QStringLiteral("delete from tblservice where servauto=?"), {*key});
    tx.commit();
    return {};
}

} // namespace tv
