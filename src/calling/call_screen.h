#pragma once

#include "calling_ops.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QTimer;

namespace tv {

class CallKeys;
class FlexGrid;
class Station;

// The operator's window at one counter: calls, recalls, cancels, transfers and
// finishes tickets for the counter the station works for, and shows the
// counter's lists of today.
class CallScreen final : public QWidget {
    Q_OBJECT

public:
    explicit CallScreen(Station& station, QWidget* parent = nullptr);
    ~CallScreen() override;

    CallingOps& ops() { return m_ops; }

    // The button handlers; the call keys run them too, also while the buttons
    // are held by the 5-second lock.
    void Command2_Click(); // Next
    void Command1_Click(); // Recall
    void Command3_Click(); // Cancel
    void Command6_Click(); // Refresh
    void Command5_Click(); // Transfer ("Update")
    void Command7_Click(); // Exit

    // The lists.
    void addAttend();
    void addCancelled();
    void addTrans();
    void addPendings();
    void addTokensToList();
    // Double click on a list row.
    void listDoubleClicked(FlexGrid* grid, int row);

    QTabWidget* tabs() const { return m_stab; }
    FlexGrid* list(int tab) const;
    QTimer* timer1() const { return m_timer1; }
    QTimer* timer2() const { return m_timer2; }
    CallKeys* callKeys() const { return m_keys; }

signals:
    // The operator confirmed Exit, or closed the window, at a counter: the
    // program ends.
    void programEndRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildCallTab();
    QWidget* buildTransferTab();
    QWidget* buildSettingsTab();
    FlexGrid* buildList(const char* name);
    void load();
    void showState();
    void tabChanged(int index);
    void timer2Tick();
    // Runs one action; a database failure is shown and leaves the screen usable.
    void guarded(const std::function<void()>& action);
    void fillList(FlexGrid* grid, const QStringList& heads, const QList<int>& widths,
                  const QList<QStringList>& rows);

    Station& m_station;
    CallingOps m_ops;
    bool m_exiting = false;
    qint16 m_refreshTicks = 0;

    QTabWidget* m_stab;
    QLabel* m_lblNo;
    QLabel* m_lblToken;
    QLabel* m_label1;
    QLabel* m_lblLast;
    QLabel* m_lblTotal;
    QLabel* m_lblTransfered;
    QLabel* m_label3;
    QLabel* m_lblService;
    QLabel* m_status;
    QPushButton* m_next;
    QPushButton* m_recall;
    QComboBox* m_cmbToken;
    QComboBox* m_cmbService;
    QLineEdit* m_txtRef;
    QCheckBox* m_chkboth;
    QCheckBox* m_chkShort;
    FlexGrid* m_fg;
    FlexGrid* m_fg1;
    FlexGrid* m_fgr;
    FlexGrid* m_fg4;
    QTimer* m_timer1;
    QTimer* m_timer2;
    CallKeys* m_keys = nullptr;
};

} // namespace tv
