// Configuration files loaded against the shipped catalogue.
#include "fuzzinput.h"
#include "session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzInput input;
    Session session(nullptr, nullptr);
    if (!session.catalogue.LoadRamList(FuzzInput::res("ini/Ramlist.ini")))
        __builtin_trap(); // the shipped list must load
    (void)session.file.LoadConfig(input.file(data, size, QStringLiteral("input.cfg")), QStringLiteral("input.cfg"));
    (void)session.file.BuildConfigText();
    return 0;
}
