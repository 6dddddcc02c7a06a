#pragma once

#include <QString>
#include <QStringList>

class KeyStore;
class MessageService;
class ProgramLauncher;

// Finds and starts the system-information tool: first where the key store
// says it is, then a known program on the search path.
class SysInfo
{
public:
    SysInfo(const KeyStore &keys, QString searchPath, ProgramLauncher *launcher, MessageService *messages);

    static QStringList knownPrograms();

    // The program to start, or empty when there is none.
    QString findProgram() const;
    // Starts it, or says that none is available.
    void StartSysInfo() const;

private:
    const KeyStore &m_keys;
    QString m_searchPath;
    ProgramLauncher *m_launcher;
    MessageService *m_messages;
};
