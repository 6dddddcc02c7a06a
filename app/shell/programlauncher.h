#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Starts outside programs and opens web addresses; tests record the calls.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;
    virtual bool startProgram(const QString &program, const QStringList &arguments = {}) = 0;
    virtual bool openUrl(const QUrl &url) = 0;
};

class SystemProgramLauncher : public ProgramLauncher
{
public:
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool openUrl(const QUrl &url) override;
};
