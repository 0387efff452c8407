#pragma once

#include <QObject>

class QSocketNotifier;

namespace tv {

// Drives a running station from its standard input, one command a line, so
// tests and demos can work the real program across processes. Enabled only
// when TALLYVOX_AUTOMATION=1. Every command answers one line, "OK ..." or
// "ERR ...":
//   trigger ACTION           run the menu item named ACTION
//   click BUTTON             click the button named BUTTON
//   touch WINDOW ROW         click row ROW of the grid FG of window WINDOW
//   dump WINDOW GRID         print the grid's rows: "OK r1c1|r1c2;r2c1|..."
//   has WINDOW               whether a window of that name is shown
class Automation final : public QObject {
    Q_OBJECT

public:
    explicit Automation(QObject* parent = nullptr);
    static bool enabled();
    // Runs one command and gives its answer line.
    static QString run(const QString& command);

private:
    void readLine();
    QSocketNotifier* m_notifier;
};

} // namespace tv
