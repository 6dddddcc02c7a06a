#include "vbpalette.h"

#include <QVariant>
#include <QWidget>
#include <array>

namespace VbColor {

void applyTo(QWidget *widget, QPalette::ColorRole role, quint32 value)
{
    // Indicators are set again on every word a monitor cycle reads, and a new
    // palette costs more than the word. A colour this function set last, and
    // that still stands, is left alone.
    static const auto keys = [] {
        std::array<QByteArray, QPalette::NColorRoles> names;
        for (int r = 0; r < QPalette::NColorRoles; ++r)
            names[r] = "vbColour" + QByteArray::number(r);
        return names;
    }();
    const char *key = keys[role].constData();
    const QColor colour = toQColor(value);
    const QVariant last = widget->property(key);
    if (last.isValid() && last.toUInt() == value && widget->palette().color(role) == colour
        && (role != QPalette::Window || widget->autoFillBackground()))
        return;
    QPalette pal = widget->palette();
    pal.setColor(role, colour);
    widget->setPalette(pal);
    if (role == QPalette::Window)
        widget->setAutoFillBackground(true);
    widget->setProperty(key, value);
}

} // namespace VbColor
