#pragma once

#include <QString>
#include <QStringList>

namespace tv {

class Station;

// Choosing, by name, the counter the station works for: the supervisor's
// counter chooser and the counter selection of the transfer-only call
// screen. The choice goes into the station's LoginState, so every call screen
// of the station follows it. Database failures reach the caller as DbError.
class CounterChoice final {
public:
    explicit CounterChoice(Station& station) : m_station(station) {}

    static inline const QString invalidCounter = QStringLiteral("Please enter a valid Counter");

    // Every counter's name, active or not (addCntr).
    QStringList addCntr();
    // The active counters' names (addCounter).
    QStringList addCounter();

    struct Adopted {
        bool found = false;
        QString displayName; // lblDr
        QString message;     // set when the counter exists but cannot be held
    };
    // getDetails: the first counter of that exact name becomes the station's
    // counter (key, service, name, display name). Nothing changes when there
    // is none.
    Adopted getDetails(const QString& name);

    // Ok of the counter selection: the first counter of that name gives the
    // station its counter and service keys. Returns the message to show, ""
    // when adopted.
    QString adoptForTransfer(const QString& name);

    // The message for a counter whose keys do not fit what a station holds.
    static QString keyTooLarge(const QString& name, qint64 counter, qint64 service);

private:
    static bool fits(qint64 counter, qint64 service);

    Station& m_station;
};

} // namespace tv
