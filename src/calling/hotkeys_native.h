#pragma once

#include <functional>
#include <memory>

namespace tv::detail {

// Keys taken from the desktop for the whole session, whichever window has the focus.
// One implementation per windowing system; CallKeys keeps the table of which key is which.
class NativeKeys {
public:
    using PressHandler = std::function<void(int id)>;

    // nullptr when the application does not run on a desktop that lends its keys out.
    // The handler runs on the user-interface thread for each press of a taken key.
    static std::unique_ptr<NativeKeys> create(PressHandler onPress);

    virtual ~NativeKeys() = default; // gives back whatever is still taken

    // Takes function key F<functionKey> without modifiers under the given id;
    // false when another program holds it.
    virtual bool grab(int id, int functionKey) = 0;
    virtual void ungrab(int id) = 0;
};

} // namespace tv::detail
