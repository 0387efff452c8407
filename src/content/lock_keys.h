#pragma once

#include <optional>

namespace tv {

// Caps Lock and Num Lock as the keyboard's lights show them; unknown where
// the window system does not tell (no X server, the offscreen platform).
struct LockKeys {
    std::optional<bool> caps;
    std::optional<bool> num;
};
LockKeys lockKeys();

} // namespace tv
