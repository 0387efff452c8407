#include "shell.h"

#include "calling/call_screen.h"
#include "core/counter_filter.h"
#include "core/settings_store.h"
#include "core/station.h"
#include "login_window.h"
#include "main_window.h"

namespace tv {

Shell::Shell(Station& station, QObject* parent) : QObject(parent), m_station(station) {}

Shell::~Shell() {
    delete m_login.data();
    delete m_call.data();
    delete m_main.data();
}

LoginWindow* Shell::loginWindow() const {
    return m_login.data();
}
MainWindow* Shell::mainWindow() const {
    return m_main.data();
}
CallScreen* Shell::callScreen() const {
    return m_call.data();
}

void Shell::afterSplash() {
    m_login = new LoginWindow(m_station);
    connect(m_login, &LoginWindow::adminLoggedIn, this, &Shell::adminLoggedIn);
    connect(m_login, &LoginWindow::counterLoggedIn, this, &Shell::counterLoggedIn);
    connect(m_login, &LoginWindow::exitRequested, this, &Shell::programEndRequested);
    m_login->show();
    // The remembered login runs when the window becomes active: ask for it.
    m_login->raise();
    m_login->activateWindow();
    if (m_station.settings().number(keys::DisplayAuto) == 1) m_login->loginAction();
}

void Shell::adminLoggedIn() {
    if (m_login) m_login->close();
    counter_filter::getList1Login(m_station);
    if (!m_main) {
        m_main = new MainWindow(m_station);
        connect(m_main, &MainWindow::programEndRequested, this, &Shell::programEndRequested);
        // The console's start-up work shows the board and minimises the console.
        m_main->startUp();
    }
}

void Shell::counterLoggedIn() {
    if (m_login) m_login->close();
    if (!m_call) {
        m_call = new CallScreen(m_station);
        connect(m_call, &CallScreen::programEndRequested, this, &Shell::programEndRequested);
        m_call->show();
    }
}

} // namespace tv
