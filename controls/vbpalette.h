#pragma once

#include "tessera_global.h"
#include "vbcolor.h"

class QWidget;

namespace VbColor {

// Paints one colour role of a widget with a colour value; a background
// (Window role) also makes the widget fill it.
TESSERA_EXPORT void applyTo(QWidget *widget, QPalette::ColorRole role, quint32 value);

} // namespace VbColor
