#include "counters.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/login_ops.h"
#include "core/lookups.h"
#include "core/password_hash.h"
#include "core/recordset.h"
#include "core/station.h"
#include "master_data.h"

#include <optional>

namespace tv {

namespace {
const QString counterRole = QStringLiteral("C");
}

QList<QStringList> Counters::addFG() {
    RecordSet rs(
        m_station.dbConnection,
        QStringLiteral(
            "SELECT tblCounter.cntAuto, tblService.ServName, tblDept.deptName,"
            " tblCounter.contName, tblCounter.active FROM (tblCounter INNER JOIN tblService ON"
            " tblCounter.servAuto = tblService.servAuto) INNER JOIN tblDept ON"
            " tblService.deptAuto = tblDept.deptAuto order by contName asc"));
    QList<QStringList> rows;
    for (; !rs.eof(); rs.moveNext())
        rows.append(master::gridRow(rs, {2, 1, 3, 4}));
    return rows;
}

QStringList Counters::addServ() {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("Select * from tblService where active='1'"));
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names.append(rs.textOrEmpty(2));
    return names;
}

Counters::Details Counters::getData(const QString& ref) {
    Details d;
    const auto key = master::keyOf(ref);
    if (!key) return d;
    RecordSet rs(m_station.dbConnection, QStringLiteral("select * from tblcounter where cntauto=?"),
                 {*key});
    if (rs.recordCount() == 0) return d;
    d.found = true;
    d.serviceName = rs.isNull(1)
                        ? QString()
                        : lookups::getServiceName(m_station, static_cast<int>(rs.number(1)));
    d.name = rs.textOrEmpty(2);
    d.displayName = rs.textOrEmpty(3);
    d.user = rs.textOrEmpty(4);
    d.active = rs.textOrEmpty(6) == QStringLiteral("1");
    return d;
}

QString Counters::save(const QString& ref, const Entry& e) {
    if (e.pass != e.pass1) return passwordsDiffer;
    auto c = m_station.dbConnection;
    // getServiceId, read wide: a key beyond 16 bits is told, never cut to another's.
    RecordSet service(c, QStringLiteral("select servAuto from tblService where Servname=?"),
                      {e.serviceName});
    const qint64 serviceKey = service.recordCount() == 0 ? 0 : service.number(0);
    if (serviceKey == 0) return noService;
    if (serviceKey > master::maxStationKey)
        return master::keyTooLarge(QStringLiteral("The service ") + e.serviceName, serviceKey);
    if (master::isBlank(e.name)) return blankName;
    if (master::isBlank(e.user)) return blankUser;

    std::optional<qint64> key;
    if (!ref.isEmpty()) {
        key = master::keyOf(ref);
        if (!key) return {};
    }
    // Both boxes empty on an edited counter: its password stays as it is.
    const bool keepPassword = key && e.pass.isEmpty();
    // Hashing is slow on purpose: done before the database is held.
    const QString hash = keepPassword ? QString() : hashPassword(e.pass);

    Connection::WriteTransaction tx(*c);
    RecordSet rs(c);
    if (key) {
        rs.open(QStringLiteral("select * from tblcounter where cntauto=?"), {*key});
        if (rs.recordCount() == 0) return {};
    } else {
        rs.open(QStringLiteral("select * from tblcounter"));
        rs.addNew();
    }
    rs.setValue(1, serviceKey);
    rs.setValue(2, e.name);
    rs.setValue(3, e.displayName);
    rs.setValue(4, e.user);
    if (!keepPassword) rs.setValue(5, hash);
    rs.setValue(6, e.active ? 1 : 0);
    rs.update();
    // A new password ends the logins stations remembered with the old one.
    if (key && !keepPassword) LoginOps::revokeLoginTokens(*c, counterRole, *key);
    tx.commit();
    return {};
}

QString Counters::remove(const QString& keyText) {
    const auto key = master::keyOf(keyText);
    if (!key) return master::selectEntry;
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    if (lookups::recordExists(m_station, QStringLiteral("tblticket"), QStringLiteral("attended"),
                              static_cast<qint32>(*key)))
        return master::cannotDelete;
    c->execute(QStringLiteral("delete from tblcounter where cntauto=?"), {*key});
    LoginOps::revokeLoginTokens(*c, counterRole, *key);
    tx.commit();
    return {};
}

} // namespace tv
