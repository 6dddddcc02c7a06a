#include "vbnumber.h"

#include <cmath>
#include <limits>

namespace VbNumber {

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    return std::nearbyint(value); // default rounding mode is to nearest, ties to even
}

bool toInt16(double value, int16_t &out)
{
    const double r = roundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0))
        return false;
    out = static_cast<int16_t>(r);
    return true;
}

bool toInt32(double value, int32_t &out)
{
    const double r = roundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return false;
    out = static_cast<int32_t>(r);
    return true;
}

int32_t saturateInt32(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = roundHalfEven(value);
    if (r <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    if (r >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

int16_t saturateInt16(double value)
{
    const int32_t v = saturateInt32(value);
    if (v < -32768)
        return -32768;
    if (v > 32767)
        return 32767;
    return static_cast<int16_t>(v);
}

static bool parseHex(QStringView digits, double &out)
{
    if (digits.isEmpty() || digits.size() > 8)
        return false;
    uint32_t v = 0;
    for (QChar c : digits) {
        const QChar u = c.toUpper();
        int d;
        if (u >= QLatin1Char('0') && u <= QLatin1Char('9'))
            d = u.unicode() - '0';
        else if (u >= QLatin1Char('A') && u <= QLatin1Char('F'))
            d = u.unicode() - 'A' + 10;
        else
            return false;
        v = (v << 4) | static_cast<uint32_t>(d);
    }
    if (digits.size() <= 4)
        out = static_cast<int16_t>(static_cast<uint16_t>(v));
    else
        out = static_cast<int32_t>(v);
    return true;
}

bool parseNumber(QStringView text, double &out)
{
    const QStringView t = text.trimmed();
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return parseHex(t.mid(2), out);
    int consumed = 0;
    const double v = leadingNumber(t, QLatin1Char('.'), &consumed);
    if (consumed == 0 || consumed != t.size())
        return false;
    // a lone sign or point is not a number
    bool anyDigit = false;
    for (QChar c : t)
        anyDigit = anyDigit || c.isDigit();
    if (!anyDigit)
        return false;
    out = v;
    return true;
}

double leadingNumber(QStringView text, QChar sep, int *consumed)
{
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    const int start = i;
    QString digits;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            digits += QLatin1Char('-');
        ++i;
    }
    bool seenDigit = false;
    bool seenSep = false;
    int end = start; // end of the longest valid prefix
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits += c;
            seenDigit = true;
            end = i + 1;
        } else if (c == sep && !seenSep) {
            digits += QLatin1Char('.');
            seenSep = true;
            if (seenDigit)
                end = i + 1;
        } else {
            break;
        }
    }
    if (!seenDigit) {
        if (consumed)
            *consumed = 0;
        return 0.0;
    }
    if (consumed)
        *consumed = end;
    // digits holds only ASCII digits, one '.', maybe '-': std::strtod reads it
    // locale-independently through QString::toDouble (C locale).
    bool ok = false;
    double v = digits.toDouble(&ok);
    if (!ok) {
        // a huge digit run overflows to infinity rather than failing
        v = digits.startsWith(QLatin1Char('-')) ? -std::numeric_limits<double>::infinity()
                                                : std::numeric_limits<double>::infinity();
    }
    return v;
}

QString plainDecimal(double value, QChar sep)
{
    if (value == 0.0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (sep != QLatin1Char('.'))
        s.replace(QLatin1Char('.'), sep);
    return s;
}

QChar decimalSeparator(const QLocale &locale)
{
    const QString dp = locale.decimalPoint();
    return dp.isEmpty() ? QLatin1Char('.') : dp.at(0);
}

QString format(double value, QStringView pattern, const QLocale &locale)
{
    if (pattern.isEmpty())
        return plainDecimal(value, decimalSeparator(locale));
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QStringView intPart = point < 0 ? pattern : pattern.left(point);
    const int decimals = point < 0 ? 0 : static_cast<int>(pattern.size() - point - 1);
    const bool grouping = intPart.contains(QLatin1Char(','));
    const int minIntDigits = static_cast<int>(intPart.count(QLatin1Char('0')));

    const double scale = std::pow(10.0, decimals);
    double scaled = std::round(std::fabs(value) * scale); // halves away from zero
    const bool negative = value < 0 && scaled != 0.0;
    QString digits = QString::number(scaled, 'f', 0);
    while (digits.size() < decimals + 1)
        digits.prepend(QLatin1Char('0'));
    QString intDigits = digits.left(digits.size() - decimals);
    const QString fracDigits = digits.right(decimals);
    while (intDigits.size() < minIntDigits)
        intDigits.prepend(QLatin1Char('0'));
    if (minIntDigits == 0 && intDigits == QLatin1String("0"))
        intDigits.clear();
    if (grouping) {
        const QString groupSep = locale.groupSeparator();
        for (qsizetype i = intDigits.size() - 3; i > 0; i -= 3)
            intDigits.insert(i, groupSep);
    }
    QString out = negative ? QStringLiteral("-") : QString();
    out += intDigits;
    if (decimals > 0)
        out += decimalSeparator(locale) + fracDigits;
    return out;
}

bool parseFormatted(QStringView text, double &out, const QLocale &locale)
{
    QString plain = text.toString();
    const QString group = locale.groupSeparator();
    if (!group.isEmpty())
        plain.remove(group);
    const QChar sep = decimalSeparator(locale);
    if (sep != QLatin1Char('.'))
        plain.replace(sep, QLatin1Char('.'));
    if (plain.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return false;
    return parseNumber(plain, out);
}

} // namespace VbNumber
