#pragma once

#include "devicelinkapi.h"

#include <QString>
#include <map>
#include <memory>

class QLibrary;

// Creates components by their registered name. The registry is an ini file
// (res/ini/components.ini) whose [Components] section maps a name to a
// library file beside the program; the library is loaded on first use and
// stays loaded, since the objects it made may still be alive.
class ComponentFactory : public IDeviceLinkFactory
{
public:
    // Defaults: res/ini/components.ini and the program folder.
    ComponentFactory();
    ComponentFactory(QString registryPath, QString libraryFolder);
    ~ComponentFactory() override;

    std::unique_ptr<IDeviceLinkManager> create(const QString &progId) override;
    IDeviceBlockLink *blockLink(const QString &progId, IDeviceLink *link) override;

    // Why the last create() returned nothing.
    QString lastError() const { return m_lastError; }

private:
    QLibrary *library(const QString &file);
    // The registered library of a component, loaded; nullptr (lastError) when none.
    QLibrary *componentLibrary(const QString &progId, QString *fileName = nullptr);

    QString m_registryPath;
    QString m_libraryFolder;
    std::map<QString, std::unique_ptr<QLibrary>> m_libraries;
    QString m_lastError;
};
