#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tv {

class Station;

// The ticket reports: the tickets of a range of days, one row per ticket, with
// department, service, token, day, serving counter, when it was attended and
// finished and how many minutes that took. The four reports differ in their
// filter (department, service or counter name, or "All"), in whether a ticket
// needs a counter row, and in which tickets they take.
class ReportOps final {
public:
    enum class Kind { Department, Service, Counter, Pending };

    ReportOps(Station& station, Kind kind) : m_station(station), m_kind(kind) {}

    Kind kind() const { return m_kind; }

    // The names the filter list offers, as the database returns them ("All"
    // is added by the screen). Raises DbError.
    QStringList filterNames();

    // One report row: the ticket key, then the eight shown values (department,
    // service, token, day, counter user name, attended, finished, minutes);
    // NULL values are "".
    struct Row {
        qint64 tickAuto = 0;
        QStringList cells;
    };

    // The report's tickets; both ends of the range count. `filter` "All"
    // takes every name. Without `showAll` only called tickets are listed (the
    // pending report always lists the waiting ones). Raises DbError.
    QList<Row> rows(const QString& filter, const QDate& from, const QDate& to, bool showAll);

    // The mean of the "Duration" texts, an empty or unreadable one counting 0
    // minutes; nothing when there are no rows.
    static std::optional<double> average(const QStringList& durations);
    // "Average Time : " and the mean in the general number format (up to 15
    // significant digits, no trailing zeros); nothing after the colon when
    // there is no mean.
    static QString averageText(std::optional<double> mean);

private:
    Station& m_station;
    Kind m_kind;
};

} // namespace tv
