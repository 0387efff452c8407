#include "token_allocation.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "core/station.h"

namespace tv {

namespace {

constexpr qint32 highestNumber = 32767; // numbers are 16-bit on every station
constexpr int uniqueRetries = 3;

// The next number from the day's highest one, or the service's start number.
// `startno` is read only when the day has no ticket of the service yet.
qint32 nextNumber(const std::shared_ptr<Connection>& c, qint16 service, const QString& day,
                  const QVariant& startno, bool* startnoMissing) {
    RecordSet top(c, QStringLiteral("select max(tickno) from tblticket where servauto=? and tickdate=?"),
                  {service, day});
    if (top.recordCount() > 0 && top.actualSize(0) != 0) return static_cast<qint32>(top.number(0) + 1);
    if (startno.isNull()) {
        *startnoMissing = true;
        return 0;
    }
    return startno.toInt();
}

bool isUniqueViolation(const DbError& e) {
    const QString t = e.description();
    return t.contains(QStringLiteral("UNIQUE constraint failed"), Qt::CaseInsensitive) ||
           t.contains(QStringLiteral("duplicate key"), Qt::CaseInsensitive);
}

} // namespace

qint32 TokenAllocation::getToken(qint16 service, const QString& issueDay) {
    auto c = m_station.dbConnection;
    RecordSet svc(c, QStringLiteral("Select startno from tblService where servauto=?"), {service});
    bool missing = false;
    const qint32 n =
        nextNumber(c, service, issueDay, svc.recordCount() > 0 ? svc.value(0) : QVariant(0), &missing);
    return missing ? 0 : n;
}

TokenAllocation::Issued TokenAllocation::issue(qint16 service, const QDate& issueDay) {
    Issued r;
    auto c = m_station.dbConnection;
    if (!c) throw DbError(QStringLiteral("There is no database connection"));
    const QString day = issueDay.toString(QStringLiteral("yyyy-MM-dd"));

    RecordSet svc(c, QStringLiteral("select endno,abrno,servdesc,startno from tblService where servAuto=?"),
                  {service});
    if (svc.recordCount() == 0) {
        r.message = QStringLiteral("This service no longer exists. Please choose again.");
        return r;
    }
    if (svc.isNull(0)) {
        r.message = QStringLiteral("This service has no end number. Please ask the administrator to set one.");
        return r;
    }
    const qint64 endno = svc.number(0);
    const QString prefix = svc.isNull(1) ? QString() : svc.text(1);
    r.description = svc.isNull(2) ? QString() : svc.text(2);
    const QVariant startno = svc.value(3);

    for (int attempt = 0;; ++attempt) {
        try {
            Connection::WriteTransaction tx(*c);
            if (const QString lock = c->dialect().advisoryLock(); !lock.isEmpty())
                c->execute(lock, {int(LockKind::TicketNumbers), int(service)});
            bool startnoMissing = false;
            const qint32 number = nextNumber(c, service, day, startno, &startnoMissing);
            if (startnoMissing) {
                r.message = QStringLiteral("This service has no start number. Please ask the administrator to set one.");
                return r;
            }
            if (endno < number) {
                r.outcome = Issued::Outcome::Limit;
                r.number = number;
                r.message = QStringLiteral("Limit");
                return r;
            }
            if (number > highestNumber) {
                r.message = QStringLiteral("No more ticket numbers for this service today.");
                return r;
            }
            RecordSet row(c,
                          QStringLiteral("insert into tblTicket (servAuto, tickNo, tickDate, tickTime, call, no_abr, attended)"
                                         " values (?, ?, ?, ?, 0, ?, 0) returning tickAuto"),
                          {service, number, day, m_station.clock().time(), tokenText(prefix, number)});
            tx.commit();
            r.outcome = Issued::Outcome::Issued;
            r.number = number;
            r.token = tokenText(prefix, number);
            r.tickAuto = row.recordCount() > 0 ? row.number(0) : 0;
            r.message.clear();
            return r;
        } catch (const DbError& e) {
            // Only a writer that bypassed the numbering lock can get here; the
            // number it took is gone, so read the highest number again.
            if (!isUniqueViolation(e) || attempt + 1 >= uniqueRetries) throw;
        }
    }
}

QString TokenAllocation::getNowServing(qint16 service) {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select top 1 no_abr from tblticket where call='1' and tickDate=? and servAuto=? order by tickAuto desc"),
                 {m_station.clock().todayText(), service});
    return rs.recordCount() == 0 || rs.isNull(0) ? QString() : rs.text(0);
}

} // namespace tv
