#include "departments.h"

#include "core/connection.h"
#include "core/lookups.h"
#include "core/recordset.h"
#include "core/station.h"
#include "master_data.h"

namespace tv {

QList<QStringList> Departments::addFG() {
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tblDept"));
    QList<QStringList> rows;
    for (; !rs.eof(); rs.moveNext())
        rows.append(master::gridRow(rs, {1, 3}));
    return rows;
}

Departments::Details Departments::getData(const QString& ref) {
    Details d;
    const auto key = master::keyOf(ref);
    if (!key) return d;
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tblDept where deptAuto=?"),
                 {*key});
    if (rs.recordCount() == 0) return d;
    d.found = true;
    d.name = rs.textOrEmpty(1);
    d.desc = rs.textOrEmpty(2);
    d.active = rs.textOrEmpty(3) == QStringLiteral("1");
    return d;
}

QString Departments::save(const QString& ref, const QString& name, const QString& desc,
                          bool active) {
    if (master::isBlank(name)) return blankName;
    auto c = m_station.dbConnection;
    const auto write = [&](RecordSet& rs) {
        rs.setValue(1, name);
        rs.setValue(2, desc);
        rs.setValue(3, active ? 1 : 0);
        rs.update();
    };
    if (!ref.isEmpty()) {
        const auto key = master::keyOf(ref);
        if (!key) return {};
        RecordSet rs(c, QStringLiteral("select * from tblDept where deptAuto=?"), {*key});
        if (rs.recordCount() > 0) write(rs);
        return {};
    }
    RecordSet rs(c, QStringLiteral("select * from tblDept"));
    rs.addNew();
    write(rs);
    return {};
}

QString Departments::remove(const QString& keyText) {
    const auto key = master::keyOf(keyText);
    if (!key) return master::selectEntry;
    auto c = m_station.dbConnection;
    // The check and the delete in one write transaction: a service added for
    // the department meanwhile by another station keeps its department.
    Connection::WriteTransaction tx(*c);
    if (lookups::recordExists(m_station, QStringLiteral("tblService"), QStringLiteral("deptAuto"),
                              static_cast<qint32>(*key)))
        return master::cannotDelete;
    c->execute(QStringLiteral("delete from tbldept where deptauto=?"), {*key});
    tx.commit();
    return {};
}

} // namespace tv
