#include "token_allocation.h"

#include "core/connection.h"
#include "core/db_error.h"
#include "core/recordset.h"
#include "core/station.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

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
    // for the same service at the same moment never share a number. The
    // visitor code goes in with it: both or neither are stored.
    bool refused = false;
    for (int attempt = 0;; ++attempt) {
        try {
            Connection::WriteTransaction tx(*c);
            RecordSet row(c, c->dialect().issueTicketStatement(),
                          {service, day, m_station.clock().time()});
            if (row.recordCount() == 0) {
                refused = true;
                break;
            }
            r.outcome = Issued::Outcome::Issued;
            r.tickAuto = row.number(0);
            r.number = static_cast<qint32>(row.number(1));
            r.token = row.text(2);
            if (row.fieldCount() > 3) r.description = row.textOrEmpty(3);
            r.visitorCode = newVisitorCode();
            c->execute(
                QStringLiteral("insert into tv_ticket_code (tickAuto, codeHash) values (?, ?)"),
                {r.tickAuto, visitorCodeDigest(r.visitorCode)});
            tx.commit();
            if (row.fieldCount() > 3) return r;
            break;
        } catch (const DbError& e) {
            // Only a writer that bypassed the numbering step can get here; the
            // number it took is gone, so take the highest number again.
            r = Issued();
            if (!e.isUniqueViolation() || attempt + 1 >= uniqueRetries) throw;
        }
    }
    if (refused) return refusal(service, day);
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

QString TokenAllocation::newVisitorCode() {
    quint32 words[3];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(words), sizeof words)
            .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool TokenAllocation::isVisitorCode(const QString& text) {
    if (text.size() != 16) return false;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                        (u >= '0' && u <= '9') || u == '-' || u == '_';
        if (!ok) return false;
    }
    return true;
}

QString TokenAllocation::visitorCodeDigest(const QString& code) {
    return QString::fromLatin1(
        QCryptographicHash::hash(code.toLatin1(), QCryptographicHash::Sha256).toHex());
}

QString TokenAllocation::statusAddress(const QString& publicAddress, const QString& visitorCode) {
    QString base = publicAddress.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    if (base.isEmpty() || visitorCode.isEmpty()) return {};
    return base + QStringLiteral("/t/") + visitorCode;
}

QString TokenAllocation::getNowServing(qint16 service) {
    RecordSet rs(m_station.dbConnection,
                 QStringLiteral("select top 1 no_abr from tblticket where call='1' and tickDate=? "
                                "and servAuto=? order by tickAuto desc"),
                 {m_station.clock().todayText(), service});
    return rs.recordCount() == 0 ? QString() : rs.textOrEmpty(0);
}

} // namespace tv
