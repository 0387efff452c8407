#pragma once

#include <QString>
#include <QStringList>

namespace tv {

class Connection;

namespace schema {

// The schema version this program writes.
int currentVersion();

// The version stored in the database (0 for an empty database).
int storedVersion(Connection& c);

// Brings the database to the current version: every migration newer than the
// stored version runs in one transaction of its own, in order. Raises DbError;
// a failed migration leaves the database at the version before it.
void migrate(Connection& c);

// The key column (position 0) of one of our tables, "" for an unknown table.
QString keyColumn(const QString& table);

// Tables and their columns in stored order, as this program creates them.
QStringList tableNames();
QStringList columnNames(const QString& table);

// Whether `column` is a column of `table` (names compare without regard to case).
bool hasColumn(const QString& table, const QString& column);

} // namespace schema
} // namespace tv
