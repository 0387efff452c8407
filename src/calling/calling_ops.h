#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTime>

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

    // Screen state.
    QString lblNo;                           // current ticket key, "" when none
    QString lblToken;                        // current token
    QString label1 = QStringLiteral("Idle"); // "Idle" or "Calling"
    QString lblLast;                         // "Last Served : ..."
    QString lblTotal;                        // "Total Pending : ..."
    int chkboth = 0;                         // the "both" option as the screen shows it

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
    // "Lab Report" on its second line.
    void callRC(bool labReport = false);
    void callRC1() { callRC(true); }
    // Recall: the current ticket's call record becomes unshown again.
    void recall();
    void updateRc();
    void cancel();
    void getLast();
    void getPending();

    // Transfer. Returns the message to show: "Select a token first", "Updated",
    // or "" when nothing happens (own counter, unknown counter, no such ticket).
    QString transfer(const QString& tokenText, const QString& tokenKey,
                     const QString& targetCounter, const QString& note);
    // Today's tickets of the service, every state, as (token, key).
    QList<QPair<QString, QString>> addTokens();
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
    QString today() const;

    Station& m_station;
};

} // namespace tv
