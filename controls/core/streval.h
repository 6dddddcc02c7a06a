#pragma once

#include "tesseracore_global.h"

#include <QString>
#include <cstdint>

// The controls' own formula evaluator: "." is always the decimal point, Y and Z
// keep their sign, "+-" is left alone, and the result is a whole number.
namespace StrEval {

TESSERACORE_EXPORT int32_t EvaluateFormula(QString &text, int32_t x, int32_t y = 0, int32_t z = 0);

} // namespace StrEval
