// Ramlist.ini: the whole catalogue load, every line through the column reader
// and the default value through the formula of the line.
#include "catalogue.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzInput input;
    Catalogue catalogue;
    if (catalogue.LoadRamListBytes(FuzzInput::bytes(data, size), QStringLiteral("Ramlist.ini"))) {
        for (int i = 1; i < catalogue.VarCount; ++i)
            (void)catalogue.entry(i)->DisplayFromRaw(static_cast<int32_t>(size));
    }
    return 0;
}
