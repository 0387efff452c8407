#pragma once

#include "report_screen.h"

#include <QWidget>

class QDateEdit;

namespace tv {

// "Clear Data": the department report with "Delete Selected", which deletes
// the ticket rows chosen in the grid.
class ClearDataScreen final : public ReportScreen {
    Q_OBJECT

public:
    explicit ClearDataScreen(Station& station, QWidget* parent = nullptr);

    // "Delete Selected": asks, deletes the chosen rows in one go, refreshes.
    void deleteSelected();

protected:
    void placeButtons(int width, int bottom) override;

private:
    QPushButton* m_delete = nullptr;
};

// "Delete Call Data": the call records of the days before a chosen day.
class CallDeleteScreen final : public QWidget {
    Q_OBJECT

public:
    explicit CallDeleteScreen(Station& station, QWidget* parent = nullptr);
    QDateEdit* day() const { return m_dtFrom; }
    void deleteCalls();

private:
    Station& m_station;
    QDateEdit* m_dtFrom;
};

} // namespace tv
