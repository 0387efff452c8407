#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>

class QShortcut;
class QWidget;

namespace tv {

namespace detail {
class NativeKeys;
}

// The four call keys of the call screen: F4 Next, F5 Recall, F6 Cancel, F7 Refresh, without
// modifiers. On X11 they are taken on the root window, so they work whichever program has the
// focus; where the desktop offers no such thing (Wayland, offscreen) they become shortcuts of
// the whole application and work only while one of our windows is active.
class CallKeys final : public QObject {
    Q_OBJECT

public:
    enum Id { Next = 0, Recall = 1, Cancel = 2, Refresh = 3 };
    enum class Mode { SystemWide, ApplicationOnly, None };
    static constexpr int keyCount = 4;

    // The window is the call screen: parent of the messages and, where keys can only be
    // application-wide, owner of the shortcuts. It may be destroyed before this object.
    explicit CallKeys(QWidget* window, QObject* parent = nullptr);
    ~CallKeys() override; // gives back what it took

    // Takes F4..F7 in that order. A key another program holds gets its message and stays
    // unassigned; the others are still taken. Keys already taken are left as they are.
    void regHkeys();
    bool taken(Id id) const;
    // Gives back the taken keys, F4 first.
    void release();

    // SystemWide on X11; ApplicationOnly on other platforms; None without a window there.
    Mode mode() const;
    // One line for the call screen's status, telling the operator where F4-F7 work.
    QString modeDescription() const;

    static QString keyName(Id id); // "F4" .. "F7"

signals:
    // On the user-interface thread, once per press (auto-repeat included), after the events
    // that were already pending have run.
    void pressed(int id);

private:
    bool take(int id);
    void giveBack(int id);
    void dispatch(int id);

    QPointer<QWidget> m_window;
    Mode m_mode = Mode::None;
    std::array<bool, keyCount> m_taken{};
    std::array<QPointer<QShortcut>, keyCount> m_shortcuts;
    std::unique_ptr<detail::NativeKeys> m_native;
};

} // namespace tv
