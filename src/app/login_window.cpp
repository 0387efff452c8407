#include "login_window.h"

#include "core/db_error.h"
#include "core/station.h"
#include "core/ui/dialogs.h"
#include "core/ui/sql_settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {

bool isEnter(QEvent* e) {
    if (e->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(e)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

LoginWindow::LoginWindow(Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window), m_station(station), m_ops(station) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login Here"));

    m_optAdmin = new QRadioButton(QStringLiteral("Admin"), this);
    m_optAdmin->setObjectName(QStringLiteral("optAdmin"));
    m_optAdmin->setChecked(true);
    m_optCounter = new QRadioButton(QStringLiteral("Counter"), this);
    m_optCounter->setObjectName(QStringLiteral("optCounter"));

    m_lblCounter = new QLabel(QStringLiteral("Select Counter "), this);
    m_lblCounter->setObjectName(QStringLiteral("lblCounter"));
    // Typed text is allowed so a remembered counter shows even when it is no
    // longer active (and so no longer listed); the login itself decides.
    m_cmbCounter = new QComboBox(this);
    m_cmbCounter->setObjectName(QStringLiteral("cmbCounter"));
    m_cmbCounter->setEditable(true);
    m_cmbCounter->setInsertPolicy(QComboBox::NoInsert);
    m_lblCounter->setBuddy(m_cmbCounter);

    auto* lblUser = new QLabel(QStringLiteral("User Name"), this);
    m_txtUser = new QLineEdit(this);
    m_txtUser->setObjectName(QStringLiteral("txtUser"));
    lblUser->setBuddy(m_txtUser);
    auto* lblPass = new QLabel(QStringLiteral("Password"), this);
    m_txtPass = new QLineEdit(this);
    m_txtPass->setObjectName(QStringLiteral("txtPass"));
    m_txtPass->setEchoMode(QLineEdit::Password);
    lblPass->setBuddy(m_txtPass);

    m_chkRem = new QCheckBox(QStringLiteral("Memorize "), this);
    m_chkRem->setObjectName(QStringLiteral("chkRem"));

    m_cmdLogin = new QPushButton(QStringLiteral("Login"), this);
    m_cmdLogin->setObjectName(QStringLiteral("cmdLogin"));
    m_cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    m_cmdExit->setObjectName(QStringLiteral("cmdExit"));

    auto* roles = new QHBoxLayout;
    roles->addWidget(m_optAdmin);
    roles->addWidget(m_optCounter);
    roles->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(m_lblCounter, 0, 0);
    grid->addWidget(m_cmbCounter, 0, 1);
    grid->addWidget(lblUser, 1, 0);
    grid->addWidget(m_txtUser, 1, 1);
    grid->addWidget(lblPass, 2, 0);
    grid->addWidget(m_txtPass, 2, 1);
    grid->addWidget(m_chkRem, 3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdLogin);
    buttons->addWidget(m_cmdExit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(roles);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(m_optAdmin, &QRadioButton::clicked, this, &LoginWindow::adminClicked);
    connect(m_optCounter, &QRadioButton::clicked, this, &LoginWindow::counterClicked);
    connect(m_txtUser, &QLineEdit::returnPressed, m_txtPass,
            [this] { m_txtPass->setFocus(Qt::OtherFocusReason); });
    connect(m_txtPass, &QLineEdit::returnPressed, this, &LoginWindow::loginAction);
    // Typing replaces the remembered login by one of the user's own.
    connect(m_txtPass, &QLineEdit::textEdited, this, [this] { m_remembered = false; });
    connect(m_txtUser, &QLineEdit::textEdited, this, [this] { m_remembered = false; });
    connect(m_cmbCounter, &QComboBox::currentTextChanged, this, [this] {
        if (m_cmbCounter->hasFocus()) m_remembered = false;
    });
    connect(m_cmdLogin, &QPushButton::clicked, this, &LoginWindow::loginAction);
    connect(m_cmdExit, &QPushButton::clicked, this, &LoginWindow::exitRequested);
    m_cmbCounter->installEventFilter(this);
    m_cmbCounter->lineEdit()->installEventFilter(this);
    m_txtUser->installEventFilter(this);

    load();
}

void LoginWindow::load() {
    // A failure here is reported by the station (the shell opens the
    // connection dialog); the window still opens so the login can be retried.
    m_station.openConnection();
    const RememberedLogin r = m_ops.remembered();
    m_chkRem->setChecked(r.remember);
    if (r.remember) {
        fillFromRemembered(r);
        if (r.type == QStringLiteral("optCounter")) {
            m_optCounter->setChecked(true);
            counterClicked();
        } else if (r.type == QStringLiteral("optAdmin")) {
            m_optAdmin->setChecked(true);
        }
    }
    if (m_optAdmin->isChecked()) {
        setCounterListVisible(false);
    } else if (r.remember) {
        fillFromRemembered(r);
        m_cmbCounter->setCurrentText(r.counter);
    }
}

void LoginWindow::fillFromRemembered(const RememberedLogin& r) {
    m_txtUser->setText(r.name);
    m_txtPass->setText(r.pass);
    // "Rem" with nothing kept (Memorize was unticked later) fills nothing.
    m_remembered = !r.pass.isEmpty();
}

void LoginWindow::setCounterListVisible(bool visible) {
    m_cmbCounter->setVisible(visible);
    m_lblCounter->setVisible(visible);
}

void LoginWindow::adminClicked() {
    setCounterListVisible(false);
    m_txtUser->setFocus(Qt::OtherFocusReason);
}

void LoginWindow::counterClicked() {
    setCounterListVisible(true);
    m_cmbCounter->clear();
    try {
        m_cmbCounter->addItems(m_ops.addCounter());
    } catch (const DbError&) {
        // An empty list is answer enough; the login reports the database.
    }
    m_cmbCounter->setFocus(Qt::OtherFocusReason);
}

void LoginWindow::loginAction() {
    // The message box of a failed attempt runs an event loop; an activation
    // arriving meanwhile must not start a second attempt inside the first.
    if (m_loggedIn || m_busy) return;
    m_busy = true;

    LoginRequest request;
    request.role =
        m_optAdmin->isChecked() ? LoginRequest::Role::Admin : LoginRequest::Role::Counter;
    request.counterName = m_cmbCounter->currentText();
    request.userName = m_txtUser->text();
    request.password = m_txtPass->text();
    request.rememberedCredential = m_remembered;
    request.memorize = m_chkRem->isChecked();

    LoginResult result;
    try {
        result = m_ops.login(request);
    } catch (const DbError&) {
        m_skipActivation = true;
        m_sqlDialog = SqlSettingsDialog::showFor(m_station);
        m_busy = false;
        return;
    }
    if (!result.ok) {
        // A remembered login that no longer holds is said once; from then on
        // the boxes are the user's to fill.
        m_remembered = false;
        Dialogs::message(this, result.message);
        m_busy = false;
        return;
    }

    m_loggedIn = true;
    m_busy = false;
    // The role's screen opens before this window closes, so the program never
    // stands without a window (which would end it).
    QPointer<LoginWindow> self(this);
    if (request.role == LoginRequest::Role::Admin)
        emit adminLoggedIn();
    else
        emit counterLoggedIn();
    if (self) close();
}

void LoginWindow::windowActivated() {
    // Only a remembered login runs by itself: boxes that are empty or being
    // typed into are not a failed login.
    if (m_busy || !m_remembered) return;
    if (m_skipActivation) {
        m_skipActivation = false;
        return;
    }
    loginAction();
}

void LoginWindow::windowDeactivated() {
    // Losing the activation to our own message box or to the connection dialog
    // opened by a failed attempt: their return is no new activation. Losing
    // it to anything else makes the next return a real one.
    const QWidget* now = QApplication::activeWindow();
    const bool ours = now && now != this &&
                      (now == m_sqlDialog.data() ||
                       (now->parentWidget() && now->parentWidget()->window() == this));
    if (!ours) m_skipActivation = false;
}

bool LoginWindow::event(QEvent* e) {
    const bool handled = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate) {
        // After the activation is delivered, not inside it: the login may show
        // a message box or close this window.
        QTimer::singleShot(0, this, [this] {
            if (isActiveWindow()) windowActivated();
        });
    } else if (e->type() == QEvent::WindowDeactivate) {
        windowDeactivated();
    }
    return handled;
}

bool LoginWindow::eventFilter(QObject* watched, QEvent* e) {
    if ((watched == m_cmbCounter || watched == m_cmbCounter->lineEdit()) && isEnter(e)) {
        m_txtUser->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (watched == m_txtUser && e->type() == QEvent::FocusIn) {
        // Later than the focus-in: a mouse press that gave the focus would
        // otherwise undo the selection.
        QTimer::singleShot(0, m_txtUser, &QLineEdit::selectAll);
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace tv
