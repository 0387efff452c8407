#pragma once

#include <QList>
#include <QString>

namespace tv {

class Station;

// The administrators' accounts: listed, added (names in upper case, the
// password as a hash) and removed, never down to none. Database failures
// reach the caller as DbError.
class Users final {
public:
    explicit Users(Station& station) : m_station(station) {}

    static inline const QString missingDetails =
        QStringLiteral("Enter all Details                ");
    static inline const QString existingUser = QStringLiteral("Existing User, select another Name");
    static inline const QString removeQuestion =
        QStringLiteral("Do you want to Remove the Selected User");

    struct User {
        qint64 userAuto = 0;
        QString username;
    };
    // getusers: every user in the order the database gives them.
    QList<User> getusers();

    // Add: the checks (all details, a name not taken whatever its letter case)
    // then addUser. Returns the message to show, "" when added.
    QString add(const QString& name, const QString& password, const QString& userType);

    // Removes the user `userAuto` unless it is the last one left in the table
    // (whatever another station did meanwhile). True when a row was removed;
    // false when it was the last user or is gone already.
    bool remove(qint64 userAuto);

private:
    Station& m_station;
};

} // namespace tv
