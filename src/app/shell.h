#pragma once

#include <QObject>
#include <QPointer>

namespace tv {

class CallScreen;
class LoginWindow;
class MainWindow;
class Station;

// Leads a station from the splash to the screen of its role: the login, then
// the console and the display board for an administrator, the call screen for
// a counter. The program ends when the role's screen says so.
class Shell final : public QObject {
    Q_OBJECT

public:
    explicit Shell(Station& station, QObject* parent = nullptr);
    ~Shell() override;

    // The splash's hand-over: the login window, and with a station that logs
    // in by itself ("Display"/"Auto" = 1) its login once more.
    void afterSplash();

    LoginWindow* loginWindow() const;
    MainWindow* mainWindow() const;
    CallScreen* callScreen() const;

signals:
    void programEndRequested();

private:
    void adminLoggedIn();
    void counterLoggedIn();

    Station& m_station;
    QPointer<LoginWindow> m_login;
    QPointer<MainWindow> m_main;
    QPointer<CallScreen> m_call;
};

} // namespace tv
