// JoylistNew.ini, with a picture folder that holds no pictures.
#include "fuzzinput.h"
#include "joycatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzInput input;
    JoyCatalogue joys;
    if (joys.LoadJoyCatalogueBytes(FuzzInput::bytes(data, size), input.folder())) {
        for (int i = -1; i <= JoyCatalogue::MaxRecords; ++i)
            (void)joys.picture(i);
    }
    return 0;
}
