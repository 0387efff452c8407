#include "hotkeys.h"

#include "core/ui/dialogs.h"
#include "hotkeys_native.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace tv {

namespace {

struct CallKey {
    int functionKey;
    Qt::Key qtKey;
};

// Index = id.
constexpr std::array<CallKey, CallKeys::keyCount> callKeys{{
    {4, Qt::Key_F4},
    {5, Qt::Key_F5},
    {6, Qt::Key_F6},
    {7, Qt::Key_F7},
}};

bool validId(int id) {
    return id >= 0 && id < CallKeys::keyCount;
}

} // namespace

CallKeys::CallKeys(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {
    m_native = detail::NativeKeys::create([this](int id) { dispatch(id); });
    if (m_native)
        m_mode = Mode::SystemWide;
    else if (window)
        m_mode = Mode::ApplicationOnly;
}

CallKeys::~CallKeys() {
    release();
}

QString CallKeys::keyName(Id id) {
    return validId(id) ? QStringLiteral("F%1").arg(callKeys[id].functionKey) : QString();
}

void CallKeys::regHkeys() {
    // Without a window or a desktop to take keys from there is nothing another program could
    // hold: no message, the status line says why the keys do nothing.
    if (m_mode == Mode::None) return;
    for (int id = 0; id < keyCount; ++id) {
        if (m_taken[id]) continue;
        m_taken[id] = take(id);
        if (!m_taken[id]) {
            Dialogs::message(m_window.data(),
                             QStringLiteral("Can not register all or one of the hotkeys %1 ... "
                                            "Try other keys this key is already registered by "
                                            "some other running applications.")
                                 .arg(keyName(Id(id))),
                             {}, QMessageBox::Critical);
        }
    }
}

bool CallKeys::taken(Id id) const {
    return validId(id) && m_taken[id];
}

void CallKeys::release() {
    for (int id = 0; id < keyCount; ++id) {
        if (!m_taken[id]) continue;
        giveBack(id);
        m_taken[id] = false;
    }
}

CallKeys::Mode CallKeys::mode() const {
    return m_mode;
}

QString CallKeys::modeDescription() const {
    switch (m_mode) {
    case Mode::SystemWide:
        return QStringLiteral("F4-F7 work whichever program has the focus on this desktop");
    case Mode::ApplicationOnly:
        return QStringLiteral("F4-F7 work only while Tallyvox has the focus on this desktop");
    case Mode::None:
        break;
    }
    return QStringLiteral("F4-F7 are not available on this desktop");
}

bool CallKeys::take(int id) {
    if (m_mode == Mode::SystemWide) return m_native->grab(id, callKeys[id].functionKey);
    if (!m_window) return false;
    // Application-wide, so the keys still reach the call screen while the operator works in
    // another of our windows; the shortcuts die with the window if it goes first.
    auto* shortcut = new QShortcut(QKeySequence(callKeys[id].qtKey), m_window.data());
    shortcut->setContext(Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, id] { dispatch(id); });
    m_shortcuts[id] = shortcut;
    return true;
}

void CallKeys::giveBack(int id) {
    if (m_mode == Mode::SystemWide) {
        m_native->ungrab(id);
    } else {
        delete m_shortcuts[id].data();
        m_shortcuts[id] = nullptr;
    }
}

void CallKeys::dispatch(int id) {
    // A timer tick or another key press already queued runs before this key's action, in the
    // order the operator saw things happen. What runs meanwhile may close the screen and
    // delete us.
    const QPointer<CallKeys> alive(this);
    QCoreApplication::processEvents();
    if (alive) emit pressed(id);
}

} // namespace tv
