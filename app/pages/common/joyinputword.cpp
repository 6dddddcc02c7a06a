#include "joyinputword.h"

JoyInputWord::JoyInputWord(int32_t word)
{
    const auto bits = static_cast<uint16_t>(word);
    m_kind = bits & 15;
    m_axis = (bits >> 4) & 15;
    m_low = (bits >> 8) & 15;
    m_high = (bits >> 12) & 15;
}

QString JoyInputWord::axisName(int axis)
{
    static const char *const names[] = {"X axis", "Y axis", "n.a.", "n.a", "W axis", "Z axis", "J axis", "n.a."};
    if (axis < 0 || axis >= int(std::size(names)))
        return QString();
    return QString::fromLatin1(names[axis]);
}

QString JoyInputWord::digitalInputName(int number, const QString &noneText)
{
    if (number == 0)
        return noneText;
    return QStringLiteral("DI_%1").arg(number, 2, 10, QLatin1Char('0'));
}
