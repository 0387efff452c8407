#pragma once

#include <QString>

namespace tv {

// What "path.txt" in the program folder says about the data file.
struct DataPath {
    QString file;       // the last item read ("" when none)
    QString dataFolder; // the folder of that item
    QString error;      // the reading error, if any; what was read before it stays
};

// Reads the items of <programFolder>/path.txt in turn (one per line or separated
// by commas, optionally in double quotes) and keeps the last one. A missing file
// is an error with nothing read.
DataPath readDataPath(const QString& programFolder);

// The embedded data file of this machine: the file path.txt names (relative
// names are taken from the program folder), else the default data file.
QString embeddedDataFile(const QString& programFolder);

} // namespace tv
