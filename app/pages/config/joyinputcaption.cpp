#include "joyinputcaption.h"

#include "joyinputword.h"

namespace JoyInputCaption {

QString describe(uint16_t word, const QString &current)
{
    const JoyInputWord input(word);
    if (input.kind() == JoyInputWord::NoInput)
        return QString();
    if (input.kind() == JoyInputWord::AnalogueAxis) {
        const QString axis = JoyInputWord::axisName(input.axis());
        return axis.isNull() ? current : axis;
    }
    const QString off = QStringLiteral("OFF");
    return JoyInputWord::digitalInputName(input.lowInput(), off) + QLatin1Char('-')
        + JoyInputWord::digitalInputName(input.highInput(), off);
}

} // namespace JoyInputCaption
