#pragma once

#include "core/login_ops.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tv {

class Station;

// The login window: administrator or counter operator, an optional
// remembered login that logs in by itself, and the way to the connection
// dialog when the database cannot be reached. It only asks and tells; the
// shell shows the role's screen on adminLoggedIn() / counterLoggedIn().
class LoginWindow final : public QWidget {
    Q_OBJECT

public:
    explicit LoginWindow(Station& station, QWidget* parent = nullptr);

    // The login with what the boxes hold: the Login button, Enter in the
    // password box, an activation of the window while a remembered login
    // fills the boxes, and the splash when the station logs in by itself.
    // Does nothing once logged in.
    void loginAction();

    // The window became the active one: a remembered login logs in without a
    // click. A window this login opened (the connection dialog) handing the
    // activation back does not count, so a failed attempt is not repeated in a loop.
    void windowActivated();
    void windowDeactivated();

    // The remembered login fills the boxes (until the user types there or it failed).
    bool holdsRememberedCredential() const { return m_remembered; }

signals:
    void adminLoggedIn();
    void counterLoggedIn();
    void exitRequested();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void load();
    void adminClicked();
    void counterClicked();
    void fillFromRemembered(const RememberedLogin& r);
    void setCounterListVisible(bool visible);

    Station& m_station;
    LoginOps m_ops;
    QRadioButton* m_optAdmin;
    QRadioButton* m_optCounter;
    QLabel* m_lblCounter;
    QComboBox* m_cmbCounter;
    QLineEdit* m_txtUser;
    QLineEdit* m_txtPass;
    QCheckBox* m_chkRem;
    QPushButton* m_cmdLogin;
    QPushButton* m_cmdExit;

    bool m_remembered = false;
    bool m_loggedIn = false;
    bool m_busy = false;
    // A failed attempt handed the activation to a window of ours; its return
    // is not a new activation.
    bool m_skipActivation = false;
    QPointer<QWidget> m_sqlDialog;
};

} // namespace tv
