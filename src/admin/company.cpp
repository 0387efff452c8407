#include "company.h"

#include "core/connection.h"
#include "core/recordset.h"
#include "core/station.h"
#include "master_data.h"

namespace tv {

Company::Details Company::load() {
    Details d;
    RecordSet rs(m_station.dbConnection, QStringLiteral("Select * from tblComp where compAuto=1"));
    if (rs.recordCount() == 0) return d;
    d.found = true;
    d.name = rs.textOrEmpty(1);
    d.address = rs.textOrEmpty(2);
    return d;
}

QString Company::save(const QString& name, const QString& address) {
    if (master::isBlank(name)) return blankName;
    auto c = m_station.dbConnection;
    Connection::WriteTransaction tx(*c);
    RecordSet rs(c, QStringLiteral("Select * from tblComp where compAuto=1"));
    if (rs.recordCount() == 0) {
        // The ticket screen and this window read row 1 only: a row the
        // database numbered itself would never be read.
        rs.addNew();
        rs.setValue(0, 1);
    }
    rs.setValue(1, name);
    rs.setValue(2, address);
    rs.update();
    tx.commit();
    return {};
}

} // namespace tv
