#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

namespace tv {

class Station;

// What a counter does with tickets: call the next waiting one, call a chosen
// one again, recall, cancel, transfer, and finish the current one. Every call
// adds a call record, the message the display boards follow. The state the call
// screen shows lives here, so the logic is tested without a screen. Database
// failures reach the caller as DbError.
class CallingOps final {
public:
    explicit CallingOps(Station& station) : m_station(station) {}

    enum class State { Idle, Calling };

    // Screen state, typed; the call screen shows it as its labels' texts.
    // The current ticket's key (lblNo), 0 when there is none.
    qint64 lblNo() const { return m_ticket; }
    void setLblNo(qint64 tickAuto) { m_ticket = tickAuto; }
    // The current token (lblToken).
    const QString& lblToken() const { return m_token; }
    // "Idle" or "Calling" (Label1).
    State label1() const { return m_state; }
    // The counter's last served token today (lblLast); nothing when there is none.
    const std::optional<QString>& lblLast() const { return m_lastServed; }
    // Tickets of the service waiting today (lblTotal); nothing known yet
    // before the first count.
    std::optional<int> lblTotal() const { return m_pending; }
    int chkboth = 0; // the "both" option as the screen shows it
    // getLast also empties the current token when the counter has served
    // nobody today (the supervisor's screen).
    bool forgetTokenWithoutLast = false;

    // Next: finishes the current ticket, makes the last served one current,
    // then calls the oldest waiting ticket of the service.
    void next();
    void setFinish();
    // Takes the oldest waiting ticket of today. Two counters pressing Next at
    // the same moment never take the same ticket: the ticket is claimed only
    // while it is still waiting, else the next waiting one is tried.
    void callNext();
    // Calls ticket `tickAuto` of today again, whatever its state; mode
    // "Report" makes it a lab-report recall.
    void callThis(qint32 tickAuto, const QString& mode);
    // Adds the call record of the current ticket; `labReport` puts
    // "Lab Report" on its second line. Only when the database refuses a second
    // record for the ticket (a unique key) is its existing record shown again
    // instead; any other failure reaches the caller.
    void callRC(bool labReport = false);
    void callRC1() { callRC(true); }
    // Recall: the current ticket's call record becomes unshown again.
    void recall();
    void updateRc();
    void cancel();
    void getLast();
    void getPending();

    // Transfer of ticket `tokenKey` (0: no entry of the list chosen). Returns
    // the message to show: "Select a token first", "Updated", or "" when
    // nothing happens (own counter, unknown counter, no such ticket).
    QString transfer(const QString& tokenText, qint64 tokenKey, const QString& targetCounter,
                     const QString& note);
    // Today's tickets of the service, every state, as (token, key).
    QList<QPair<QString, qint64>> addTokens();
    // Active counters' names, as the database returns them.
    QStringList addcount();
    // "Service Name  : ..." for a counter name.
    QString serviceLine(const QString& counterName);

    // The four lists: rows of six columns (key, SN, and the list's columns).
    QList<QStringList> attended();
    QList<QStringList> cancelled();
    QList<QStringList> transferred();
    QList<QStringList> pending();

    // Minutes between two times of day, as whole minute boundaries crossed.
    static int minutesBetween(const QTime& from, const QTime& to);

private:
    // Marks the ticket called by this counter, whatever its state.
    void claim(qint64 tickAuto);
    // Writes the call record of ticket `tickAuto`; runs inside the caller's
    // write transaction.
    void addCallRecord(qint64 tickAuto, const QString& token, bool labReport);
    void becameCurrent(qint64 tickAuto, const QString& token);
    QString today() const;

    Station& m_station;
    qint64 m_ticket = 0;
    QString m_token;
    State m_state = State::Idle;
    std::optional<QString> m_lastServed;
    std::optional<int> m_pending;
};

} // namespace tv
