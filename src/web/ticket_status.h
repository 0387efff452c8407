#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace tv {

class Station;

namespace web {

// Where a ticket stands, as its visitor sees it.
enum class Stage { Waiting, Called, Finished, Cancelled, Transferred };
QString stageName(Stage s); // "waiting", "called", ... (for the pages and the API)

// How long the tickets ahead will take: tickets ahead × the median service
// time of the service today (its last 20 finished tickets), shared by the
// counters of the service that called a ticket in the last 30 minutes.
// Unknown ("estimating") until there is a finished ticket and a counter at work.
struct WaitEstimate {
    bool known = false;
    int minutes = 0;
    int medianSeconds = 0;
    int activeCounters = 0;

    bool operator==(const WaitEstimate&) const = default;
};

// What a service's queue looks like right now; computed once and shared by
// every ticket of the service that is looked at in the same moment.
struct ServiceFacts {
    QString name;
    QString nowServing;    // token of the latest-issued ticket called today
    int medianSeconds = 0; // 0: no finished ticket today
    int activeCounters = 0;
    int waiting = 0; // tickets of today not called yet
};

// A visitor's ticket. Holds only this ticket's own facts and counts of the
// others: never another ticket's token or anyone's name.
struct TicketStatus {
    bool found = false;
    qint64 tickAuto = 0;
    qint16 serviceId = 0;
    QString day; // yyyy-MM-dd
    QString token;
    QString serviceName;
    Stage stage = Stage::Waiting;
    int ahead = 0;      // tickets of the service before this one still waiting
    QString nowServing; // see ServiceFacts
    WaitEstimate wait;  // only for a ticket of today still waiting
    QString counter;    // the counter's display name: called, finished, or transferred to

    bool operator==(const TicketStatus&) const = default;
};

// The estimate for `ahead` tickets from a service's facts.
WaitEstimate estimateWait(int ahead, int medianSeconds, int activeCounters);
// The median of durations in seconds (0 for none).
int medianOf(QList<int> seconds);

// Reads ticket states for the status pages and the API on the station's
// connection, with "today" and "now" from the station's clock. Raises DbError.
class TicketStatusOps final {
public:
    explicit TicketStatusOps(Station& station) : m_station(station) {}

    // The ticket a visitor code stands for; nothing for a code that is not
    // one (the same answer for a malformed code and one never issued).
    std::optional<qint64> ticketOfCode(const QString& code);

    // Facts of service `service` for day `day` (see ServiceFacts).
    ServiceFacts factsOf(qint16 service, const QString& day);

    // The status of ticket `tickAuto`.
    TicketStatus statusOf(qint64 tickAuto);
    // The statuses of many tickets at once (one call wakes the pages of a
    // whole service): a few statements for all of them, not a few for each.
    // A ticket that is gone is missing from the answer.
    QHash<qint64, TicketStatus> statusesOf(const QList<qint64>& tickAutos);

    // Active services with their queues, for the API.
    struct ServiceLine {
        qint16 id = 0;
        QString name;
        QString prefix;
        ServiceFacts facts;
        WaitEstimate wait; // for a ticket taken now
    };
    QList<ServiceLine> activeServices();

    // The service a counter serves (0 when unknown).
    qint16 serviceOfCounter(qint64 counterKey);

private:
    Station& m_station;
};

} // namespace web
} // namespace tv
