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
        // The visitor's code for following the ticket on a phone; stored only
        // as its digest, so this is the one moment it can be printed or handed out.
        QString visitorCode;
    };

    // Issues one ticket of `service` for `issueDay`: takes the number and stores
    // the row in one write transaction, so kiosks issuing for the same service
    // at the same moment never share a number. The ticket's visitor code is
    // stored in the same transaction: no ticket exists without one. Printing
    // follows the stored row.
    // Raises DbError when the database fails.
    Issued issue(qint16 service, const QDate& issueDay);

    // The token of the service's latest-issued ticket that has been called
    // today, "" when none.
    QString getNowServing(qint16 service);

    // The token text: prefix followed by the number without leading zeros.
    static QString tokenText(const QString& prefix, qint32 number) {
        return prefix + QString::number(number);
    }

    // A new visitor code: 96 random bits as 16 URL-safe characters. It says
    // nothing about the ticket, its service or its number.
    static QString newVisitorCode();
    // Whether `text` has the shape of a visitor code (checked before any lookup).
    static bool isVisitorCode(const QString& text);
    // What the database keeps of a code (hex SHA-256). The code is random, so
    // a fast digest is enough, and a lookup by digest compares nothing of the
    // code itself: how long a miss takes tells nothing about how near it was.
    static QString visitorCodeDigest(const QString& code);
    // The address of a ticket's status page: the hall's public address (with
    // or without a trailing "/") + "/t/" + the code; "" without either.
    static QString statusAddress(const QString& publicAddress, const QString& visitorCode);

private:
    // Why the numbering step stored no ticket.
    Issued refusal(qint16 service, const QString& day);

    Station& m_station;
};

} // namespace tv
