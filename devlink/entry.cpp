#include "devicelinkmanager.h"

// The one symbol the program looks up after loading this library.
extern "C" Q_DECL_EXPORT IDeviceLinkManager *krvCreateDeviceLinkManager()
{
    try {
        return new DeviceLinkManager;
    } catch (...) {
        return nullptr;
    }
}
