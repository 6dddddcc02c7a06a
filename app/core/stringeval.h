#pragma once

#include <QString>
#include <cstdint>

// The program's formula evaluator and the small text operations of the
// variable-list reader. Numbers in formulas use the default locale's decimal
// separator, detected at every evaluation.
namespace StringEval {

double EvaluateFormula(QString &text, int32_t x, int32_t y = 0, int32_t z = 0);

// Whole text when it has no "|", else alternative 1, 2 or 3 of it; any other
// selector gets the empty text.
QString SelectFormulaPart(const QString &text, int16_t selector);

// Text before the first TAB; `line` keeps what follows it (nothing without a TAB).
QString NextTabField(QString &line);
// The same with "|" as separator.
QString NextPipeField(QString &text);

// Every "." becomes the locale's decimal separator.
QString LocalizeDecimal(const QString &text);

} // namespace StringEval
