// Configuration files loaded against the shipped catalogue, which is read once;
// the values an input loaded are put back before the next one.
#include "fuzzinput.h"
#include "session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzInput input;
    static Session session(nullptr, nullptr);
    static const Catalogue::E2Snapshot shipped = [] {
        if (!session.catalogue.LoadRamList(FuzzInput::res("ini/Ramlist.ini")))
            __builtin_trap(); // the shipped list must load
        return session.catalogue.saveE2Values();
    }();
    (void)session.file.LoadConfigBytes(FuzzInput::bytes(data, size), QStringLiteral("input.cfg"));
    (void)session.file.BuildConfigText();
    session.catalogue.restoreE2Values(shipped);
    return 0;
}
