#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

class Station;

// The services of the departments with their token numbering: the list, one
// service's details, saving with its checks, removing. Database failures reach
// the caller as DbError.
class Services final {
public:
    explicit Services(Station& station) : m_station(station) {}

    static inline const QString prefixIsNumber =
        QStringLiteral("Cannot Save. Prefix Should not be Number");
    static inline const QString badStart =
        QStringLiteral("Cannot Save. Enter a valid Starting number");
    static inline const QString badEnd = QStringLiteral("Cannot Save. Enter a valid Ending number");
    static inline const QString startRange =
        QStringLiteral("Cannot Save. The starting number must be a whole number from 0 to 32767");
    static inline const QString endRange =
        QStringLiteral("Cannot Save. The ending number must be a whole number from 0 to 32767");
    static inline const QString startNotBelowEnd =
        QStringLiteral("Please Check Starting and Ending Number");
    static inline const QString noDepartment = QStringLiteral("Select a department name");
    static inline const QString blankName = QStringLiteral("Service name should not be blank");

    // Grid rows (addFG): key, running number, department, service name,
    // start, end, prefix, active. Services whose department is gone are left out.
    QList<QStringList> addFG();

    // Names of the active departments (addDept), in the order the database gives them.
    QStringList addDept();

    struct Details {
        bool found = false;
        QString deptName;
        QString name;
        QString desc;
        bool active = false;
        QString startNo;
        QString endNo;
        QString prefix;
    };
    Details getData(const QString& ref);

    // What the edit window's boxes hold.
    struct Entry {
        QString deptName; // cmbDept's text: any department by name, active or not
        QString name;
        QString desc;
        bool active = false;
        QString startNo = QStringLiteral("0");
        QString endNo = QStringLiteral("0");
        QString prefix;
    };
    // Save with its checks in order (prefix, start, end, start below end,
    // department, name); returns the first failing check's message, "" when
    // saved. An edited service that no longer exists is left alone ("").
    QString save(const QString& ref, const Entry& e);

    // The prefix box once left: emptied when it holds any of - # . _ * ,
    static QString cleanPrefix(const QString& prefix);

    // Delete of the service `key` (asked about before): selectEntry without a
    // key, cannotDelete while any ticket of any day belongs to it, else ""
    // (removed, or already gone).
    QString remove(const QString& key);

private:
    Station& m_station;
};

} // namespace tv
