#include "colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace tv::colors {

namespace {

struct PaletteEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Nearest palette role for each system colour index; -1 role means no such colour.
bool paletteEntry(int index, PaletteEntry* entry) {
    using P = QPalette;
    static constexpr struct {
        int index;
        P::ColorGroup group;
        P::ColorRole role;
    } table[] = {
        {ScrollBar, P::Active, P::Button},
        {Desktop, P::Active, P::Dark},
        {ActiveCaption, P::Active, P::Highlight},
        {InactiveCaption, P::Inactive, P::Mid},
        {Menu, P::Active, P::Window},
        {Window, P::Active, P::Base},
        {WindowFrame, P::Active, P::Shadow},
        {MenuText, P::Active, P::WindowText},
        {WindowText, P::Active, P::Text},
        {CaptionText, P::Active, P::HighlightedText},
        {ActiveBorder, P::Active, P::Window},
        {InactiveBorder, P::Inactive, P::Window},
        {AppWorkspace, P::Active, P::Mid},
        {Highlight, P::Active, P::Highlight},
        {HighlightText, P::Active, P::HighlightedText},
        {ButtonFace, P::Active, P::Button},
        {ButtonShadow, P::Active, P::Dark},
        {GrayText, P::Disabled, P::Text},
        {ButtonText, P::Active, P::ButtonText},
        {InactiveCaptionText, P::Inactive, P::Text},
        {ButtonHighlight, P::Active, P::Light},
        {DarkShadow3D, P::Active, P::Shadow},
        {Light3D, P::Active, P::Midlight},
        {InfoText, P::Active, P::ToolTipText},
        {InfoBackground, P::Active, P::ToolTipBase},
        {HotLight, P::Active, P::Link},
        {GradientActiveCaption, P::Active, P::Highlight},
        {GradientInactiveCaption, P::Inactive, P::Highlight},
        {MenuHighlight, P::Active, P::Highlight},
        {MenuBar, P::Active, P::Window},
    };
    for (const auto& row : table) {
        if (row.index == index) {
            *entry = {row.group, row.role};
            return true;
        }
    }
    return false;
}

QPalette appPalette() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        return QGuiApplication::palette();
    return QPalette();
}

} // namespace

ColorValue translate(ColorValue value, bool* ok) {
    if (ok != nullptr) *ok = true;
    if (!isSystem(value)) return value;
    PaletteEntry entry{};
    // Only the low byte is the index; anything else in the high bits is not a system colour.
    if ((value & 0x7FFFFF00u) != 0 || !paletteEntry(static_cast<int>(value & 0xFF), &entry)) {
        if (ok != nullptr) *ok = false;
        return value;
    }
    return fromQColor(appPalette().color(entry.group, entry.role));
}

QColor toQColor(ColorValue value) {
    const ColorValue plain = translate(value) & 0x00FFFFFFu;
    return QColor(static_cast<int>(plain & 0xFF), static_cast<int>((plain >> 8) & 0xFF),
                  static_cast<int>((plain >> 16) & 0xFF));
}

ColorValue fromQColor(const QColor& color) {
    const QColor c = color.toRgb();
    return rgb(c.red(), c.green(), c.blue());
}

} // namespace tv::colors
