#pragma once

#include "tesseracore_global.h"

#include <QChar>
#include <QString>

// The text-rewriting formula evaluator shared by the program's and the
// library's evaluator. Variables are substituted as decimal text, innermost
// parenthesised groups are replaced by their value, and the flat chain left is
// folded strictly left to right with no operator precedence.
class TESSERACORE_EXPORT FormulaEngine
{
public:
    struct Options
    {
        QChar decimalSeparator = QLatin1Char('.');
        bool foldPlusMinus = true;       // "+-" becomes "-" before folding
        bool absoluteYZ = true;          // Y and Z substituted without sign
    };

    explicit FormulaEngine(Options options) : m_options(options) {}

    // Rewrites `text` to its upper-case, substituted form and returns the value.
    // Any text gives a finite number: what cannot be evaluated gives 0.
    double evaluateFormula(QString &text, int32_t x, int32_t y, int32_t z) const;

private:
    double evaluateText(QString text) const;
    double foldChain(QString text) const;
    double readOperand(const QString &operand) const;
    static double apply(QChar op, double left, double right);

    Options m_options;
};
