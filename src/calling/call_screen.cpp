#include "call_screen.h"

#include "core/db_error.h"
#include "core/lookups.h"
#include "core/settings_store.h"
#include "core/station.h"
#include "core/ui/controls.h"
#include "core/ui/dialogs.h"
#include "core/ui/flex_grid.h"
#include "core/ui/password_windows.h"
#include "hotkeys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {
// The call screen's buttons are large: operators hit them all day.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    QPushButton* b = controls::button(parent, name, text);
    b->setMinimumHeight(44);
    return b;
}

using controls::label;
} // namespace

CallScreen::CallScreen(Station& station, QWidget* parent)
    : CallScreen(station, Kind::Operator, parent) {}

CallScreen::CallScreen(Station& station, Kind kind, QWidget* parent)
    : QWidget(parent), m_station(station), m_kind(kind), m_ops(station) {
    const bool supervisor = kind == Kind::Supervisor;
    setObjectName(supervisor ? QStringLiteral("frmCallAdmin") : QStringLiteral("frmCall"));
    // The supervisor's screen shows "Not Available" without the last token.
    m_ops.forgetTokenWithoutLast = supervisor;

    m_stab = new QTabWidget(this);
    m_stab->setObjectName(QStringLiteral("STab"));
    m_fg = buildList("FG");
    m_fg1 = buildList("FG1");
    m_fgr = buildList("FGR");
    m_fg4 = buildList("FG4");
    m_stab->addTab(buildCallTab(), QStringLiteral("Call Window"));
    m_stab->addTab(m_fg, QStringLiteral("Attended"));
    m_stab->addTab(m_fg1, QStringLiteral("Cancelled"));
    m_stab->addTab(buildTransferTab(), QStringLiteral("Transfer"));
    m_stab->addTab(m_fgr, QStringLiteral("Transfered"));
    m_stab->addTab(m_fg4, QStringLiteral("Pending"));
    m_stab->addTab(buildSettingsTab(), QStringLiteral("Settings"));

    m_status = label(this, "lblStatus");
    m_status->setStyleSheet(QStringLiteral("color: #555"));
    auto* exit =
        makeButton(this, "Command7", supervisor ? QStringLiteral("Close") : QStringLiteral("Exit"));
    connect(exit, &QPushButton::clicked, this, &CallScreen::Command7_Click);

    auto* bottom = new QHBoxLayout;
    auto* layout = new QVBoxLayout(this);
    if (!supervisor) {
        m_lblTransfered = label(this, "lblTransfered");
        m_label3 = label(this, "Label3");
        m_label3->setWordWrap(true);
        bottom->addWidget(m_lblTransfered);
        bottom->addWidget(m_label3, 1);

        auto* menuBar = new QMenuBar(this);
        QMenu* menu = menuBar->addMenu(QStringLiteral("Menu"));
        menu->setObjectName(QStringLiteral("menu"));
        QAction* next = menu->addAction(QStringLiteral("Next"), this, &CallScreen::Command2_Click);
        next->setObjectName(QStringLiteral("next"));
        QAction* recall =
            menu->addAction(QStringLiteral("Recall"), this, &CallScreen::Command1_Click);
        recall->setObjectName(QStringLiteral("recall"));
        layout->setMenuBar(menuBar);
    } else {
        bottom->addStretch();
    }
    bottom->addWidget(exit);
    layout->addWidget(m_stab, 1);
    layout->addLayout(bottom);
    layout->addWidget(m_status);
    resize(700, 440);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(5000);
    connect(m_timer1, &QTimer::timeout, this, [this] {
        if (!m_counterChosen) return;
        m_next->setEnabled(true);
        m_recall->setEnabled(true);
    });
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &CallScreen::timer2Tick);

    connect(m_stab, &QTabWidget::currentChanged, this, &CallScreen::tabChanged);
    for (FlexGrid* g : {m_fg, m_fg1, m_fgr, m_fg4})
        connect(g, &FlexGrid::cellDoubleClicked, this,
                [this, g](int row, int) { listDoubleClicked(g, row); });
    // The supervisor's screen has no note line and no transfers.
    if (!supervisor)
        connect(m_fgr, &FlexGrid::cellClicked, this, [this](int row, int) {
            if (row >= 1) m_label3->setText(m_fgr->textMatrix(row, 5));
        });
    else
        m_stab->setTabEnabled(3, false);

    load();
    m_timer2->start();
}

CallScreen::~CallScreen() = default;

QWidget* CallScreen::buildCallTab() {
    auto* tab = new QWidget;
    m_lblToken = label(tab, "lblToken");
    QFont big = font();
    big.setPointSize(40);
    big.setBold(true);
    m_lblToken->setFont(big);
    m_lblToken->setAlignment(Qt::AlignCenter);
    m_lblToken->setMinimumHeight(80);
    m_lblNo = label(tab, "lblNo");
    m_lblNo->hide(); // the current ticket's key: state, not for the operator's eyes
    m_label1 = label(tab, "Label1", QStringLiteral("Idle"));
    m_label1->setAlignment(Qt::AlignCenter);
    m_lblLast = label(tab, "lblLast");
    m_lblTotal = label(tab, "lblTotal");

    m_next = makeButton(tab, "Command2", QStringLiteral("Next   F4"));
    m_recall = makeButton(tab, "Command1", QStringLiteral("Recall   F5"));
    m_cancel = makeButton(tab, "Command3",
                          m_kind == Kind::Supervisor ? QStringLiteral("Call This F6")
                                                     : QStringLiteral("Cancell F6"));
    auto* refresh = makeButton(tab, "Command6", QStringLiteral("Refresh F7"));
    connect(m_next, &QPushButton::clicked, this, &CallScreen::Command2_Click);
    connect(m_recall, &QPushButton::clicked, this, &CallScreen::Command1_Click);
    connect(m_cancel, &QPushButton::clicked, this, &CallScreen::Command3_Click);
    connect(refresh, &QPushButton::clicked, this, &CallScreen::Command6_Click);

    auto* buttons = new QGridLayout;
    buttons->addWidget(m_next, 0, 0);
    buttons->addWidget(m_recall, 0, 1);
    buttons->addWidget(m_cancel, 1, 0);
    buttons->addWidget(refresh, 1, 1);
    auto* v = new QVBoxLayout(tab);
    v->addWidget(m_lblToken);
    v->addWidget(m_label1);
    v->addLayout(buttons);
    v->addWidget(m_lblLast);
    v->addWidget(m_lblTotal);
    v->addStretch();
    return tab;
}

QWidget* CallScreen::buildTransferTab() {
    auto* tab = new QWidget;
    m_cmbToken = new QComboBox(tab);
    m_cmbToken->setObjectName(QStringLiteral("cmbToken"));
    m_cmbToken->setEditable(true);
    m_cmbService = new QComboBox(tab);
    m_cmbService->setObjectName(QStringLiteral("cmbService"));
    m_txtRef = new QLineEdit(tab);
    m_txtRef->setObjectName(QStringLiteral("txtRef"));
    m_lblService = label(tab, "lblService");
    auto* update = makeButton(tab, "Command5", QStringLiteral("Update"));
    connect(update, &QPushButton::clicked, this, &CallScreen::Command5_Click);
    connect(m_cmbService, &QComboBox::activated, this, [this](int) {
        try {
            m_lblService->setText(m_ops.serviceLine(m_cmbService->currentText()));
        } catch (const DbError&) {
            // the label keeps what it showed
        }
    });
    auto* form = new QFormLayout(tab);
    form->addRow(QStringLiteral("Select Token"), m_cmbToken);
    form->addRow(QStringLiteral("Transfer to Counter"), m_cmbService);
    form->addRow(QString(), m_lblService);
    form->addRow(QStringLiteral("Notes"), m_txtRef);
    form->addRow(QString(), update);
    return tab;
}

QWidget* CallScreen::buildSettingsTab() {
    auto* tab = new QWidget;
    m_chkboth = new QCheckBox(m_kind == Kind::Supervisor ? QStringLiteral("Show Counter && Display")
                                                         : QStringLiteral("Show Room && Dr. Name"),
                              tab);
    m_chkboth->setObjectName(QStringLiteral("chkboth"));
    m_chkShort = new QCheckBox(QStringLiteral("Register Shortcuts"), tab);
    m_chkShort->setObjectName(QStringLiteral("chkShort"));
    auto* pass = makeButton(tab, "Command4", QStringLiteral("Change Password"));
    connect(pass, &QPushButton::clicked, this, [this] {
        auto* w = new PasswordWindow(m_station, PasswordWindow::Role::Counter);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    });
    connect(m_chkboth, &QCheckBox::clicked, this, [this](bool on) {
        m_station.settings().set(keys::ShowBoth, on ? 1 : 0);
        m_ops.chkboth = on ? 1 : 0;
    });
    connect(m_chkShort, &QCheckBox::clicked, this,
            [this](bool on) { m_station.settings().set(keys::ShortcutEnable, on ? 1 : 0); });
    auto* v = new QVBoxLayout(tab);
    v->addWidget(m_chkboth);
    v->addWidget(m_chkShort);
    v->addWidget(pass);
    v->addStretch();
    return tab;
}

FlexGrid* CallScreen::buildList(const char* name) {
    auto* g = new FlexGrid;
    g->setObjectName(QLatin1String(name));
    g->setCols(6);
    g->setFixedRows(1);
    g->setFixedCols(0);
    g->setSelectMode(FlexGrid::SelectMode::ByRow);
    return g;
}

FlexGrid* CallScreen::list(int tab) const {
    switch (tab) {
    case 1:
        return m_fg;
    case 2:
        return m_fg1;
    case 4:
        return m_fgr;
    case 5:
        return m_fg4;
    default:
        return nullptr;
    }
}

void CallScreen::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const DbError& e) {
        Dialogs::message(this, e.description());
    }
    showState();
}

void CallScreen::load() {
    m_chkShort->setChecked(m_station.settings().number(keys::ShortcutEnable) == 1);
    m_ops.chkboth = m_station.settings().number(keys::ShowBoth);
    m_chkboth->setChecked(m_ops.chkboth == 1);
    m_stab->setCurrentIndex(0);
    m_station.openConnection();
    guarded([this] {
        m_station.login.counterName = lookups::getCounterName(m_station, m_station.login.counterId);
        setWindowTitle(m_station.login.counterName);
        m_ops.getPending();
        m_ops.getLast();
    });
    addAttend();
    guarded([this] { m_cmbService->addItems(m_ops.addcount()); });

    // The supervisor's screen takes its keys after its chooser is filled.
    if (m_kind == Kind::Operator && !m_station.login.isAdmin && m_chkShort->isChecked()) {
        m_keys = new CallKeys(this, this);
        connect(m_keys, &CallKeys::pressed, this, [this](int id) {
            switch (id) {
            case CallKeys::Next:
                Command2_Click();
                break;
            case CallKeys::Recall:
                Command1_Click();
                break;
            case CallKeys::Cancel:
                Command3_Click();
                break;
            case CallKeys::Refresh:
                Command6_Click();
                break;
            default:
                break;
            }
        });
        m_keys->regHkeys();
        if (m_keys->mode() != CallKeys::Mode::SystemWide)
            m_status->setText(m_keys->modeDescription());
    }
}

void CallScreen::showState() {
    m_lblNo->setText(m_ops.lblNo() == 0 ? QString() : QString::number(m_ops.lblNo()));
    m_lblToken->setText(m_ops.lblToken());
    m_label1->setText(m_ops.label1() == CallingOps::State::Calling ? QStringLiteral("Calling")
                                                                   : QStringLiteral("Idle"));
    if (const auto& last = m_ops.lblLast())
        m_lblLast->setText(QStringLiteral("Last Served : ") + *last);
    else
        m_lblLast->setText(QStringLiteral("Last Served : Not Available"));
    if (const auto total = m_ops.lblTotal())
        m_lblTotal->setText(QStringLiteral("Total Pending : ") + QString::number(*total));
}

void CallScreen::Command2_Click() {
    m_next->setEnabled(false);
    m_recall->setEnabled(false);
    m_timer1->start();
    guarded([this] { m_ops.next(); });
}

void CallScreen::Command1_Click() {
    if (m_ops.lblNo() == 0) return;
    guarded([this] {
        m_ops.updateRc();
        m_recall->setEnabled(false);
        m_timer1->start();
    });
}

void CallScreen::Command3_Click() {
    guarded([this] { m_ops.cancel(); });
}

void CallScreen::Command6_Click() {
    guarded([this] { m_ops.getPending(); });
    addPendings();
    addCancelled();
    addTrans();
}

void CallScreen::Command5_Click() {
    // The chosen entry is the one whose token the box shows: picked from the
    // list, put there for the current ticket, or typed exactly as listed.
    const QString text = m_cmbToken->currentText();
    const int index = m_cmbToken->findText(text, Qt::MatchExactly);
    const qint64 key = index >= 0 ? m_cmbToken->itemData(index).toLongLong() : 0;
    guarded([&] {
        const QString message =
            m_ops.transfer(text, key, m_cmbService->currentText(), m_txtRef->text());
        if (message.isEmpty()) return;
        Dialogs::message(this, message);
        if (message == QStringLiteral("Updated")) addTokensToList();
    });
}

void CallScreen::Command7_Click() {
    if (m_station.login.isAdmin) {
        // The supervisor's screen stays loaded, with its counter and lists.
        if (m_kind == Kind::Supervisor)
            hideScreen();
        else
            close();
        return;
    }
    if (Dialogs::question(this, QStringLiteral("Do you want to Close")) != QMessageBox::Yes) return;
    if (m_chkShort->isChecked() && m_keys) m_keys->release();
    if (m_kind == Kind::Supervisor) {
        hideScreen();
        return;
    }
    m_exiting = true;
    hide();
    emit programEndRequested();
}

void CallScreen::hideScreen() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->hide();
    else
        hide();
}

void CallScreen::transferOnly() {
    // Transfer first: switching off the shown tab would show, and fill, the
    // next ones on the way.
    m_stab->setCurrentIndex(3);
    for (int tab : {0, 1, 2, 4, 5, 6})
        m_stab->setTabEnabled(tab, false);
}

void CallScreen::closeEvent(QCloseEvent* event) {
    // Only Close hides the supervisor's screen; nothing unloads it.
    if (m_kind == Kind::Supervisor) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_station.login.isAdmin && !m_exiting) {
        m_exiting = true;
        emit programEndRequested();
    }
}

void CallScreen::timer2Tick() {
    if (m_refreshTicks < 60) {
        ++m_refreshTicks;
        return;
    }
    m_refreshTicks = 0;
    Command6_Click();
}

void CallScreen::tabChanged(int index) {
    switch (index) {
    case 1:
        addAttend();
        break;
    case 2:
        addCancelled();
        break;
    case 3:
        addTokensToList();
        break;
    case 4:
        addTrans();
        break;
    case 5:
        addPendings();
        break;
    default:
        break;
    }
}

} // namespace tv
