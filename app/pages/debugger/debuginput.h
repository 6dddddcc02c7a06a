#pragma once

#include <QString>
#include <cstdint>

// The texts a technician types on the debugger page: addresses as six
// hexadecimal digits with a point before the last two (1234.AB), word values
// and dither settings.
class DebugInput
{
public:
    // Words are sent as their low 16 bits, so both the signed and the unsigned
    // reading of a word are accepted.
    static constexpr int32_t WordMin = -32768;
    static constexpr int32_t WordMax = 65535;
    static constexpr int32_t AddressMax = 0xFFFFFF;

    // Every "." removed, the rest read as hexadecimal: 1234.AB and 1234AB are
    // the same word. False for anything that is not a 24-bit hexadecimal number.
    static bool parseAddress(const QString &text, int32_t &address);
    // Six digits, zero padded, only the last six kept, "." before the last two.
    static QString addressText(int32_t address);

    // A whole decimal number in the range of a word; false for anything else.
    static bool parseWordValue(const QString &text, int32_t &value);

    // 1 when the text is numeric, shorter than six characters and holds
    // neither "." nor ",", else 0.
    static int TextStringIsInteger(const QString &Text);

    // A dither entry: a number with "," or "." as decimal separator, taken to
    // the nearest whole number and limited to [minimum, maximum].
    static bool parseDitherValue(const QString &text, int32_t minimum, int32_t maximum, int32_t &value);
};
