#pragma once

#include <QDate>
#include <QList>

namespace tv {

class Station;

// Removing old operational data: chosen ticket rows, and the call records of
// the days before a given day.
class ClearingOps final {
public:
    explicit ClearingOps(Station& station) : m_station(station) {}

    // Deletes the tickets with these keys in one transaction: all of them or,
    // when the database fails, none. Returns how many rows went (a ticket
    // another station removed meanwhile is simply not there). Raises DbError.
    int deleteTickets(const QList<qint64>& tickAutos);

    // Deletes every call record of a day before `day`; that day and later
    // stay. Returns how many went. Raises DbError.
    int deleteCallsBefore(const QDate& day);

private:
    Station& m_station;
};

} // namespace tv
