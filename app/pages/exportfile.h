#pragma once

#include "filedialogservice.h"

#include <QByteArray>
#include <QString>
#include <functional>

class MessageService;

// Saves an export where the user chooses: asks through the dialog seam, then
// writes the bytes whole, so a failed write leaves an earlier file as it was.
// A failure is said with the path and its reason. `suffix`, when given, is
// added to a chosen name that has none. The bytes are made only once a place
// is chosen. False when nothing was written.
bool exportFile(FileDialogService *dialogs, MessageService *messages, const FileDialogService::Request &request,
                const std::function<QByteArray()> &bytes, const QString &suffix = QString());
