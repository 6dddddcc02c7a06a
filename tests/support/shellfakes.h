#pragma once

#include "filedialogservice.h"
#include "manualviewer.h"
#include "programlauncher.h"
#include "writepreview.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <QUrl>
#include <deque>

// Answers the file dialogs from a script; an empty answer is a cancel.
class ScriptedFileDialogs : public FileDialogService
{
public:
    std::optional<QString> openFile(const Request &request) override { return answer(request); }
    std::optional<QString> saveFile(const Request &request) override { return answer(request); }
    std::optional<QColor> chooseColour(const QColor &initial) override { return initial; }

    QList<Request> requests;
    std::deque<std::optional<QString>> answers;

private:
    std::optional<QString> answer(const Request &request)
    {
        requests.append(request);
        if (answers.empty())
            return std::nullopt;
        // taken apart rather than copied whole: the copy of an optional text
        // draws a false "may be used uninitialized" from the optimiser
        const bool given = answers.front().has_value();
        const QString text = answers.front().value_or(QString());
        answers.pop_front();
        if (!given)
            return std::nullopt;
        return text;
    }
};

// Records what would be handed to the manual viewer.
class RecordingViewer : public ManualViewer
{
public:
    bool open(const QString &program, const QString &parameters) override
    {
        calls.append({program, parameters});
        return true;
    }
    QList<QPair<QString, QString>> calls;
};

// Records the programs and addresses that would be started.
class RecordingLauncher : public ProgramLauncher
{
public:
    bool startProgram(const QString &program, const QStringList &) override
    {
        programs << program;
        return true;
    }
    bool openUrl(const QUrl &url) override
    {
        urls << url;
        return true;
    }
    QStringList programs;
    QList<QUrl> urls;
};

// Answers the preview before a write from a script and keeps what it was shown.
class ScriptedWritePreview : public WritePreview
{
public:
    struct Call
    {
        QString command;
        QList<ConfigCompare::Row> rows;
    };
    bool confirm(const QString &command, const QList<ConfigCompare::Row> &rows) override
    {
        calls.append({command, rows});
        return answer;
    }
    QList<Call> calls;
    bool answer = true;   // Write
};
