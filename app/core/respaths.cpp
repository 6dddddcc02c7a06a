#include "respaths.h"

#include "writablepaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

// The installed data folder as seen from the installed programs; the build
// sets it from the install layout.
#ifndef KRV_INSTALLED_DATA
#define KRV_INSTALLED_DATA "../../share/krvstudio"
#endif

namespace ResPaths {

QString binaryFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString programFolderFor(const QString &binaryFolder)
{
    const QDir binaries(binaryFolder);
    if (QFileInfo(binaries.filePath(QStringLiteral("res"))).isDir())
        return binaryFolder;
    const QString installed = QDir::cleanPath(binaries.filePath(QStringLiteral(KRV_INSTALLED_DATA)));
    if (QFileInfo(installed + QStringLiteral("/res")).isDir())
        return installed;
    return binaryFolder;
}

QString programFolder()
{
    return programFolderFor(binaryFolder());
}

QString res(const QString &relative)
{
    return programFolder() + QStringLiteral("/res/") + relative;
}

QString manualFolder(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString marker = folder.filePath(WritablePaths::installMarkerName());
    if (QFileInfo::exists(marker)) {
        const QString named = QSettings(marker, QSettings::IniFormat).value(QStringLiteral("Install/ManualFolder")).toString();
        if (!named.isEmpty())
            return QDir::cleanPath(folder.filePath(named));
    }
    return programFolder;
}

} // namespace ResPaths
