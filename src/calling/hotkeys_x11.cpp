// Call keys on X11: passive grabs on the root window of Qt's own connection.
#include "hotkeys_native.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <array>
#include <cstdlib>
#include <memory>
#include <utility>
#include <xcb/xcb.h>

// Last: Xlib defines macros (None, KeyPress, Bool) that would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tv::detail {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// The first keycode that produces the keysym, searching the columns in order as Xlib does.
xcb_keycode_t keycodeOf(xcb_connection_t* conn, xcb_keysym_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(conn);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - first + 1;
    const Reply<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
        conn, xcb_get_keyboard_mapping(conn, xcb_keycode_t(first), uint8_t(count)), nullptr));
    if (!map) return 0;
    const int perCode = map->keysyms_per_keycode;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int column = 0; column < perCode; ++column) {
        for (int code = 0; code < count; ++code) {
            if (syms[code * perCode + column] == keysym) return xcb_keycode_t(first + code);
        }
    }
    return 0;
}

// NumLock is whichever modifier its key is mapped to (Mod2 on the usual keymaps).
uint16_t modifierOf(xcb_connection_t* conn, xcb_keycode_t code) {
    if (code == 0) return 0;
    const Reply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(conn, xcb_get_modifier_mapping(conn), nullptr));
    if (!map) return 0;
    const int perModifier = map->keycodes_per_modifier;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (codes[modifier * perModifier + i] == code) return uint16_t(1u << modifier);
        }
    }
    return 0;
}

class X11Keys final : public NativeKeys, public QAbstractNativeEventFilter {
public:
    X11Keys(xcb_connection_t* conn, xcb_window_t root, PressHandler onPress)
        : m_conn(conn), m_root(root), m_onPress(std::move(onPress)) {
        m_numLock = modifierOf(conn, keycodeOf(conn, XK_Num_Lock));
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~X11Keys() override {
        // Once the application is going down Qt may have closed the connection already; the
        // server drops a client's grabs with the client anyway.
        if (QCoreApplication::closingDown()) return;
        for (int id = 0; id < int(m_codes.size()); ++id)
            ungrab(id);
    }

    bool grab(int id, int functionKey) override {
        if (id < 0 || id >= int(m_codes.size())) return false;
        const xcb_keycode_t code = keycodeOf(m_conn, xcb_keysym_t(XK_F1 + functionKey - 1));
        if (code == 0) return false;
        // A passive grab matches its modifiers exactly, so a lit NumLock or CapsLock would
        // let the key slip past: grab every combination of the two. owner_events stays false
        // so that even with our own window focused the press comes on the root window, the
        // one place the filter listens.
        const auto combos = lockCombinations();
        std::array<xcb_void_cookie_t, 4> cookies{};
        for (size_t i = 0; i < combos.size(); ++i) {
            cookies[i] = xcb_grab_key_checked(m_conn, 0, m_root, combos[i], code,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        }
        bool all = true;
        for (const xcb_void_cookie_t cookie : cookies) {
            if (xcb_generic_error_t* error = xcb_request_check(m_conn, cookie)) {
                all = false; // BadAccess: another client holds this combination
                std::free(error);
            }
        }
        if (!all) {
            // Half a key would fire or not depending on the lock lights: give back what we got.
            ungrabCode(code);
            return false;
        }
        m_codes[id] = code;
        return true;
    }

    void ungrab(int id) override {
        if (id < 0 || id >= int(m_codes.size()) || m_codes[id] == 0) return;
        ungrabCode(m_codes[id]);
        m_codes[id] = 0;
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        // Only our grabs deliver key presses on the root window, and they match exactly the
        // plain key with the lock combinations. F4 typed into one of our own windows while it
        // is not grabbed, or Shift+F4 at any time, comes on that window and is its business.
        if (key->event != m_root) return false;
        for (int id = 0; id < int(m_codes.size()); ++id) {
            if (m_codes[id] != 0 && m_codes[id] == key->detail) {
                // The handler may end with this object deleted: touch nothing after it.
                const PressHandler handler = m_onPress;
                handler(id);
                return true;
            }
        }
        return false;
    }

private:
    std::array<uint16_t, 4> lockCombinations() const {
        return {0, XCB_MOD_MASK_LOCK, m_numLock, uint16_t(XCB_MOD_MASK_LOCK | m_numLock)};
    }

    void ungrabCode(xcb_keycode_t code) {
        for (const uint16_t modifiers : lockCombinations())
            xcb_ungrab_key(m_conn, code, m_root, modifiers);
        xcb_flush(m_conn);
    }

    xcb_connection_t* m_conn;
    xcb_window_t m_root;
    PressHandler m_onPress;
    uint16_t m_numLock = 0;
    std::array<xcb_keycode_t, 4> m_codes{}; // by id; 0 while not grabbed
};

} // namespace

std::unique_ptr<NativeKeys> NativeKeys::create(PressHandler onPress) {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!app || !app->connection()) return nullptr;
    xcb_connection_t* conn = app->connection();
    // The root of the screen Qt was started on; without Xlib's view of it, the first screen.
    xcb_window_t root = 0;
    if (Display* display = app->display())
        root = xcb_window_t(DefaultRootWindow(display));
    else
        root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    return std::make_unique<X11Keys>(conn, root, std::move(onPress));
}

} // namespace tv::detail
