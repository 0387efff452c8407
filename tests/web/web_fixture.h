#pragma once

// A small hall for the web tests: one department, services, counters, and
// helpers that issue and call tickets the way the kiosk and the counters do.
#include "calling/calling_ops.h"
#include "core/connection.h"
#include "core/recordset.h"
#include "core/station.h"
#include "tickets/token_allocation.h"

namespace tv::test {

inline void addService(Station& st, int id, const QString& name, const QString& prefix,
                       int endno = 500, int active = 1) {
    st.dbConnection->execute("insert into tblService (servAuto, deptAuto, servName, servdesc, "
                             "active, startno, endno, abrno) values (?, 1, ?, '', ?, 1, ?, ?)",
                             {id, name, active, endno, prefix});
}

inline void addCounter(Station& st, int id, int service, const QString& display) {
    st.dbConnection->execute("insert into tblCounter (cntAuto, servAuto, contName, displayName, "
                             "username, pass, active) values (?, ?, ?, ?, '', '', 1)",
                             {id, service, QStringLiteral("Counter %1").arg(id), display});
}

inline TokenAllocation::Issued issueTicket(Station& st, int service) {
    return TokenAllocation(st).issue(qint16(service), st.clock().today());
}

// A counter station pressing Next.
inline void pressNext(Station& st, CallingOps& ops, int counter, int service,
                      const QString& display) {
    st.login.counterId = qint16(counter);
    st.login.serviceId = qint16(service);
    st.login.counterName = QStringLiteral("Counter %1").arg(counter);
    st.login.counterDisplayName = display;
    ops.next();
}

} // namespace tv::test
