#pragma once

#include <QWidget>

class QLabel;

namespace tv {

class FlexGrid;
class Station;

// Chooses the counters whose calls a theme's display board shows. A chosen row
// has a green cell in column 1; Save keeps the keys of the green rows for the
// theme in the station's settings.
class CounterSelectWindow final : public QWidget {
    Q_OBJECT

public:
    CounterSelectWindow(Station& station, int themeNo, QWidget* parent = nullptr);

    FlexGrid* grid() const { return m_fg; }
    int theme() const;
    bool isChosen(int row) const;
    void toggle(int row);
    void selectAll();
    void removeAll();
    void save();
    // Colours the rows stored for the theme (also run whenever the window
    // becomes active).
    void markStored();

    static constexpr quint32 chosenColour = 65280;       // green
    static constexpr quint32 notChosenColour = 16777215; // white

protected:
    bool event(QEvent* event) override;

private:
    void fill();
    void paint(int row, bool chosen);

    Station& m_station;
    FlexGrid* m_fg;
    QLabel* m_lblTheme;
};

} // namespace tv
