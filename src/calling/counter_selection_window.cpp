#include "counter_selection_window.h"

#include "call_screen.h"
#include "calling_ops.h"
#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/activation.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/elided_label.h"
#include "counter_choice.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tv {

CounterSelectionWindow::CounterSelectionWindow(Station& station,
                                               std::function<CallScreen*()> callScreen,
                                               QWidget* parent)
    : QWidget(parent), m_station(station), m_callScreen(std::move(callScreen)) {
    setObjectName(QStringLiteral("frmSelService"));
    setWindowTitle(QStringLiteral("Select Service"));
    auto* caption = controls::label(this, "Label1", QStringLiteral("Select Counter "));
    m_cmbCounter = new QComboBox(this);
    m_cmbCounter->setObjectName(QStringLiteral("cmbCounter"));
    m_cmbCounter->setEditable(true);
    m_cmbCounter->setInsertPolicy(QComboBox::NoInsert);
    m_cmbCounter->setMinimumWidth(200);
    m_cmbCounter->lineEdit()->installEventFilter(this);
    m_lblService = new ElidedLabel(this);
    m_lblService->setObjectName(QStringLiteral("lblService"));
    auto* ok = controls::button(this, "Command1", QStringLiteral("Ok"));
    connect(ok, &QPushButton::clicked, this, &CounterSelectionWindow::Command1_Click);
    connect(m_cmbCounter, &QComboBox::activated, this, &CounterSelectionWindow::cmbCounterClick);
    auto* grid = new QGridLayout(this);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(m_cmbCounter, 0, 1);
    grid->addWidget(m_lblService, 1, 1);
    grid->addWidget(ok, 2, 1, Qt::AlignRight);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    resize(380, 130);

    addCounter();
    const QString preset = m_station.settings().text(keys::TicketTransfer);
    if (!preset.isEmpty()) m_cmbCounter->setEditText(preset);
    // After the activation is delivered, not inside it: Ok may close this
    // window or show a message.
    new ActivationWatch(this, [this] { QTimer::singleShot(0, this, [this] { Form_Activate(); }); });
}

void CounterSelectionWindow::addCounter() {
    m_cmbCounter->clear();
    try {
        m_cmbCounter->addItems(CounterChoice(m_station).addCounter());
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
    m_cmbCounter->setCurrentIndex(-1);
    m_cmbCounter->setEditText(QString());
}

void CounterSelectionWindow::cmbCounterClick() {
    try {
        m_lblService->setText(CallingOps(m_station).serviceLine(m_cmbCounter->currentText()));
    } catch (const DbError&) {
        // the label keeps what it showed
    }
}

void CounterSelectionWindow::Form_Activate() {
    Command1_Click();
}

bool CounterSelectionWindow::Command1_Click() {
    // Our own message box handing the activation back is no new Ok.
    if (m_busy) return false;
    m_busy = true;
    QString message;
    try {
        message = CounterChoice(m_station).adoptForTransfer(m_cmbCounter->currentText());
    } catch (const DbError& e) {
        message = e.description();
    }
    if (!message.isEmpty()) {
        Dialogs::message(this, message);
        // Activations queued while the message was up are not the user's.
        QTimer::singleShot(0, this, [this] { m_busy = false; });
        return false;
    }
    close();
    if (CallScreen* screen = m_callScreen ? m_callScreen() : nullptr) screen->transferOnly();
    return true;
}

bool CounterSelectionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cmbCounter->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tv
