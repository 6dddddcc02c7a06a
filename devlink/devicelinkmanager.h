#pragma once

#include "devicelinkapi.h"
#include "serialline.h"

#include <memory>

class SerialDeviceLink;

// "DevLinkMng.DeviceLinkMng.1": opens the serial port named by the
// connection string and hands out the device link that talks over it.
class DeviceLinkManager : public IDeviceLinkManager
{
public:
    bool Open(const QString &connection, QString *error = nullptr) override;
    std::shared_ptr<IDeviceLink> DeviceLink_AddRef() override;

private:
    std::shared_ptr<SerialDeviceLink> m_link;
};
