#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace tv {

class Station;

// The hall's video list (tblVideo): the files the board's video area plays
// in turn, each with a description and an active flag. Keys are used in full.
class VideoListOps final {
public:
    explicit VideoListOps(Station& station) : m_station(station) {}

    struct Entry {
        qint64 vidAuto = 0;
        QString file;
        QString description;
        bool active = true;
    };

    // Every entry, in the order the database returns them. Raises DbError.
    QList<Entry> entries();
    // The entry with this key; nothing when another station removed it.
    std::optional<Entry> load(qint64 vidAuto);
    // Adds (key 0) or changes an entry; returns the message to show ("" when
    // saved): "Please select a video" without a file. A change of an entry
    // removed meanwhile stores nothing. Raises DbError.
    QString save(const Entry& entry);
    // Deletes the entry; another station's removal before is no error.
    void remove(qint64 vidAuto);

private:
    Station& m_station;
};

} // namespace tv
