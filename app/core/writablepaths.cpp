#include "writablepaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString standardConfig()
{
    // Shared by krvstudio, krvctl and the tests, whatever the executable is called.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/krvstudio");
}

QString standardDocuments()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return documents + QStringLiteral("/KRV Studio");
}

bool writableFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

} // namespace

WritablePaths::WritablePaths(QString programFolder, UserFolders user, Target target)
    : m_programFolder(std::move(programFolder)), m_user(std::move(user))
{
    if (m_user.config.isEmpty())
        m_user.config = standardConfig();
    if (m_user.documents.isEmpty())
        m_user.documents = standardDocuments();
    switch (target) {
    case Target::ProgramFolder:
        m_useProgramFolder = true;
        break;
    case Target::UserFolders:
        m_useProgramFolder = false;
        break;
    case Target::Detect:
        m_useProgramFolder = programFolderWritable(m_programFolder);
        break;
    }
}

bool WritablePaths::programFolderWritable(const QString &programFolder)
{
    if (programFolder.isEmpty() || QFileInfo::exists(QDir(programFolder).filePath(installMarkerName())))
        return false;
    if (!writableFolder(programFolder))
        return false;
    const QString ini = programFolder + QStringLiteral("/res/ini");
    return !QFileInfo::exists(ini) || writableFolder(ini);
}

QString WritablePaths::colourFile() const
{
    if (m_useProgramFolder)
        return shippedColourFile();
    QDir().mkpath(m_user.config);
    return userColourFile();
}

QString WritablePaths::userColourFile() const
{
    return m_user.config + QStringLiteral("/colour.ini");
}

QString WritablePaths::shippedColourFile() const
{
    return m_programFolder + QStringLiteral("/res/ini/colour.ini");
}

QString WritablePaths::colourFileToRead() const
{
    const QString own = m_useProgramFolder ? shippedColourFile() : userColourFile();
    return QFileInfo::exists(own) ? own : shippedColourFile();
}

QString WritablePaths::configurationFolder() const
{
    const QString folder = m_useProgramFolder ? m_programFolder + QStringLiteral("/res/txt") : m_user.documents;
    return QDir().mkpath(folder) ? folder : QDir::homePath();
}
