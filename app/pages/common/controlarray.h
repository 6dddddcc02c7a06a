#pragma once

#include <QString>

// Elements of a control array are named "<array>_<index>" (TxtTRise_3), so
// tests and the shared routines find them by name.
namespace ControlArray {

inline QString name(const QString &array, int index)
{
    return array + QLatin1Char('_') + QString::number(index);
}

} // namespace ControlArray
