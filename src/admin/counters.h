#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

class Station;

// The counters with their operator logins: the list, one counter's details,
// saving with its checks, removing. Passwords are kept as hashes; a counter's
// remembered logins end when its password changes or it is removed. Database
// failures reach the caller as DbError.
class Counters final {
public:
    explicit Counters(Station& station) : m_station(station) {}

    static inline const QString passwordsDiffer = QStringLiteral("Passwords should be same ");
    static inline const QString noService = QStringLiteral("Select a valid service");
    static inline const QString blankName = QStringLiteral("Counter Name should not be blank");
    static inline const QString blankUser = QStringLiteral("User Name should not be blank");

    // Grid rows (addFG), by counter name: key, running number, department,
    // service, counter name, active. Counters whose service or department is
    // gone are left out.
    QList<QStringList> addFG();

    // Names of the active services (addServ).
    QStringList addServ();

    // A counter as the edit window shows it. Its password is not among it: a
    // stored hash is nothing to show, so the password boxes start empty.
    struct Details {
        bool found = false;
        QString serviceName;
        QString name;
        QString displayName;
        QString user;
        bool active = false;
    };
    Details getData(const QString& ref);

    struct Entry {
        QString serviceName; // cmbServ's text: any service by name, active or not
        QString name;
        QString displayName;
        QString user;
        QString pass;
        QString pass1;
        bool active = false;
    };
    // Save with its checks in order (passwords the same, service, counter
    // name, user name); returns the first failing check's message, "" when
    // saved. An edited counter keeps its password when both boxes are empty;
    // a new counter with both empty gets the empty password. An edited
    // counter that no longer exists is left alone ("").
    QString save(const QString& ref, const Entry& e);

    // Delete of the counter `key` (asked about before): selectEntry without a
    // key, cannotDelete while any ticket of any day was attended by it, else
    // "" (removed, or already gone).
    QString remove(const QString& key);

private:
    Station& m_station;
};

} // namespace tv
