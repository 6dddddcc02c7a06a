#include "exportfile.h"

#include "ansitext.h"
#include "messageservice.h"

#include <QFileInfo>

bool exportFile(FileDialogService *dialogs, MessageService *messages, const FileDialogService::Request &request,
                const std::function<QByteArray()> &bytes, const QString &suffix)
{
    if (!dialogs)
        return false;
    const std::optional<QString> chosen = dialogs->saveFile(request);
    if (!chosen || chosen->isEmpty())
        return false;
    QString path = *chosen;
    if (!suffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    QString why;
    if (AnsiText::replaceFile(path, bytes(), &why))
        return true;
    if (messages)
        messages->show(QStringLiteral("Cannot write %1: %2").arg(path, why), MessageService::Buttons::Ok,
                       MessageService::Icon::Critical);
    return false;
}
