#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

class Station;

// The departments that group the services: the list, one department's
// details, saving and removing. Database failures reach the caller as DbError.
class Departments final {
public:
    explicit Departments(Station& station) : m_station(station) {}

    static inline const QString blankName = QStringLiteral("Department name should not be blank");

    // Grid rows (addFG): key, running number, deptName, active; in the order
    // the database gives them.
    QList<QStringList> addFG();

    struct Details {
        bool found = false;
        QString name;
        QString desc;
        bool active = false;
    };
    // getData of the department `ref` (the edit window's lblRef).
    Details getData(const QString& ref);

    // Save: updateData of the department `ref`, or saveData of a new one when
    // `ref` is "". Returns the message to show, "" when saved (an edited
    // department that no longer exists is left alone, also "").
    QString save(const QString& ref, const QString& name, const QString& desc, bool active);

    // Delete of the department `key` (grid column 0): selectEntry without a
    // key, cannotDelete while a service belongs to it, else "" (removed, or
    // already gone).
    QString remove(const QString& key);

private:
    Station& m_station;
};

} // namespace tv
