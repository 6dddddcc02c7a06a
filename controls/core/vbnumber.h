#pragma once

#include "tesseracore_global.h"

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <cstdint>

// Number conversions with the rounding and range rules the controller files use.
namespace VbNumber {

// Nearest whole number, halves to the even one.
TESSERACORE_EXPORT double roundHalfEven(double value);

// Nearest whole number in range; false (value untouched) when it does not fit.
TESSERACORE_EXPORT bool toInt16(double value, int16_t &out);
TESSERACORE_EXPORT bool toInt32(double value, int32_t &out);

// Nearest whole 32-bit number, saturating at the limits; NaN gives 0.
TESSERACORE_EXPORT int32_t saturateInt32(double value);
// Same for 16 bits.
TESSERACORE_EXPORT int16_t saturateInt16(double value);

// A whole text as a number: optional spaces, sign, digits with "." as decimal
// point, or "&H" followed by hexadecimal digits (4 digits or fewer read as a
// signed 16-bit word, 5 to 8 as a signed 32-bit one). False when it is not one.
TESSERACORE_EXPORT bool parseNumber(QStringView text, double &out);

// The longest leading part of the text that forms a decimal number with the
// given decimal separator (leading spaces skipped); 0 when there is none.
// `consumed` receives the number of characters that formed the number.
TESSERACORE_EXPORT double leadingNumber(QStringView text, QChar decimalSeparator = QLatin1Char('.'),
                                    int *consumed = nullptr);

// Plain decimal text (never exponent form), shortest form that reads back to
// the same double, with the given decimal separator and no grouping.
TESSERACORE_EXPORT QString plainDecimal(double value, QChar decimalSeparator = QLatin1Char('.'));

// The locale's decimal separator (the default QLocale unless one is given).
TESSERACORE_EXPORT QChar decimalSeparator(const QLocale &locale = QLocale());

// Number pattern formatting for the patterns the program uses: "##,##0.0",
// "####0", "###0", "####0.0", "00000". A "," asks for thousands grouping, the
// count of "0" before the point is the minimum number of integer digits, the
// digits after the point the number of decimals. Halves round away from zero.
// An empty pattern gives the plain number with the locale's decimal separator.
TESSERACORE_EXPORT QString format(double value, QStringView pattern, const QLocale &locale = QLocale());

// Reads back a number as `format` writes it: the locale's group separators are
// skipped and its decimal separator is the point. False when it is not one.
TESSERACORE_EXPORT bool parseFormatted(QStringView text, double &out, const QLocale &locale = QLocale());

} // namespace VbNumber
