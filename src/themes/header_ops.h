#pragma once

#include <QStringList>

namespace tv {

class Station;

// A theme's own header captions (its tblheader row): caption 1 to 6 of the
// list's columns. On the board they take the place of Column1 and Column2.
class HeaderOps final {
public:
    static constexpr int captionCount = 6;

    explicit HeaderOps(Station& station) : m_station(station) {}

    // The captions of `theme` (six, "" where empty); false when it has no row.
    bool getData(qint64 theme, QStringList& captions);
    // Writes the first `columns` captions into the theme's row, added with
    // the theme number when there is none; the others keep what they hold.
    void saveData(qint64 theme, const QStringList& captions, int columns);

private:
    Station& m_station;
};

} // namespace tv
