#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tv {

class Station;

// The per-day start numbers kept for each service (a record of the hall's
// plans; ticket numbering itself starts from the service's own start number).
class ServiceNumbers final {
public:
    explicit ServiceNumbers(Station& station) : m_station(station) {}

    struct Entry {
        QString snoAuto;
        QString servName;
        QString sdate; // as stored: "yyyy-MM-dd HH:mm:ss"
        QString sno;
        QString active;
    };
    // The entries of one day, in the order the database returns them.
    QList<Entry> entriesOf(const QDate& day);

    // Names of the active services, for the service list.
    QStringList activeServices();

    struct Loaded {
        bool found = false;
        QString servName;
        QDate date;
        QString sno;
        bool active = false;
    };
    Loaded load(int snoAuto);

    // Adds an entry (ref "") or changes the entry `ref`. Returns the message to
    // show ("" when saved): "Please select a service ", "Contains same date
    // entry", or startNoRange for a start number that is not a whole number
    // from 0 to 32767.
    QString save(const QString& ref, const QString& servName, const QDate& date,
                 const QString& startNo, bool active);

    // What a start-number box holds once left: a number, or "0".
    static QString numericOrZero(const QString& text);
    // The start number a text holds, when it is a whole number from 0 to 32767.
    static std::optional<int> startNumber(const QString& text);
    static inline const QString startNoRange =
        QStringLiteral("Start No must be a whole number from 0 to 32767");

private:
    Station& m_station;
};

} // namespace tv
