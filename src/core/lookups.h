#pragma once

#include <QString>

namespace tv {

class Station;

// Small lookups every screen uses: one query each on the station's shared
// connection, reading field 0 of the first row. A key lookup that finds nothing
// gives 0, a name lookup "". Database errors (and a key that is NULL or does not
// fit 16 bits) reach the caller as DbError.
namespace lookups {

qint16 getDeptId(Station& st, const QString& deptName);
QString getDeptName(Station& st, int deptAuto);
// Also sets the station's current counter display name ("" when not found).
QString getCounterName(Station& st, int cntAuto);
qint16 getCounterId(Station& st, const QString& contName);
qint16 getServiceId(Station& st, const QString& servName);
QString getServiceName(Station& st, int servAuto);
QString getTokenText(Station& st, qint32 tickAuto);
qint16 getThemeId(Station& st, const QString& themeName);
// True while at least one row of `table` has `column` = number. Table and column
// must be ones of our schema.
bool recordExists(Station& st, const QString& table, const QString& column, qint32 number);

} // namespace lookups
} // namespace tv
