#include "token_allocation.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "core/station.h"

namespace tv {

namespace {

constexpr int uniqueRetries = 3;

// The next number from the day's highest one, or the service's start number.
// `startno` is read only when the day has no ticket of the service yet.
qint64 nextNumber(const std::shared_ptr<Connection>& c, qint16 service, const QString& day,
                  const QVariant& startno, bool* startnoMissing) {
    RecordSet top(
        c, QStringLiteral("select max(tickno) from tblticket where servauto=? and tickdate=?"),
        {service, day});
    if (top.recordCount() > 0 && top.actualSize(0) != 0) return top.number(0) + 1;
    if (startno.isNull()) {
        *startnoMissing = true;
        return 0;
    }
    return startno.toInt();
}

} // namespace

qint32 TokenAllocation::getToken(qint16 service, const QString& issueDay) {
    auto c = m_station.dbConnection;
    RecordSet svc(c, QStringLiteral("Select startno from tblService where servauto=?"), {service});
    bool missing = false;
    const qint64 n = nextNumber(c, service, issueDay,
                                svc.recordCount() > 0 ? svc.value(0) : QVariant(0), &missing);
    return missing ? 0 : static_cast<qint32>(n);
}

TokenAllocation::Issued TokenAllocation::issue(qint16 service, const QDate& issueDay) {
    Issued r;
    auto c = m_station.dbConnection;
    if (!c) throw DbError(QStringLiteral("There is no database connection"));
    const QString day = issueDay.toString(QStringLiteral("yyyy-MM-dd"));

    // Reading the highest number and storing the next one is one atomic step
    // in the database (see Dialect::issueTicketStatement), so kiosks issuing
    // for the same service at the same moment never share a number.
    for (int attempt = 0;; ++attempt) {
        try {
            RecordSet row(c, c->dialect().issueTicketStatement(),
                          {service, day, m_station.clock().time()});
            if (row.recordCount() == 0) return refusal(service, day);
            r.outcome = Issued::Outcome::Issued;
            r.tickAuto = row.number(0);
            r.number = static_cast<qint32>(row.number(1));
            r.token = row.text(2);
            if (row.fieldCount() > 3) {
                r.description = row.textOrEmpty(3);
                return r;
            }
            break;
        } catch (const DbError& e) {
            // Only a writer that bypassed the numbering step can get here; the
            // number it took is gone, so take the highest number again.
            if (!e.isUniqueViolation() || attempt + 1 >= uniqueRetries) throw;
        }
    }
    RecordSet svc(c, QStringLiteral("select servdesc from tblService where servAuto=?"), {service});
    r.description = svc.recordCount() == 0 ? QString() : svc.textOrEmpty(0);
    return r;
}

TokenAllocation::Issued TokenAllocation::refusal(qint16 service, const QString& day) {
    Issued r;
    auto c = m_station.dbConnection;
    RecordSet svc(c, QStringLiteral("select endno, startno from tblService where servAuto=?"),
                  {service});
    if (svc.recordCount() == 0) {
        r.message = QStringLiteral("This service no longer exists. Please choose again.");
        return r;
    }
    if (svc.isNull(0)) {
        r.message = QStringLiteral(
            "This service has no end number. Please ask the administrator to set one.");
        return r;
    }
    bool startnoMissing = false;
    const qint64 number = nextNumber(c, service, day, svc.value(1), &startnoMissing);
    if (startnoMissing) {
        r.message = QStringLiteral(
            "This service has no start number. Please ask the administrator to set one.");
    } else if (svc.number(0) < number) {
        r.outcome = Issued::Outcome::Limit;
        r.number = static_cast<qint32>(number);
        r.message = QStringLiteral("Limit");
    } else {
        r.message = QStringLiteral("No more ticket numbers for this service today.");
    }
    return r;
}

QString TokenAllocation::getNowServing(qint16 service) {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select top 1 no_abr from tblticket where call='1' and tickDate=? "
                                "and servAuto=? order by tickAuto desc"),
                 {m_station.clock().todayText(), service});
    return rs.recordCount() == 0 ? QString() : rs.textOrEmpty(0);
}

} // namespace tv
