#pragma once

#include <QWidget>
#include <functional>

class QComboBox;

namespace tv {

class CallScreen;
class ElidedLabel;
class Station;

// Opens the station's call screen for a counter chosen by name, without a
// login, in its transfer-only form. A station's default counter ("Default
// Transfer" of the settings) is taken as soon as the window becomes active, so
// the user then sees only the call screen.
class CounterSelectionWindow final : public QWidget {
    Q_OBJECT

public:
    // `callScreen` shows the station's operator call screen (loading it first
    // when it is not open) and gives it.
    CounterSelectionWindow(Station& station, std::function<CallScreen*()> callScreen,
                           QWidget* parent = nullptr);

    // Fills the chooser with the active counters.
    void addCounter();
    // Ok: adopts the named counter, closes, and shows the call screen in its
    // transfer-only form; a name that is no counter is said and nothing changes.
    bool Command1_Click();
    // Shows the chosen counter's service.
    void cmbCounterClick();
    // The window became the active one: Ok, once per activation.
    void Form_Activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Station& m_station;
    std::function<CallScreen*()> m_callScreen;
    QComboBox* m_cmbCounter;
    ElidedLabel* m_lblService;
    bool m_busy = false;
};

} // namespace tv
