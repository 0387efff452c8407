#pragma once

class QWidget;

namespace tv {

class Station;

// Makes `screen` the console's "Send to Excel" source whenever it becomes the
// active window, standing alone or as a child window of the console.
void registerAsExportSourceOnActivation(QWidget* screen, Station& station);

} // namespace tv
