// The controls' own formula evaluator: X, Y and Z from the first bytes, the formula after them.
#include "fuzzinput.h"
#include "streval.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes bytes(data, size);
    const auto x = bytes.take<int32_t>();
    const auto y = bytes.take<int32_t>();
    const auto z = bytes.take<int32_t>();
    QString formula = bytes.rest();
    (void)StrEval::EvaluateFormula(formula, x, y, z);
    return 0;
}
