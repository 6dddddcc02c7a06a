#include "vbcolor.h"

#include <QGuiApplication>

namespace VbColor {

namespace {

// Palette role for each system colour index; indices not listed use Window.
QPalette::ColorRole roleFor(quint32 index)
{
    switch (index) {
    case 0x00: return QPalette::Button;          // scroll bar
    case 0x02: return QPalette::Highlight;       // active caption
    case 0x03: return QPalette::Mid;             // inactive caption
    case 0x05: return QPalette::Base;            // window background
    case 0x06: return QPalette::Shadow;          // window frame
    case 0x07: return QPalette::WindowText;      // menu text
    case 0x08: return QPalette::Text;            // window text
    case 0x09: return QPalette::HighlightedText; // caption text
    case 0x0D: return QPalette::Highlight;
    case 0x0E: return QPalette::HighlightedText;
    case 0x0F: return QPalette::Button;          // button face
    case 0x10: return QPalette::Dark;            // button shadow
    case 0x11: return QPalette::PlaceholderText; // grey text
    case 0x12: return QPalette::ButtonText;
    case 0x14: return QPalette::Light;           // button highlight
    case 0x15: return QPalette::Shadow;          // dark shadow
    case 0x16: return QPalette::Midlight;
    case 0x17: return QPalette::ToolTipText;
    case 0x18: return QPalette::ToolTipBase;
    default: return QPalette::Window;
    }
}

} // namespace

QColor toQColor(quint32 value, const QPalette *palette)
{
    if (isSystemColor(value)) {
        const QPalette pal = palette ? *palette : QGuiApplication::palette();
        return pal.color(QPalette::Active, roleFor(value & 0x00FFFFFFu));
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 fromQColor(const QColor &color)
{
    const QColor c = color.toRgb();
    return rgb(c.red(), c.green(), c.blue());
}

} // namespace VbColor
