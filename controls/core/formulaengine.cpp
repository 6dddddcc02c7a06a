#include "formulaengine.h"

#include "vbnumber.h"

#include <cmath>

namespace {

bool isOperandChar(QChar c, QChar sep)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == sep;
}

double finiteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

} // namespace

double FormulaEngine::evaluateFormula(QString &text, int32_t x, int32_t y, int32_t z) const
{
    text = text.toUpper();
    if (text.contains(QLatin1Char('X')))
        text.replace(QLatin1Char('X'), QString::number(x));
    const auto yz = [this](int32_t v) {
        return m_options.absoluteYZ ? QString::number(std::llabs(static_cast<long long>(v)))
                                    : QString::number(v);
    };
    if (text.contains(QLatin1Char('Y')))
        text.replace(QLatin1Char('Y'), yz(y));
    if (text.contains(QLatin1Char('Z')))
        text.replace(QLatin1Char('Z'), yz(z));
    return finiteOrZero(evaluateText(text));
}

double FormulaEngine::evaluateText(QString text) const
{
    const QChar sep = m_options.decimalSeparator;
    if (text.contains(QLatin1Char(' ')))
        text.remove(QLatin1Char(' '));
    if (!text.contains(QLatin1Char('(')))
        return foldChain(text);

    while (true) {
        // innermost group: a "(" followed by a ")" before any further "("
        qsizetype open = -1;
        qsizetype close = -1;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('('))
                open = i;
            else if (text[i] == QLatin1Char(')') && open >= 0) {
                close = i;
                break;
            }
        }
        if (open < 0 || close < 0)
            break; // unbalanced: what is left folds, the stray brackets count as operators
        QString inner = text.mid(open + 1, close - open - 1);
        inner = inner.toUpper();
        const double v = finiteOrZero(evaluateText(inner));
        text.replace(open, close - open + 1, VbNumber::plainDecimal(v, sep));
    }

    double whole = 0;
    if (!text.isEmpty()) {
        int consumed = 0;
        whole = VbNumber::leadingNumber(text, sep, &consumed);
        if (consumed == text.size())
            return whole;
    }
    return foldChain(text);
}

double FormulaEngine::readOperand(const QString &operand) const
{
    return VbNumber::leadingNumber(operand, m_options.decimalSeparator);
}

double FormulaEngine::apply(QChar op, double left, double right)
{
    switch (op.unicode()) {
    case '+': return left + right;
    case '-': return left - right;
    case '*': return left * right;
    case '/': return left / right;
    case '^': return std::pow(left, right);
    case '&':
        return static_cast<double>(VbNumber::saturateInt32(left) & VbNumber::saturateInt32(right));
    default: return 0.0;
    }
}

double FormulaEngine::foldChain(QString text) const
{
    const QChar sep = m_options.decimalSeparator;
    if (m_options.foldPlusMinus)
        text.replace(QLatin1String("+-"), QLatin1String("-"));

    double running = 0.0;
    bool folded = false;
    QChar pending;
    QString operand;
    bool afterOperator = true; // at the start a sign belongs to the first number

    const auto foldOperand = [&]() {
        const double r = readOperand(operand);
        if (!folded) {
            running = r;
            folded = true;
        } else {
            running = apply(pending, running, r);
        }
    };

    for (QChar c : std::as_const(text)) {
        if (isOperandChar(c, sep)) {
            operand += c;
            afterOperator = false;
            continue;
        }
        if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && afterOperator && operand.isEmpty()) {
            // a sign right after an operator (or at the start) belongs to the next number
            operand += c;
            afterOperator = false;
            continue;
        }
        foldOperand();
        operand.clear();
        pending = c;
        afterOperator = true;
    }
    if (!operand.isEmpty())
        foldOperand();
    return running;
}
