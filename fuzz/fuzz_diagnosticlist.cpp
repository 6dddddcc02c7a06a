// DiagnosticList.ini.
#include "diagnosticlist.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzInput input;
    DiagnosticList list;
    if (list.LoadBytes(FuzzInput::bytes(data, size))) {
        for (int row = 0; row < list.rowCount() + 1; ++row)
            for (int bit = 0; bit < DiagnosticList::BitSlots + 1; ++bit)
                (void)list.code(row, bit);
    }
    return 0;
}
