#include "programlauncher.h"

#include <QDesktopServices>
#include <QProcess>

bool SystemProgramLauncher::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool SystemProgramLauncher::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
