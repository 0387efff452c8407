#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tv {

class RecordSet;

// What the master-data screens share: how a key held as text (a grid cell,
// `lblRef`) becomes a number, what counts as a number in a box, and the
// messages of every list.
namespace master {

inline const QString selectEntry = QStringLiteral("Please select an entry");
inline const QString cannotDelete = QStringLiteral("Cannot delete ");
inline const QString deleteQuestion = QStringLiteral("Do you want to delete ");

// The highest key a station holds in its 16-bit fields (a service's
// department, a counter's service, the counter a station works for).
inline constexpr qint64 maxStationKey = 32767;

// The row key a text names: decimal digits only, up to the largest key a
// table column holds (32 bits). Nothing for "", junk, a negative or a larger
// number, so a key is never cut down to another row's.
std::optional<qint64> keyOf(const QString& text);

// Whether a box holds a number as the checks read one: blanks around it
// allowed, a sign, a fraction or an exponent too; "nan" and "inf" are words.
bool isNumber(const QString& text);

// The whole number from 0 to 32767 a box holds, as ticket numbers are kept.
std::optional<int> tokenNumber(const QString& text);

// A text with nothing but blanks is as blank as an empty one.
bool isBlank(const QString& text);

// "The department 40000 cannot be used: its key is above 32767, ..." for a key
// a station cannot hold.
QString keyTooLarge(const QString& what, qint64 key);

// A grid row: the key, the running number, then `fields` of the current row as text.
QStringList gridRow(const RecordSet& rs, const QList<int>& fields);

} // namespace master
} // namespace tv
