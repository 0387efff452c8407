#pragma once

#include "report_ops.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;

namespace tv {

class FlexGrid;
class Station;

// One ticket report screen: a filter list with "All", a range of days, "Show
// All", the 11-column grid of tickets and the average duration. The screen
// becomes the console's "Send to Excel" source whenever it is activated.
class ReportScreen : public QWidget {
    Q_OBJECT

public:
    ReportScreen(Station& station, ReportOps::Kind kind, QWidget* parent = nullptr);

    ReportOps::Kind kind() const { return m_ops.kind(); }
    FlexGrid* grid() const { return m_fg; }
    QComboBox* filter() const { return m_cmbDept; }
    QDateEdit* from() const { return m_dtFrom; }
    QDateEdit* to() const { return m_dtTo; }
    QCheckBox* showAll() const { return m_chkAll; }
    QLabel* average() const { return m_lblAvg; }

    // The screen's procedures.
    void setFG();
    void addFG();
    void getAvg();

protected:
    void resizeEvent(QResizeEvent* e) override;
    // Places the buttons along the bottom edge; screens with more buttons
    // place theirs too.
    virtual void placeButtons(int width, int bottom);

    Station& m_station;
    ReportOps m_ops;
    FlexGrid* m_fg;
    QFrame* m_frame1;
    QComboBox* m_cmbDept;
    QDateEdit* m_dtFrom;
    QDateEdit* m_dtTo;
    QCheckBox* m_chkAll;
    QPushButton* m_show;
    QPushButton* m_close;
    QLabel* m_lblAvg;

private:
    void load();
    bool m_loading = false;
};

} // namespace tv
