#include "stringeval.h"

#include "formulaengine.h"
#include "vbnumber.h"

namespace StringEval {

double EvaluateFormula(QString &text, int32_t x, int32_t y, int32_t z)
{
    FormulaEngine::Options options;
    options.decimalSeparator = VbNumber::decimalSeparator();
    options.foldPlusMinus = true;
    options.absoluteYZ = true;
    return FormulaEngine(options).evaluateFormula(text, x, y, z);
}

namespace {

QString nextField(QString &text, QChar separator)
{
    const qsizetype at = text.indexOf(separator);
    if (at < 0) {
        QString field = text;
        text.clear();
        return field;
    }
    QString field = text.left(at);
    text.remove(0, at + 1);
    return field;
}

} // namespace

QString NextTabField(QString &line)
{
    return nextField(line, QLatin1Char('\t'));
}

QString NextPipeField(QString &text)
{
    return nextField(text, QLatin1Char('|'));
}

QString SelectFormulaPart(const QString &text, int16_t selector)
{
    if (!text.contains(QLatin1Char('|')))
        return text;
    QString rest = text;
    QString parts[3];
    for (QString &part : parts)
        part = NextPipeField(rest);
    if (selector >= 1 && selector <= 3)
        return parts[selector - 1];
    return QString();
}

QString LocalizeDecimal(const QString &text)
{
    const QChar sep = VbNumber::decimalSeparator();
    if (sep == QLatin1Char('.'))
        return text;
    QString out = text;
    out.replace(QLatin1Char('.'), sep);
    return out;
}

} // namespace StringEval
