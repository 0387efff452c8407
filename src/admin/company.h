#pragma once

#include <QString>

namespace tv {

class Station;

// The company row every ticket is headed with: always the row with key 1.
class Company final {
public:
    explicit Company(Station& station) : m_station(station) {}

    static inline const QString blankName = QStringLiteral("Company Name should not be blank");

    struct Details {
        bool found = false;
        QString name;
        QString address;
    };
    Details load();

    // Stores name and address in row 1, adding that very row when it is
    // missing. Returns the message to show, "" when saved.
    QString save(const QString& name, const QString& address);

private:
    Station& m_station;
};

} // namespace tv
