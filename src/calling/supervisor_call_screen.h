#pragma once

#include "call_screen.h"

#include <functional>

class QComboBox;
class QLabel;

namespace tv {

class ElidedLabel;

// The supervisor's call screen inside the console: the operator's call
// screen with a counter chooser. Choosing a counter makes it the station's
// counter, so an operator call screen open beside it works for that counter
// too. It does not transfer, and Close only hides it.
class SupervisorCallScreen final : public CallScreen {
    Q_OBJECT

public:
    explicit SupervisorCallScreen(Station& station, QWidget* parent = nullptr);

    // Fills the chooser with every counter.
    void addCntr();
    // Adopts the counter the chooser names; without one, Recall, Next and
    // "Call This F6" are switched off until a counter is named.
    void getDetails();

    // Where the call keys go: the operator's call screen of the station, as
    // on a counter's desk (nothing happens while none is open).
    void setOperatorScreen(std::function<CallScreen*()> screen);

private:
    void keyPressed(int id);

    QComboBox* m_cmbCounter;
    ElidedLabel* m_lblDr;
    std::function<CallScreen*()> m_operatorScreen;
};

} // namespace tv
