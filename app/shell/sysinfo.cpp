#include "sysinfo.h"

#include "keystore.h"
#include "messageservice.h"
#include "programlauncher.h"

#include <QDir>
#include <QFileInfo>

SysInfo::SysInfo(const KeyStore &keys, QString searchPath, ProgramLauncher *launcher, MessageService *messages)
    : m_keys(keys), m_searchPath(std::move(searchPath)), m_launcher(launcher), m_messages(messages)
{
}

QStringList SysInfo::knownPrograms()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("lshw-gtk")};
}

QString SysInfo::findProgram() const
{
    QString path;
    if (m_keys.GetKeyValue(QString::fromLatin1(KeyStore::LocalMachine),
                           QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"), path)
        && !path.isEmpty())
        return path;
    if (m_keys.GetKeyValue(QString::fromLatin1(KeyStore::LocalMachine),
                           QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"),
                           path)) {
        const QString candidate = QDir(path).filePath(QStringLiteral("MSINFO32.EXE"));
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    const QStringList folders = m_searchPath.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString &program : knownPrograms()) {
        for (const QString &folder : folders) {
            const QFileInfo candidate(QDir(folder).filePath(program));
            if (candidate.isFile() && candidate.isExecutable())
                return candidate.absoluteFilePath();
        }
    }
    return QString();
}

void SysInfo::StartSysInfo() const
{
    const QString program = findProgram();
    if (!program.isEmpty() && m_launcher && m_launcher->startProgram(program))
        return;
    if (m_messages)
        m_messages->show(QStringLiteral("System Information Is Unavailable At This Time"));
}
