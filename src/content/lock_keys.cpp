#include "lock_keys.h"

#include <QGuiApplication>

// Xlib's headers define names (Bool, None, Status) that Qt's headers use:
// they come last and stay in this file.
#include <X11/XKBlib.h>

namespace tv {

LockKeys lockKeys() {
    LockKeys keys;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display()) return keys;
    Display* d = x11->display();
    const auto light = [d](const char* name) -> std::optional<bool> {
        Bool on = False;
        if (!XkbGetNamedIndicator(d, XInternAtom(d, name, False), nullptr, &on, nullptr, nullptr))
            return std::nullopt;
        return on != False;
    };
    keys.caps = light("Caps Lock");
    keys.num = light("Num Lock");
    return keys;
}

} // namespace tv
