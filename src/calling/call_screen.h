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
// counter's lists of today. The supervisor's variant (SupervisorCallScreen)
// is this screen with the few differences its kind names.
class CallScreen : public QWidget {
    Q_OBJECT

public:
    explicit CallScreen(Station& station, QWidget* parent = nullptr);
    ~CallScreen() override;

    // The transfer-only form the counter selection opens: every tab but
    // Transfer switched off, Transfer shown. It stays so while the screen lives.
    void transferOnly();

    CallingOps& ops() { return m_ops; }

    // The button handlers; the call keys run them too, also while the buttons
    // are held by the 5-second lock.
    void Command2_Click(); // Next
    void Command1_Click(); // Recall
    void Command3_Click(); // Cancel ("Call This F6" on the supervisor's screen)
    void Command6_Click(); // Refresh
    void Command5_Click(); // Transfer ("Update")
    void Command7_Click(); // Exit ("Close" on the supervisor's screen)

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
    enum class Kind { Operator, Supervisor };
    CallScreen(Station& station, Kind kind, QWidget* parent);
    void closeEvent(QCloseEvent* event) override;
    // Shows the state of the calling operations in the labels.
    void showState();
    // Runs one action; a database failure is shown and leaves the screen usable.
    void guarded(const std::function<void()>& action);
    // Hides the screen, or the console's frame around it.
    void hideScreen();

    Station& m_station;
    const Kind m_kind;
    CallingOps m_ops;
    QPushButton* m_next;
    QPushButton* m_recall;
    QPushButton* m_cancel;
    QCheckBox* m_chkShort;
    CallKeys* m_keys = nullptr;
    // False while the supervisor's chooser names no counter: the 5-second
    // lock then gives no button back.
    bool m_counterChosen = true;

private:
    QWidget* buildCallTab();
    QWidget* buildTransferTab();
    QWidget* buildSettingsTab();
    FlexGrid* buildList(const char* name);
    void load();
    void tabChanged(int index);
    void timer2Tick();
    void fillList(FlexGrid* grid, const QStringList& heads, const QList<int>& widths,
                  const QList<QStringList>& rows);

    bool m_exiting = false;
    qint16 m_refreshTicks = 0;

    QTabWidget* m_stab;
    QLabel* m_lblNo;
    QLabel* m_lblToken;
    QLabel* m_label1;
    QLabel* m_lblLast;
    QLabel* m_lblTotal;
    QLabel* m_lblTransfered = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_lblService;
    QLabel* m_status;
    QComboBox* m_cmbToken;
    QComboBox* m_cmbService;
    QLineEdit* m_txtRef;
    QCheckBox* m_chkboth;
    FlexGrid* m_fg;
    FlexGrid* m_fg1;
    FlexGrid* m_fgr;
    FlexGrid* m_fg4;
    QTimer* m_timer1;
    QTimer* m_timer2;
};

} // namespace tv
