#include "counter_filter.h"

#include "db_error.h"
#include "lookups.h"
#include "station.h"

namespace tv::counter_filter {

QString build(const QString& stored) {
    if (stored.isEmpty()) return QStringLiteral("and 1=1");
    QString items;
    for (const QString& item : stored.split(u','))
        items += QStringLiteral(" or servAuto=") + item;
    if (items.startsWith(QStringLiteral(" or "))) items.remove(0, 4);
    return QStringLiteral("and(") + items + u')';
}

void getList1Main(Station& station) {
    station.callFilter = build(station.settings().counterList(station.themeNo));
}

void getList1Login(Station& station) {
    try {
        station.themeNo = lookups::getThemeId(station, station.settings().text(keys::ThemeName));
    } catch (const DbError&) {
        station.themeNo = 0;
    }
    getList1Main(station);
}

} // namespace tv::counter_filter
