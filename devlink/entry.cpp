#include "devicelinkmanager.h"
#include "serialdevicelink.h"

// The symbol the program looks up after loading this library.
extern "C" Q_DECL_EXPORT IDeviceLinkManager *krvCreateDeviceLinkManager()
{
    try {
        return new DeviceLinkManager;
    } catch (...) {
        return nullptr;
    }
}

// The block side of a link made here; a link from elsewhere has none.
extern "C" Q_DECL_EXPORT IDeviceBlockLink *krvDeviceBlockLink(IDeviceLink *link)
{
    return dynamic_cast<SerialDeviceLink *>(link);
}
