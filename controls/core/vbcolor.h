#pragma once

#include "tesseracore_global.h"

#include <QColor>
#include <QPalette>
#include <cstdint>

// Colour values as the controller tools store them: 0x00BBGGRR for a plain
// colour, or a system colour index with the top bit set, which follows the
// desktop palette.
namespace VbColor {

constexpr quint32 WindowBackground = 0x80000005u; // plain window background
constexpr quint32 WindowText = 0x80000008u;
constexpr quint32 ButtonFace = 0x8000000Fu;
constexpr quint32 ButtonText = 0x80000012u;

constexpr quint32 rgb(int r, int g, int b)
{
    return quint32(r & 0xFF) | (quint32(g & 0xFF) << 8) | (quint32(b & 0xFF) << 16);
}

constexpr bool isSystemColor(quint32 value) { return (value & 0x80000000u) != 0; }

// THE conversion to a displayable colour. System colours take the matching
// role of `palette` (the application palette when none is given); an unknown
// system index gives the window colour.
TESSERACORE_EXPORT QColor toQColor(quint32 value, const QPalette *palette = nullptr);

// A plain colour value for a QColor (alpha dropped).
TESSERACORE_EXPORT quint32 fromQColor(const QColor &color);

} // namespace VbColor
