#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tv {

class Station;

// Waiting and service times of a range of days, the figures managers ask for
// first: per hour of the day, per service and per counter, as medians and
// 90th percentiles rather than a mean that one forgotten ticket spoils.
//
// A ticket's waiting time runs from its issue to its call, its service time
// from its call to its finish (cancelled tickets have none). Hours: a ticket
// counts as issued, waiting and pending in the hour it was issued, as called
// and served in the hour it was called.
class StatisticsOps final {
public:
    enum class Scope { Department, Service, Counter };

    explicit StatisticsOps(Station& station) : m_station(station) {}

    // Names the filter offers for a scope (the screen adds "All").
    QStringList names(Scope scope);

    struct Figures {
        int issued = 0;
        int called = 0;
        int pending = 0;
        // Minutes; nothing without a ticket to measure.
        std::optional<double> waitMedian;
        std::optional<double> waitP90;
        std::optional<double> serviceMedian;
        std::optional<double> serviceP90;
    };
    struct Group {
        QString name; // "09:00-10:00", a service or a counter name
        Figures figures;
    };
    struct Result {
        QList<Group> byHour; // only the hours that saw a ticket, in order
        QList<Group> byService;
        QList<Group> byCounter;
        Figures total;
    };

    // The tickets of the days from `from` to `to` (both included) of the
    // department, service or counter `name` ("All": every one). Raises DbError.
    Result compute(Scope scope, const QString& name, const QDate& from, const QDate& to);

    // The p-th percentile (0..1) of `values`, interpolated between the two
    // nearest ranks; the median is p = 0.5. Sorts `values`.
    static std::optional<double> percentile(QList<double>& values, double p);

private:
    Station& m_station;
};

} // namespace tv
