#include "main_window.h"

#include "admin/company_window.h"
#include "admin/counter_screens.h"
#include "admin/department_screens.h"
#include "admin/service_screens.h"
#include "admin/settings_screen.h"
#include "admin/user_list_window.h"
#include "calling/call_screen.h"
#include "calling/counter_selection_window.h"
#include "calling/supervisor_call_screen.h"
#include "content/scroll_list.h"
#include "content/video_list.h"
#include "core/counter_filter.h"
#include "core/db_error.h"
#include "core/lookups.h"
#include "core/settings_store.h"
#include "core/station.h"
#include "core/ui/dialogs.h"
#include "core/ui/password_windows.h"
#include "core/ui/sql_settings_dialog.h"
#include "display/announcer.h"
#include "display/display_board.h"
#include "display/voice_player.h"
#include "reports/backup_screen.h"
#include "reports/clearing_screens.h"
#include "reports/grid_export.h"
#include "reports/report_screen.h"
#include "reports/statistics_screen.h"
#include "themes/theme_list_window.h"
#include "tickets/service_number_screens.h"
#include "tickets/ticket_screen.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace tv {

MainWindow::MainWindow(Station& station, QWidget* parent)
    : QMainWindow(parent), m_station(station), m_mdi(new QMdiArea(this)) {
    setObjectName(QStringLiteral("MDI"));
    setWindowTitle(QStringLiteral("Tallyvox"));
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdi);
    buildMenus();
    buildToolbar();
    resize(1000, 700);
    m_player = std::make_unique<MediaVoicePlayer>();
    m_announcer = std::make_unique<Announcer>(station, *m_player);
}

MainWindow::~MainWindow() {
    if (m_display) delete m_display.data();
    // The call screen opened from here is a window of its own; it goes with us.
    if (m_call) delete m_call.data();
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QString& caption, bool built) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    // A screen that is not there yet is shown disabled, never faked.
    a->setEnabled(built);
    return a;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File"));
    connect(addItem(file, "deptLst", QStringLiteral("Department List"), true), &QAction::triggered,
            this, &MainWindow::openDepartments);
    connect(addItem(file, "Servlst", QStringLiteral("Service List"), true), &QAction::triggered,
            this, &MainWindow::openServices);
    connect(addItem(file, "Counter", QStringLiteral("Manage Counter"), true), &QAction::triggered,
            this, &MainWindow::openCounters);
    connect(addItem(file, "servStartNo", QStringLiteral("Service Start No."), true),
            &QAction::triggered, this, &MainWindow::openStartNumbers);
    connect(addItem(file, "thmLst", QStringLiteral("Theme List"), true), &QAction::triggered, this,
            &MainWindow::openThemeList);
    connect(addItem(file, "scrollnews", QStringLiteral("Scroll News"), true), &QAction::triggered,
            this, &MainWindow::openScrollNews);
    connect(addItem(file, "Videolst", QStringLiteral("Video List"), true), &QAction::triggered,
            this, &MainWindow::openVideoList);
    connect(addItem(file, "compdet", QStringLiteral("Company Details"), true), &QAction::triggered,
            this, &MainWindow::openCompany);
    connect(addItem(file, "sendto", QStringLiteral("Send to Excel"), true), &QAction::triggered,
            this, &MainWindow::sendToExcel);
    connect(addItem(file, "exit", QStringLiteral("Exit"), true), &QAction::triggered, this,
            &MainWindow::exitProgram);

    QMenu* modules = menuBar()->addMenu(QStringLiteral("Modules"));
    modules->setObjectName(QStringLiteral("modules"));
    connect(addItem(modules, "printTicket", QStringLiteral("Print Ticket"), true),
            &QAction::triggered, this, [this] { openTicketScreen(false); });
    connect(addItem(modules, "call", QStringLiteral("Call"), true), &QAction::triggered, this,
            &MainWindow::openCallScreen);
    connect(addItem(modules, "settings", QStringLiteral("Settings"), true), &QAction::triggered,
            this, [this] {
                SettingsScreen screen(m_station, nullptr, this);
                screen.exec();
            });
    m_displayItem = addItem(modules, "display", QStringLiteral("Start Display"), true);
    connect(m_displayItem, &QAction::triggered, this, &MainWindow::startStopDisplay);
    connect(addItem(modules, "startNews", QStringLiteral("Start/Stop News"), true),
            &QAction::triggered, this, &MainWindow::startStopNews);
    connect(addItem(modules, "bkup", QStringLiteral("Backup & Restore"), true), &QAction::triggered,
            this, [this] { showChild(new BackupScreen(m_station)); });
    connect(addItem(modules, "connect", QStringLiteral("Connection"), true), &QAction::triggered,
            this, &MainWindow::openConnectionDialog);

    QMenu* users = menuBar()->addMenu(QStringLiteral("User Manage"));
    users->setObjectName(QStringLiteral("usermanage"));
    connect(addItem(users, "userLst", QStringLiteral("User List"), true), &QAction::triggered, this,
            &MainWindow::openUsers);
    connect(addItem(users, "chPass", QStringLiteral("Change Password"), true), &QAction::triggered,
            this, [this] {
                auto* w = new PasswordWindow(m_station, PasswordWindow::Role::Admin);
                w->setAttribute(Qt::WA_DeleteOnClose);
                w->show();
            });

    QMenu* clear = menuBar()->addMenu(QStringLiteral("Clear Data"));
    clear->setObjectName(QStringLiteral("clearData"));
    connect(addItem(clear, "clrTickData", QStringLiteral("Clear Ticket Data"), true),
            &QAction::triggered, this, [this] { showChild(new ClearDataScreen(m_station)); });
    connect(addItem(clear, "ClrCall", QStringLiteral("Clear Call Data"), true), &QAction::triggered,
            this, [this] { showChild(new CallDeleteScreen(m_station)); });

    QMenu* reports = menuBar()->addMenu(QStringLiteral("Reports"));
    reports->setObjectName(QStringLiteral("Reports"));
    const auto report = [this](ReportOps::Kind kind) {
        return [this, kind] { showChild(new ReportScreen(m_station, kind)); };
    };
    connect(addItem(reports, "deptBased", QStringLiteral("Department Based"), true),
            &QAction::triggered, this, report(ReportOps::Kind::Department));
    connect(addItem(reports, "servBase", QStringLiteral("Service Based"), true),
            &QAction::triggered, this, report(ReportOps::Kind::Service));
    connect(addItem(reports, "cntBased", QStringLiteral("Counter Based"), true),
            &QAction::triggered, this, report(ReportOps::Kind::Counter));
    connect(addItem(reports, "pendRep", QStringLiteral("Pending Report"), true),
            &QAction::triggered, this, report(ReportOps::Kind::Pending));
    connect(addItem(reports, "statistics", QStringLiteral("Statistics"), true), &QAction::triggered,
            this, [this] { showChild(new StatisticsScreen(m_station)); });

    QMenu* about = menuBar()->addMenu(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("About"));
    connect(addItem(about, "abtQ", QStringLiteral("About Tallyvox"), true), &QAction::triggered,
            this, [this] {
                Dialogs::message(this,
                                 QStringLiteral("Tallyvox %1\nQueue management for service halls")
                                     .arg(QCoreApplication::applicationVersion()),
                                 QStringLiteral("About Tallyvox"));
            });
}

void MainWindow::buildToolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    auto addButton = [&](const char* name, const QString& caption, bool built) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setEnabled(built);
        bar->addWidget(b);
        return b;
    };
    connect(addButton("Command1", QStringLiteral("Print Ticket"), true), &QToolButton::clicked,
            this, [this] { openTicketScreen(true); });
    connect(addButton("Command2", QStringLiteral("Add Scroll"), true), &QToolButton::clicked, this,
            &MainWindow::openScrollNews);
    connect(addButton("Command3", QStringLiteral("Transfer App"), true), &QToolButton::clicked,
            this, &MainWindow::openCounterSelection);
    connect(addButton("Command4", QStringLiteral("Call"), true), &QToolButton::clicked, this,
            &MainWindow::openSupervisorCallScreen);
    m_chkStart = new QCheckBox(QStringLiteral("Enable Scroll"), bar);
    m_chkStart->setObjectName(QStringLiteral("chkStart"));
    bar->addWidget(m_chkStart);
    connect(m_chkStart, &QCheckBox::clicked, this, &MainWindow::enableScrollClicked);
}

QAction* MainWindow::action(const QString& name) const {
    return findChild<QAction*>(name);
}

DisplayBoard* MainWindow::displayBoard() const {
    return m_display.data();
}

void MainWindow::startUp() {
    m_station.openConnection();
    // From here on a step that fails is passed over.
    try {
        m_station.themeNo =
            lookups::getThemeId(m_station, m_station.settings().text(keys::ThemeName));
    } catch (const DbError&) {
    }
    m_chkStart->setChecked(m_station.settings().number(keys::ThemeScroll) == 1);
    if (m_station.settings().number(keys::DisplayAuto) == 1) startStopDisplay();
    showDisplayBoard();
    showMinimized();
}

bool MainWindow::displayRunning() const {
    return m_displayItem->text() != QStringLiteral("Start Display");
}

void MainWindow::startStopDisplay() {
    if (m_station.themeNo == 0) {
        Dialogs::message(
            this, QStringLiteral("Please select a theme\r\nGo to Module Setting-> Select Theme"));
        return;
    }
    counter_filter::getList1Main(m_station);
    if (displayRunning()) {
        closeDisplayBoard();
        m_displayItem->setText(QStringLiteral("Start Display"));
        return;
    }
    showDisplayBoard();
    m_displayItem->setText(QStringLiteral("Stop Display"));
    if (m_chkStart->isChecked() && m_display) m_display->startTicker();
}

void MainWindow::showDisplayBoard() {
    if (!m_display) {
        auto* board = new DisplayBoard(m_station);
        board->setAttribute(Qt::WA_DeleteOnClose);
        connect(board, &DisplayBoard::announce, m_announcer.get(), &Announcer::speekNo);
        connect(m_announcer.get(), &Announcer::finished, board,
                &DisplayBoard::announcementFinished);
        m_display = board;
    }
    m_display->show();
}

void MainWindow::closeDisplayBoard() {
    if (m_display) m_display->close();
}

void MainWindow::enableScrollClicked() {
    m_station.settings().set(keys::ThemeScroll, m_chkStart->isChecked() ? 1 : 0);
    if (!displayRunning() || !m_display) return;
    if (m_chkStart->isChecked())
        m_display->getSnews();
    else
        m_display->stopTicker();
}

void MainWindow::startStopNews() {
    m_chkStart->setChecked(!m_chkStart->isChecked());
    enableScrollClicked();
}

void MainWindow::exitProgram() {
    if (Dialogs::question(this, QStringLiteral("Do you want to exit ")) != QMessageBox::Yes) return;
    // While the board runs, Exit does nothing: stop the display first.
    if (displayRunning()) return;
    emit programEndRequested();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    closeDisplayBoard();
    emit programEndRequested();
}

void MainWindow::showChild(QWidget* w) {
    w->setAttribute(Qt::WA_DeleteOnClose);
    const QSize wanted = w->size();
    QMdiSubWindow* sub = m_mdi->addSubWindow(w);
    // A child's own Close button takes its frame along, not only its contents.
    connect(w, &QObject::destroyed, sub, &QWidget::close);
    // A child keeps the size it asked for and opens at the console's top-left corner.
    sub->resize(wanted + (sub->size() - sub->contentsRect().size()) +
                QSize(0, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    sub->move(0, 0);
    sub->show();
}

void MainWindow::openTicketScreen(bool fromToolbar) {
    auto* screen = new TicketScreen(m_station);
    showChild(screen);
    if (fromToolbar && m_station.settings().text(keys::TicketScreen) != QStringLiteral("Normal"))
        screen->parentWidget()->showMaximized();
}

CallScreen* MainWindow::openCallScreen() {
    if (!m_call) {
        auto* screen = new CallScreen(m_station);
        screen->setAttribute(Qt::WA_DeleteOnClose);
        connect(screen, &CallScreen::programEndRequested, this, &MainWindow::programEndRequested);
        m_call = screen;
    }
    m_call->show();
    m_call->raise();
    return m_call.data();
}

void MainWindow::showOnce(QPointer<QWidget>& slot, const std::function<QWidget*()>& make) {
    if (!slot) {
        slot = make();
        showChild(slot);
        return;
    }
    // Shown again as it was left: a hidden supervisor screen keeps its counter.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(slot->parentWidget())) {
        frame->show();
        m_mdi->setActiveSubWindow(frame);
    }
}

void MainWindow::openDepartments() {
    showOnce(m_deptList, [this] { return new DeptListWindow(m_station); });
}

void MainWindow::openServices() {
    showOnce(m_servList, [this] { return new ServiceListWindow(m_station); });
}

void MainWindow::openCounters() {
    showOnce(m_cntList, [this] { return new CounterListWindow(m_station); });
}

void MainWindow::openUsers() {
    showOnce(m_userList, [this] { return new UserListWindow(m_station); });
}

void MainWindow::openCompany() {
    showOnce(m_company, [this] { return new CompanyWindow(m_station); });
}

void MainWindow::openSupervisorCallScreen() {
    showOnce(m_callAdmin, [this] {
        auto* screen = new SupervisorCallScreen(m_station);
        screen->setOperatorScreen([this] { return m_call.data(); });
        return screen;
    });
}

void MainWindow::openCounterSelection() {
    showOnce(m_selService, [this] {
        return new CounterSelectionWindow(m_station, [this] { return openCallScreen(); });
    });
}

void MainWindow::openThemeList() {
    showOnce(m_themeList, [this] { return new ThemeListWindow(m_station); });
}

void MainWindow::openStartNumbers() {
    showChild(new ServiceNoList(m_station));
}

void MainWindow::sendToExcel() {
    excel::SendToExcel send;
    send.run(qobject_cast<QWidget*>(m_station.exportSource.data()), this);
}

void MainWindow::openVideoList() {
    // Modal, as the list of what the board plays is kept in one go.
    auto* list = new VideoList(m_station, this);
    list->setWindowFlag(Qt::Window);
    list->setWindowModality(Qt::ApplicationModal);
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->move(mapToGlobal(QPoint(0, 0)));
    list->show();
}

void MainWindow::openScrollNews() {
    auto* list = new ScrollList(m_station);
    connect(list, &ScrollList::programEndRequested, this, &MainWindow::programEndRequested);
    showChild(list);
}

void MainWindow::openConnectionDialog() {
    SqlSettingsDialog dialog(m_station, this);
    dialog.exec();
}

} // namespace tv
