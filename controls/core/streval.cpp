#include "streval.h"

#include "formulaengine.h"
#include "vbnumber.h"

namespace StrEval {

int32_t EvaluateFormula(QString &text, int32_t x, int32_t y, int32_t z)
{
    FormulaEngine::Options options;
    options.decimalSeparator = QLatin1Char('.');
    options.foldPlusMinus = false;
    options.absoluteYZ = false;
    return VbNumber::saturateInt32(FormulaEngine(options).evaluateFormula(text, x, y, z));
}

} // namespace StrEval
