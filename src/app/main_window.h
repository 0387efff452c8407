#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QMdiArea;
class QMenu;

namespace tv {

class Announcer;
class CallScreen;
class DisplayBoard;
class MediaVoicePlayer;
class Station;

// The administration console: menus and toolbar for every screen, the
// station's display switch (Start Display / Stop Display), the Enable Scroll
// switch, and the announcer the display board speaks through. Screens open
// as child windows at its top-left corner.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(Station& station, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up work: reconnect, the theme, the Enable Scroll box, the
    // automatic Start Display, show the board, minimise.
    void startUp();

    void startStopDisplay();
    void startStopNews();
    void enableScrollClicked();
    void exitProgram();
    bool displayRunning() const;
    DisplayBoard* displayBoard() const;
    QMdiArea* area() const { return m_mdi; }
    QCheckBox* enableScroll() const { return m_chkStart; }
    QAction* action(const QString& name) const;

    void openTicketScreen(bool fromToolbar);
    // The station's operator call screen: shown, and loaded first when it is not open.
    CallScreen* openCallScreen();
    void openStartNumbers();
    void openScrollNews();
    void openVideoList();
    void openConnectionDialog();
    // "Send to Excel": the report or clearing screen activated last.
    void sendToExcel();
    // The master-data windows and the supervisor's screens; each exists once,
    // opening it again brings it to the front.
    void openDepartments();
    void openServices();
    void openCounters();
    void openUsers();
    void openCompany();
    void openSupervisorCallScreen();
    void openCounterSelection();
    void openThemeList();

signals:
    // The program ends (Exit answered Yes, or the window closed).
    void programEndRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, bool built);
    void showChild(QWidget* w);
    // Shows the child window held by `slot`, made by `make` when there is none.
    void showOnce(QPointer<QWidget>& slot, const std::function<QWidget*()>& make);
    void showDisplayBoard();
    void closeDisplayBoard();

    Station& m_station;
    QMdiArea* m_mdi;
    QCheckBox* m_chkStart = nullptr;
    QAction* m_displayItem = nullptr;
    QPointer<DisplayBoard> m_display;
    QPointer<CallScreen> m_call;
    QPointer<QWidget> m_deptList;
    QPointer<QWidget> m_servList;
    QPointer<QWidget> m_cntList;
    QPointer<QWidget> m_userList;
    QPointer<QWidget> m_company;
    QPointer<QWidget> m_callAdmin;
    QPointer<QWidget> m_selService;
    QPointer<QWidget> m_themeList;
    std::unique_ptr<MediaVoicePlayer> m_player;
    std::unique_ptr<Announcer> m_announcer;
};

} // namespace tv
