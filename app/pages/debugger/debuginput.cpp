#include "debuginput.h"

#include "vbnumber.h"

#include <QRegularExpression>
#include <algorithm>

bool DebugInput::parseAddress(const QString &text, int32_t &address)
{
    QString digits = text.trimmed();
    digits.remove(QLatin1Char('.'));
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
    if (!hex.match(digits).hasMatch())
        return false;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 16);
    if (!ok || value > AddressMax)
        return false;
    address = static_cast<int32_t>(value);
    return true;
}

QString DebugInput::addressText(int32_t address)
{
    const QString digits =
        QStringLiteral("%1").arg(static_cast<uint32_t>(address), 6, 16, QLatin1Char('0')).toUpper().right(6);
    return digits.left(4) + QLatin1Char('.') + digits.right(2);
}

bool DebugInput::parseWordValue(const QString &text, int32_t &value)
{
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]{1,6}$"));
    const QString t = text.trimmed();
    if (!whole.match(t).hasMatch())
        return false;
    const int v = t.toInt();
    if (v < WordMin || v > WordMax)
        return false;
    value = v;
    return true;
}

int DebugInput::TextStringIsInteger(const QString &Text)
{
    double number = 0;
    const bool numeric = VbNumber::parseNumber(Text, number);
    const bool integer = numeric && Text.size() < 6 && !Text.contains(QLatin1Char('.'))
                         && !Text.contains(QLatin1Char(','));
    return integer ? 1 : 0;
}

bool DebugInput::parseDitherValue(const QString &text, int32_t minimum, int32_t maximum, int32_t &value)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+([.][0-9]*)?|[.][0-9]+)$"));
    if (!number.match(t).hasMatch())
        return false;
    const double v = VbNumber::roundHalfEven(t.toDouble());
    value = static_cast<int32_t>(std::clamp<double>(v, minimum, maximum));
    return true;
}
