#pragma once

#include <QString>
#include <cstdint>

// The configuration word of a joystick input (KRV_JOY_<k>_CONFIG), four
// nibbles: kind (0 no input, 1 analogue axis, other: two digital inputs),
// axis number, first and second digital input number.
class JoyInputWord
{
public:
    enum Kind { NoInput = 0, AnalogueAxis = 1 };

    explicit JoyInputWord(int32_t word);

    int kind() const { return m_kind; }
    int axis() const { return m_axis; }
    int lowInput() const { return m_low; }
    int highInput() const { return m_high; }
    bool isDigital() const { return m_kind != NoInput && m_kind != AnalogueAxis; }

    // "X axis" .. "J axis", "n.a." / "n.a" for the unused numbers; a null
    // text for 8 to 15, which leave a caption as it was.
    static QString axisName(int axis);
    // "DI_" and the number with two digits; `noneText` for input 0.
    static QString digitalInputName(int number, const QString &noneText);

private:
    int m_kind;
    int m_axis;
    int m_low;
    int m_high;
};
