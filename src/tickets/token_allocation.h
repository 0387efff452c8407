#pragma once

#include <QDate>
#include <QString>

namespace tv {

class Station;

// Numbers tickets per service and day and stores the ticket rows the counters
// call. The first ticket of a day carries the service's start number, every
// later one the day's highest number plus 1; numbers that were skipped or
// deleted are never reused.
class TokenAllocation final {
public:
    explicit TokenAllocation(Station& station) : m_station(station) {}

    // The number the next ticket of the service would get on `issueDay`
    // ("yyyy-MM-dd"); 0 when the service does not exist. Raises DbError.
    qint32 getToken(qint16 service, const QString& issueDay);

    struct Issued {
        enum class Outcome { Issued, Limit, Refused };
        Outcome outcome = Outcome::Refused;
        qint32 number = 0;
        QString token;       // prefix followed by the number
        QString description; // the service's text printed under "Now Serving"
        qint64 tickAuto = 0;
        QString message; // "Limit" or why no ticket was issued
    };

    // Issues one ticket of `service` for `issueDay`: takes the number and stores
    // the row in one write transaction, so kiosks issuing for the same service
    // at the same moment never share a number. Printing follows the stored row.
    // Raises DbError when the database fails.
    Issued issue(qint16 service, const QDate& issueDay);

    // The token of the service's latest-issued ticket that has been called
    // today, "" when none.
    QString getNowServing(qint16 service);

    // The token text: prefix followed by the number without leading zeros.
    static QString tokenText(const QString& prefix, qint32 number) {
        return prefix + QString::number(number);
    }

private:
    // Why the numbering step stored no ticket.
    Issued refusal(qint16 service, const QString& day);

    Station& m_station;
};

} // namespace tv
