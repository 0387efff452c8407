#include "supervisor_call_screen.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/elided_label.h"
#include "counter_choice.h"
#include "hotkeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

SupervisorCallScreen::SupervisorCallScreen(Station& station, QWidget* parent)
    : CallScreen(station, Kind::Supervisor, parent) {
    m_cmbCounter = new QComboBox(this);
    m_cmbCounter->setObjectName(QStringLiteral("cmbCounter"));
    m_cmbCounter->setEditable(true);
    m_cmbCounter->setInsertPolicy(QComboBox::NoInsert);
    m_cmbCounter->setMinimumWidth(180);
    auto* caption = controls::label(this, "Label3", QStringLiteral("Dr. Name/ Room"));
    // A long display name is shown shortened; it never widens the screen.
    m_lblDr = new ElidedLabel(this);
    m_lblDr->setObjectName(QStringLiteral("lblDr"));
    QFont bold = m_lblDr->font();
    bold.setBold(true);
    m_lblDr->setFont(bold);
    auto* row = new QHBoxLayout;
    row->addWidget(m_cmbCounter);
    row->addSpacing(12);
    row->addWidget(caption);
    row->addWidget(m_lblDr, 1);
    if (auto* layout = qobject_cast<QVBoxLayout*>(this->layout())) layout->insertLayout(0, row);
    setTabOrder(m_cmbCounter, m_next);
    resize(width(), height() + m_cmbCounter->sizeHint().height() + 6);

    addCntr();
    // Connected once filled: filling the list is no choice of a counter.
    connect(m_cmbCounter, &QComboBox::editTextChanged, this, &SupervisorCallScreen::getDetails);
    connect(m_cmbCounter, &QComboBox::activated, this, &SupervisorCallScreen::getDetails);

    if (!m_station.login.isAdmin && m_chkShort->isChecked()) {
        m_keys = new CallKeys(this, this);
        connect(m_keys, &CallKeys::pressed, this, &SupervisorCallScreen::keyPressed);
        m_keys->regHkeys();
    }
}

void SupervisorCallScreen::addCntr() {
    guarded([this] {
        m_cmbCounter->addItems(CounterChoice(m_station).addCntr());
        m_cmbCounter->setCurrentIndex(-1);
        m_cmbCounter->setEditText(QString());
    });
}

void SupervisorCallScreen::getDetails() {
    guarded([this] {
        const auto adopted = CounterChoice(m_station).getDetails(m_cmbCounter->currentText());
        m_counterChosen = adopted.found;
        for (QPushButton* b : {m_recall, m_next, m_cancel})
            b->setEnabled(adopted.found);
        if (!adopted.message.isEmpty()) Dialogs::message(this, adopted.message);
        if (!adopted.found) return;
        m_lblDr->setText(adopted.displayName);
        m_ops.getLast();
        m_ops.getPending();
    });
}

void SupervisorCallScreen::setOperatorScreen(std::function<CallScreen*()> screen) {
    m_operatorScreen = std::move(screen);
}

void SupervisorCallScreen::keyPressed(int id) {
    CallScreen* target = m_operatorScreen ? m_operatorScreen() : nullptr;
    if (!target) return;
    switch (id) {
    case CallKeys::Next:
        target->Command2_Click();
        break;
    case CallKeys::Recall:
        target->Command1_Click();
        break;
    case CallKeys::Cancel:
        target->Command3_Click();
        break;
    case CallKeys::Refresh:
        target->Command6_Click();
        break;
    default:
        break;
    }
}

} // namespace tv
