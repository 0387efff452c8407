#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace tv {

class Station;

namespace web {

// The keys that let another system (an appointment book, a web form) take
// tickets through the web service. A key is shown once, when it is made; the
// database keeps only its digest, so neither a copy of the database nor its
// backups can take a ticket. Raises DbError.
class ApiKeys final {
public:
    explicit ApiKeys(Station& station) : m_station(station) {}

    struct Created {
        QString key;   // "" when refused
        QString error; // why
    };
    // A new key for `name` (1 to 60 printable characters, not in use by an
    // active key).
    Created create(const QString& name);

    struct Entry {
        QString name;
        QDateTime created;
        QDateTime revoked; // invalid while the key works
    };
    QList<Entry> list();

    // Revokes the active key of `name`; false when there is none.
    bool revoke(const QString& name);

    // The name of the active key `key`, nothing for a wrong or revoked one.
    std::optional<QString> verify(const QString& key);

    static bool looksLikeKey(const QString& text);
    static QString digest(const QString& key);

private:
    Station& m_station;
};

} // namespace web
} // namespace tv
