#pragma once

#include "statistics_ops.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;

namespace tv {

class FlexGrid;
class Station;

// Bars per hour of the day: tickets issued and called, and the waiting time
// (median and 90th percentile) of the tickets issued in that hour.
class StatisticsChart final : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsChart(QWidget* parent = nullptr);
    void setGroups(const QList<StatisticsOps::Group>& byHour);
    const QList<StatisticsOps::Group>& groups() const { return m_groups; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<StatisticsOps::Group> m_groups;
};

// "Statistics": the figures of a range of days for every department, service
// or counter, or for one of them, as a grid the console can send to a
// spreadsheet and as charts.
class StatisticsScreen final : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsScreen(Station& station, QWidget* parent = nullptr);

    FlexGrid* grid() const { return m_fg; }
    StatisticsChart* chart() const { return m_chart; }
    QComboBox* scope() const { return m_cmbScope; }
    QComboBox* filter() const { return m_cmbDept; }
    QDateEdit* from() const { return m_dtFrom; }
    QDateEdit* to() const { return m_dtTo; }

    void addFG();

private:
    void fillNames();
    void setFG();
    void addSection(const QString& heading, const QList<StatisticsOps::Group>& groups);
    void addLine(const QString& name, const StatisticsOps::Figures& f, bool bold);

    Station& m_station;
    StatisticsOps m_ops;
    QComboBox* m_cmbScope;
    QComboBox* m_cmbDept;
    QDateEdit* m_dtFrom;
    QDateEdit* m_dtTo;
    QLabel* m_status;
    FlexGrid* m_fg;
    StatisticsChart* m_chart;
    bool m_loading = false;
};

} // namespace tv
