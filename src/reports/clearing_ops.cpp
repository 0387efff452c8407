#include "clearing_ops.h"

#include "core/connection.h"
#include "core/station.h"

namespace tv {

int ClearingOps::deleteTickets(const QList<qint64>& tickAutos) {
    Connection& c = *m_station.dbConnection;
    Connection::WriteTransaction tx(c);
    int deleted = 0;
    for (qint64 key : tickAutos) {
        deleted += c.execute(QStringLiteral("delete from tblTicket where tickAuto=?"), {key});
        // A visitor's status link dies with its ticket.
        c.execute(QStringLiteral("delete from tv_ticket_code where tickAuto=?"), {key});
    }
    tx.commit();
    return deleted;
}

int ClearingOps::deleteCallsBefore(const QDate& day) {
    return m_station.dbConnection->execute(QStringLiteral("delete from tblCall where tickDate < ?"),
                                           {day.toString(QStringLiteral("yyyy-MM-dd"))});
}

} // namespace tv
