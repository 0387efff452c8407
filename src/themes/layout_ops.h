#pragma once

#include "c_rect.h"
#include "core/recordset.h"

#include <QSize>
#include <QStringList>
#include <array>

namespace tv {

class Station;

// The areas of a theme's board as the layout designer places them, in twips
// of the designer's window, which stands for the hall screen at half size.
// They are kept in the theme's tblpos row at positions 2 to 29, four each
// (left, top, width, height), in this order.
namespace layout {

enum Area { Logo, Time, Table, Video, Form, Title, News };
inline constexpr int areaCount = 7;

struct AreaInfo {
    const char* element; // the designer's element ("" for the window itself)
    const char* caption;
    const char* prefix; // tblpos column prefix
};
const AreaInfo& info(int area);

using Boxes = std::array<QRect, areaCount>;

// Where the areas sit before a theme has its own: a title band on top with
// the logo to its left, the list on the left, the clock and the video on the
// right, the news band at the foot. `client` is the designer's client area.
Boxes defaultLayout(const QSize& client);

// The theme's areas as a tblpos row, as the board reads it (a preview).
RecordSet posRecord(int theme, const Boxes& boxes);

} // namespace layout

class LayoutOps final {
public:
    explicit LayoutOps(Station& station) : m_station(station) {}

    // getData: the stored areas of `theme` over `boxes`; a value that cannot
    // be read (NULL, not a number, far off any screen) keeps what `boxes`
    // held and its column is named in *skipped. False when the theme has no
    // position row.
    bool getData(qint64 theme, layout::Boxes& boxes, QStringList* skipped = nullptr);
    // saveData: positions 2 to 29 of the theme's row, added with the theme
    // number when there is none.
    void saveData(qint64 theme, const layout::Boxes& boxes);

private:
    Station& m_station;
};

} // namespace tv
