#include "respaths.h"

#include <QCoreApplication>

namespace ResPaths {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString res(const QString &relative)
{
    return programFolder() + QStringLiteral("/res/") + relative;
}

} // namespace ResPaths
