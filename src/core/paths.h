#pragma once

#include <QString>

namespace tv {

// Where a station keeps its files. TALLYVOX_HOME, when set, holds everything
// (settings of every profile and the embedded data file): tests and the demo
// hall use it to stay out of the user's own folders.
namespace paths {

// The folder of the program: voices, design pictures, clock files and path.txt.
QString programFolder();
// The settings file of a station profile.
QString settingsFile(const QString& profile);
// The lock file that keeps a profile to one running copy.
QString instanceLockFile(const QString& profile);
// The embedded data file used when path.txt names none.
QString defaultDataFile();
// A profile name reduced to what is safe in a file name; "" becomes "default".
QString profileFileName(const QString& profile);

} // namespace paths
} // namespace tv
