#include "componentfactory.h"

#include "respaths.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QSettings>

ComponentFactory::ComponentFactory()
    : ComponentFactory(ResPaths::res(QStringLiteral("ini/components.ini")), ResPaths::binaryFolder())
{
}

ComponentFactory::ComponentFactory(QString registryPath, QString libraryFolder)
    : m_registryPath(std::move(registryPath)), m_libraryFolder(std::move(libraryFolder))
{
}

ComponentFactory::~ComponentFactory() = default;

QLibrary *ComponentFactory::library(const QString &file)
{
    const QString path = QFileInfo(file).isAbsolute() ? file : QDir(m_libraryFolder).filePath(file);
    auto &slot = m_libraries[path];
    if (!slot) {
        slot = std::make_unique<QLibrary>(path);
        if (!slot->load()) {
            m_lastError = slot->errorString();
            slot.reset();
            m_libraries.erase(path);
            return nullptr;
        }
    }
    return slot.get();
}

QLibrary *ComponentFactory::componentLibrary(const QString &progId, QString *fileName)
{
    if (!QFileInfo::exists(m_registryPath)) {
        m_lastError = QStringLiteral("no component registry at ") + m_registryPath;
        return nullptr;
    }
    QSettings registry(m_registryPath, QSettings::IniFormat);
    const QString file = registry.value(QStringLiteral("Components/") + progId).toString();
    if (file.isEmpty()) {
        m_lastError = QStringLiteral("no component is registered as ") + progId;
        return nullptr;
    }
    if (fileName)
        *fileName = file;
    return library(file);
}

std::unique_ptr<IDeviceLinkManager> ComponentFactory::create(const QString &progId)
{
    m_lastError.clear();
    QString file;
    QLibrary *lib = componentLibrary(progId, &file);
    if (!lib)
        return nullptr;
    auto entry = reinterpret_cast<KrvCreateDeviceLinkManagerFn>(lib->resolve(KRV_DEVLINK_ENTRY));
    if (!entry) {
        m_lastError = file + QStringLiteral(" is not a device-link component");
        return nullptr;
    }
    return std::unique_ptr<IDeviceLinkManager>(entry());
}

IDeviceBlockLink *ComponentFactory::blockLink(const QString &progId, IDeviceLink *link)
{
    QLibrary *lib = link ? componentLibrary(progId) : nullptr;
    auto entry = lib ? reinterpret_cast<KrvDeviceBlockLinkFn>(lib->resolve(KRV_DEVLINK_BLOCK_ENTRY)) : nullptr;
    return entry ? entry(link) : nullptr;
}
