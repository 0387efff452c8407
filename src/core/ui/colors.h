#pragma once

#include <QColor>
#include <QtGlobal>

// Stored colours (themes, grid cells, swatches) are 32-bit values with red in the low byte:
// 0x00BBGGRR. A value with the high bit set names a system colour whose low byte is the
// index (5 window background, 8 window text, 15 button face, ...); those follow the
// application palette. All conversions to QColor go through here.
namespace tv::colors {

using ColorValue = quint32;

inline constexpr ColorValue kSystemFlag = 0x80000000u;

inline constexpr ColorValue rgb(int red, int green, int blue) {
    return (static_cast<ColorValue>(blue & 0xFF) << 16) |
           (static_cast<ColorValue>(green & 0xFF) << 8) | static_cast<ColorValue>(red & 0xFF);
}

inline constexpr bool isSystem(ColorValue value) {
    return (value & kSystemFlag) != 0;
}
inline constexpr ColorValue systemColor(int index) {
    return kSystemFlag | static_cast<ColorValue>(index & 0xFF);
}

// System colour indexes as stored values use them.
enum SystemIndex : int {
    ScrollBar = 0,
    Desktop = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkspace = 12,
    Highlight = 13,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    GrayText = 17,
    ButtonText = 18,
    InactiveCaptionText = 19,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBackground = 24,
    HotLight = 26,
    GradientActiveCaption = 27,
    GradientInactiveCaption = 28,
    MenuHighlight = 29,
    MenuBar = 30,
};

inline constexpr ColorValue kBlack = 0x000000;
inline constexpr ColorValue kWhite = 0xFFFFFF;
inline constexpr ColorValue kRed = 0x0000FF;
inline constexpr ColorValue kGreen = 0x00FF00; // 65280
inline constexpr ColorValue kBlue = 0xFF0000;

// Turns a system colour value into a plain 0x00BBGGRR value from the application palette.
// A plain value comes back unchanged with *ok = true; an unknown system index comes back
// unchanged with *ok = false (callers then use the value as it is).
ColorValue translate(ColorValue value, bool* ok = nullptr);

// The colour to paint with; system colours are translated first, the alpha is opaque.
QColor toQColor(ColorValue value);

// The stored value of a colour (alpha dropped).
ColorValue fromQColor(const QColor& color);

} // namespace tv::colors
