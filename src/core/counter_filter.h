#pragma once

#include <QString>

namespace tv {

class Station;

// Which counters' calls a display board shows: chosen per theme in the counter
// chooser and kept in the station's settings as counter keys ("3,7"); turned
// into the board's counter condition before the board starts.
namespace counter_filter {

// "and 1=1" for no choice, else "and(servAuto=3 or servAuto=7)".
QString build(const QString& stored);

// Login: the theme is first taken again from the settings ("HR1" when unset),
// then the filter is built for it.
void getList1Login(Station& station);
// Start Display: the filter of the station's current theme.
void getList1Main(Station& station);

} // namespace counter_filter
} // namespace tv
