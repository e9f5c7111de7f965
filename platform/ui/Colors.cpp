#include "platform/ui/Colors.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace {

// The classic Windows scheme, used without a GUI application and for indexes the palette lacks.
constexpr std::array<TColor, 31> kDefaults = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
};

std::optional<QPalette::ColorRole> PaletteRole(int index)
{
    switch (index) {
    case 4: return QPalette::Window;          // menu
    case 5: return QPalette::Base;            // window
    case 7: return QPalette::WindowText;      // menu text
    case 8: return QPalette::Text;            // window text
    case 12: return QPalette::Mid;            // application workspace
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;         // button face
    case 16: return QPalette::Dark;           // button shadow
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;          // button highlight
    case 21: return QPalette::Shadow;         // 3-D dark shadow
    case 22: return QPalette::Midlight;       // 3-D light
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    case 26: return QPalette::Link;           // hot light
    default: return std::nullopt;
    }
}

} // namespace

TColor ColorToRGB(TColor color)
{
    const auto value = static_cast<std::uint32_t>(color);
    if ((value & 0x80000000u) == 0)
        return static_cast<TColor>(value & 0x00FFFFFFu);
    const int index = static_cast<int>(value & 0xFFu);
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const QPalette palette = QGuiApplication::palette();
        if (index == 17)
            return FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
        if (auto role = PaletteRole(index))
            return FromQColor(palette.color(QPalette::Active, *role));
    }
    return index < static_cast<int>(kDefaults.size()) ? kDefaults[static_cast<std::size_t>(index)] : clBlack;
}

QColor ToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor &color)
{
    return RGBToColor(color.red(), color.green(), color.blue());
}
