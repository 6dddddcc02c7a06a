#include "devicelinkmanager.h"

#include "serialdevicelink.h"

bool DeviceLinkManager::Open(const QString &connection, QString *error)
{
    m_link.reset();
    const auto settings = ConnectionSettings::parse(connection, error);
    if (!settings)
        return false;
    auto line = std::make_shared<SerialLine>();
    if (!line->open(ConnectionSettings::devicePath(settings->comPort), *settings, error))
        return false;
    m_link = std::make_shared<SerialDeviceLink>(std::move(line), *settings);
    return true;
}

std::shared_ptr<IDeviceLink> DeviceLinkManager::DeviceLink_AddRef()
{
    return m_link;
}
