// colour.ini: a failed load must leave the colours as they were.
#include "fuzzinput.h"
#include "sectioncolours.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzInput input;
    SectionColours colours;
    const SectionColours before = colours;
    if (colours.LoadColorFromBytes(FuzzInput::bytes(data, size)) != SectionColours::LoadResult::Loaded && !(colours == before))
        __builtin_trap();
    return 0;
}
