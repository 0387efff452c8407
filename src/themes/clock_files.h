#pragma once

#include <QString>
#include <QStringList>

namespace tv::clocks {

// The folder of the clock files beside the program (files/clock).
QString folder();
// The clock files a theme can name: SVG dials, and the Flash files older
// themes name (listed so they can be seen and replaced), sorted by name.
QStringList files(const QString& folder);
// Where the board looks for a theme's clock file: a bare name is in `folder`.
QString pathOf(const QString& name, const QString& folder);

} // namespace tv::clocks
