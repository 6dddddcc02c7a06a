#pragma once

#include "filedialogservice.h"
#include "manualviewer.h"
#include "messageservice.h"
#include "programlauncher.h"

#include <QStringList>

// The shell's seams for a program that nobody watches: message boxes are
// answered with their first button and kept, dialogs are cancelled, nothing
// outside is started.
class QuietMessages : public MessageService
{
public:
    Answer show(const QString &text, Buttons buttons, Icon, const QString &) override
    {
        shown << text;
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
    QStringList shown;
};

class QuietDialogs : public FileDialogService
{
public:
    std::optional<QString> openFile(const Request &) override { return std::nullopt; }
    std::optional<QString> saveFile(const Request &) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor &initial) override { return initial; }
};

class QuietViewer : public ManualViewer
{
public:
    bool open(const QString &, const QString &) override { return true; }
};

class QuietLauncher : public ProgramLauncher
{
public:
    bool startProgram(const QString &, const QStringList &) override { return true; }
    bool openUrl(const QUrl &) override { return true; }
};
