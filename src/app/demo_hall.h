#pragma once

#include <QString>
#include <QStringList>

namespace tv {

class Station;

// A small hall to try the program with: two departments, four services,
// six counters with operator logins, an administrator, the company, a theme
// with its layout and a few ticker messages; plus the settings of the demo's
// station profiles ("display", "counter1", "counter2") so they log in by
// themselves. Returns the lines to print (who logs in with what), or raises
// DbError.
QStringList fillDemoHall(Station& station);

} // namespace tv
