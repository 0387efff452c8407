#pragma once

#include <QStringList>

// tallyvox-bench grid [--rows N] [--cols N]
// Fills a FlexGrid offscreen the way lists fill it (a row at a time), then pages through
// it, and prints one line of key=value figures. Needs a QApplication.
int runGridBench(const QStringList& args);
