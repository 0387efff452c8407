// The call keys F4..F7. Offscreen they are shortcuts of the whole application; on an X server
// (CTest runs this program a second time under xvfb-run) they are taken from the desktop, and
// another X client on its own connection stands in for another running program.
#include "calling/hotkeys.h"
#include "core/ui/dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <X11/keysym.h>
#include <cstdlib>
#include <xcb/xcb.h>

using namespace tv;

namespace {

QString heldMessage(const QString& key) {
    return QStringLiteral("Can not register all or one of the hotkeys %1 ... Try other keys this "
                          "key is already registered by some other running applications.")
        .arg(key);
}

QList<int> ids(const QSignalSpy& spy) {
    QList<int> out;
    for (const QList<QVariant>& args : spy)
        out.append(args.at(0).toInt());
    return out;
}

// A top-level window that records the function keys reaching it the ordinary way.
class KeyWindow final : public QWidget {
public:
    QList<int> keys;

    [[nodiscard]] bool activate() {
        show();
        activateWindow();
        return QTest::qWaitForWindowActive(this);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Lock and Shift presses of the test come here too; only F-keys matter.
        if (event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F35) keys.append(event->key());
        QWidget::keyPressEvent(event);
    }
};

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Types keys as a person would: XTest events that honour grabs, not events sent to a window.
bool typeKeys(const QString& keys) {
    const QString program = qEnvironmentVariableIsSet("TALLYVOX_XDOTOOL")
                                ? qEnvironmentVariable("TALLYVOX_XDOTOOL")
                                : QStringLiteral("xdotool");
    QProcess xdotool;
    xdotool.start(program, {QStringLiteral("key"), keys});
    return xdotool.waitForFinished() && xdotool.exitStatus() == QProcess::NormalExit &&
           xdotool.exitCode() == 0;
}

// Another program on the same X server: its own connection, its own grabs and events.
class OtherClient final {
public:
    OtherClient() {
        int screenNo = 0;
        m_conn = xcb_connect(nullptr, &screenNo);
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_conn));
        for (; screenNo > 0 && it.rem > 1; --screenNo)
            xcb_screen_next(&it);
        m_root = it.data->root;
    }
    ~OtherClient() { xcb_disconnect(m_conn); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool connected() const { return xcb_connection_has_error(m_conn) == 0; }

    bool grab(xcb_keysym_t keysym, uint16_t modifiers = 0) {
        const xcb_void_cookie_t cookie =
            xcb_grab_key_checked(m_conn, 0, m_root, modifiers, keycode(keysym), XCB_GRAB_MODE_ASYNC,
                                 XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(m_conn, cookie);
        std::free(error);
        return error == nullptr;
    }

    // True once a press of the key has come to this client.
    bool received(xcb_keysym_t keysym) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_conn)) {
            if ((event->response_type & 0x7f) == XCB_KEY_PRESS)
                m_pressed.append(reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
            std::free(event);
        }
        return m_pressed.contains(keycode(keysym));
    }

    // The modifier and lock state of the keyboard as the server has it.
    uint16_t modifierState() {
        xcb_query_pointer_reply_t* reply =
            xcb_query_pointer_reply(m_conn, xcb_query_pointer(m_conn, m_root), nullptr);
        const uint16_t state = reply ? reply->mask : 0;
        std::free(reply);
        return state;
    }

    xcb_keycode_t keycode(xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(m_conn);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
            m_conn, xcb_get_keyboard_mapping(m_conn, setup->min_keycode, uint8_t(count)), nullptr);
        xcb_keycode_t found = 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        for (int code = 0; code < count && found == 0; ++code) {
            if (syms[code * map->keysyms_per_keycode] == keysym)
                found = xcb_keycode_t(setup->min_keycode + code);
        }
        std::free(map);
        return found;
    }

private:
    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_root = 0;
    QList<xcb_keycode_t> m_pressed;
};

} // namespace

class HotkeysTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Dialogs::setTestMode(true); }
    void init() { Dialogs::clearMessages(); }
    void cleanup() {
        // A failed test must not leave NumLock or CapsLock lit for the next one.
        if (!onX11()) return;
        OtherClient probe;
        const uint16_t state = probe.modifierState();
        if (state & XCB_MOD_MASK_2) typeKeys(QStringLiteral("Num_Lock"));
        if (state & XCB_MOD_MASK_LOCK) typeKeys(QStringLiteral("Caps_Lock"));
    }

    // ---- no desktop to take keys from: shortcuts of the application ----

    void applicationWideKeys() {
        if (onX11()) QSKIP("runs offscreen; on X11 the keys are taken from the desktop");
        KeyWindow callScreen;
        callScreen.show();
        KeyWindow otherWindow;
        QVERIFY(otherWindow.activate());

        CallKeys keys(&callScreen);
        QCOMPARE(keys.mode(), CallKeys::Mode::ApplicationOnly);
        QSignalSpy spy(&keys, &CallKeys::pressed);
        keys.regHkeys();
        keys.regHkeys(); // taken twice, a key would be ambiguous and fire no more
        QCOMPARE(Dialogs::shownTexts(), QStringList());
        for (const CallKeys::Id id :
             {CallKeys::Next, CallKeys::Recall, CallKeys::Cancel, CallKeys::Refresh})
            QVERIFY(keys.taken(id));

        // Another of our windows is active: the keys still belong to the call screen.
        for (const Qt::Key key : {Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7})
            QTest::keyClick(&otherWindow, key);
        QTest::keyClick(&otherWindow, Qt::Key_F4);
        QCOMPARE(ids(spy), QList<int>({0, 1, 2, 3, 0}));
        QCOMPARE(otherWindow.keys, QList<int>());

        keys.release();
        for (const CallKeys::Id id :
             {CallKeys::Next, CallKeys::Recall, CallKeys::Cancel, CallKeys::Refresh})
            QVERIFY(!keys.taken(id));
        QTest::keyClick(&otherWindow, Qt::Key_F4);
        QTest::keyClick(&otherWindow, Qt::Key_F7);
        QCOMPARE(spy.count(), 5);
        QCOMPARE(otherWindow.keys, QList<int>({Qt::Key_F4, Qt::Key_F7}));

        // Gone with the object that took them, even without release().
        {
            CallKeys again(&callScreen);
            again.regHkeys();
        }
        QTest::keyClick(&otherWindow, Qt::Key_F5);
        QCOMPARE(otherWindow.keys, QList<int>({Qt::Key_F4, Qt::Key_F7, Qt::Key_F5}));
    }

    void pendingEventsRunBeforeTheKey() {
        if (onX11()) QSKIP("runs offscreen");
        KeyWindow callScreen;
        QVERIFY(callScreen.activate());
        CallKeys keys(&callScreen);
        keys.regHkeys();
        QStringList order;
        connect(&keys, &CallKeys::pressed, this,
                [&order](int id) { order << QString::number(id); });
        // A timer tick already waiting when the key comes runs first.
        QMetaObject::invokeMethod(
            this, [&order] { order << QStringLiteral("tick"); }, Qt::QueuedConnection);
        QTest::keyClick(&callScreen, Qt::Key_F5);
        QCOMPARE(order, QStringList({"tick", "1"}));
    }

    void closedWhilePendingEventsRun() {
        if (onX11()) QSKIP("runs offscreen");
        KeyWindow callScreen;
        QVERIFY(callScreen.activate());
        auto* keys = new CallKeys(&callScreen);
        keys->regHkeys();
        bool pressed = false;
        connect(keys, &CallKeys::pressed, this, [&pressed] { pressed = true; });
        // An event already waiting closes the screen: the key then comes to nothing.
        QMetaObject::invokeMethod(
            this,
            [&keys] {
                delete keys;
                keys = nullptr;
            },
            Qt::QueuedConnection);
        QTest::keyClick(&callScreen, Qt::Key_F4);
        QVERIFY(!keys);
        QVERIFY(!pressed);
    }

    void missingOrVanishedWindow() {
        if (onX11()) QSKIP("runs offscreen; on X11 no window is needed");
        CallKeys noWindow(nullptr);
        QCOMPARE(noWindow.mode(), CallKeys::Mode::None);
        noWindow.regHkeys();
        QVERIFY(!noWindow.taken(CallKeys::Next));
        QCOMPARE(Dialogs::shownTexts(), QStringList());

        // The screen may be deleted before the keys object; giving back must not touch it.
        auto* callScreen = new KeyWindow;
        CallKeys keys(callScreen);
        keys.regHkeys();
        QVERIFY(keys.taken(CallKeys::Refresh));
        delete callScreen;
        keys.release();
        QVERIFY(!keys.taken(CallKeys::Refresh));

        // As the call screen holds them: a child of the window whose shortcuts it made.
        auto* screen = new KeyWindow;
        auto* owned = new CallKeys(screen, screen);
        owned->regHkeys();
        QSignalSpy destroyed(owned, &QObject::destroyed);
        delete screen;
        QCOMPARE(destroyed.count(), 1);
    }

    // ---- X11: the keys taken from the whole desktop ----

    void desktopKeysWhicheverWindowHasFocus() {
        if (!onX11()) QSKIP("needs an X server (CTest runs this under xvfb-run)");
        KeyWindow callScreen;
        callScreen.show();
        KeyWindow otherWindow;
        QVERIFY(otherWindow.activate());

        CallKeys keys(&callScreen);
        QCOMPARE(keys.mode(), CallKeys::Mode::SystemWide);
        QSignalSpy spy(&keys, &CallKeys::pressed);
        keys.regHkeys();
        QCOMPARE(Dialogs::shownTexts(), QStringList());
        for (const CallKeys::Id id :
             {CallKeys::Next, CallKeys::Recall, CallKeys::Cancel, CallKeys::Refresh})
            QVERIFY(keys.taken(id));

        // Each press is awaited before the next, so a doubled press shows up as a wrong list.
        QList<int> expected;
        const QStringList names{"F4", "F5", "F6", "F7"};
        for (int id = 0; id < names.size(); ++id) {
            QVERIFY(typeKeys(names[id]));
            expected << id;
            QTRY_COMPARE(ids(spy), expected);
        }

        // Our own call screen focused: the press still comes once, through the grab.
        QVERIFY(callScreen.activate());
        QVERIFY(typeKeys("F4"));
        QVERIFY(typeKeys("F5"));
        expected << 0 << 1;
        QTRY_COMPARE(ids(spy), expected);

        // With the lock keys lit the keys still count as plain F-keys.
        QVERIFY(typeKeys("Num_Lock"));
        QVERIFY(typeKeys("F7"));
        expected << 3;
        QTRY_COMPARE(ids(spy), expected);
        QVERIFY(typeKeys("Caps_Lock"));
        QVERIFY(typeKeys("F6"));
        expected << 2;
        QTRY_COMPARE(ids(spy), expected);
        QVERIFY(typeKeys("Num_Lock"));
        QVERIFY(typeKeys("F6"));
        expected << 2;
        QTRY_COMPARE(ids(spy), expected);
        QVERIFY(typeKeys("Caps_Lock"));

        // Shift+F4 is not a call key: it reaches the focused window and nothing fires.
        QVERIFY(typeKeys("shift+F4"));
        QTRY_COMPARE(callScreen.keys, QList<int>({Qt::Key_F4}));
        QCOMPARE(ids(spy), expected);
        QCOMPARE(otherWindow.keys, QList<int>());
    }

    void keysHeldByAnotherProgram() {
        if (!onX11()) QSKIP("needs an X server (CTest runs this under xvfb-run)");
        OtherClient other;
        QVERIFY(other.connected());
        QVERIFY(other.grab(XK_F6));
        // Only with NumLock: the rest of F7 would be ours, but half a key is no key.
        QVERIFY(other.grab(XK_F7, XCB_MOD_MASK_2));

        KeyWindow callScreen;
        QVERIFY(callScreen.activate());
        CallKeys keys(&callScreen);
        QSignalSpy spy(&keys, &CallKeys::pressed);
        keys.regHkeys();
        QCOMPARE(Dialogs::shownTexts(), QStringList({heldMessage("F6"), heldMessage("F7")}));
        for (const Dialogs::Shown& shown : Dialogs::shownMessages())
            QCOMPARE(shown.icon, QMessageBox::Critical);
        QVERIFY(keys.taken(CallKeys::Next));
        QVERIFY(keys.taken(CallKeys::Recall));
        QVERIFY(!keys.taken(CallKeys::Cancel));
        QVERIFY(!keys.taken(CallKeys::Refresh));

        QVERIFY(typeKeys("F6"));
        QTRY_VERIFY(other.received(XK_F6));
        QVERIFY(typeKeys("F7")); // NumLock off: nobody's grab, so the focused window's key
        QTRY_COMPARE(callScreen.keys, QList<int>({Qt::Key_F7}));
        QCOMPARE(spy.count(), 0);

        QVERIFY(typeKeys("F4"));
        QVERIFY(typeKeys("F5"));
        QTRY_COMPARE(ids(spy), QList<int>({0, 1}));
    }

    void keysGivenBack() {
        if (!onX11()) QSKIP("needs an X server (CTest runs this under xvfb-run)");
        KeyWindow callScreen;
        QVERIFY(callScreen.activate());
        {
            CallKeys keys(&callScreen);
            QSignalSpy spy(&keys, &CallKeys::pressed);
            keys.regHkeys();
            OtherClient other;
            QVERIFY(!other.grab(XK_F4)); // ours while taken

            keys.release();
            QVERIFY(!keys.taken(CallKeys::Next));
            // F4 is an ordinary key of the focused window again, also to our own filter.
            QVERIFY(typeKeys("F4"));
            QTRY_COMPARE(callScreen.keys, QList<int>({Qt::Key_F4}));
            QCOMPARE(spy.count(), 0);
            for (const xcb_keysym_t key : {XK_F4, XK_F5, XK_F6, XK_F7}) {
                QVERIFY(other.grab(key));
                QVERIFY(other.grab(key, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK));
            }
        }
        {
            CallKeys keys(&callScreen);
            keys.regHkeys();
            QVERIFY(keys.taken(CallKeys::Refresh));
        }
        // The destructor gave them back.
        OtherClient other;
        for (const xcb_keysym_t key : {XK_F4, XK_F5, XK_F6, XK_F7})
            QVERIFY(other.grab(key));
    }
};

QTEST_MAIN(HotkeysTest)
#include "test_hotkeys.moc"
