#pragma once

#include <QObject>
#include <QString>
#include <cstdio>

class FrmMain;
class QSocketNotifier;

// A line-based remote for measuring the program from outside (the benchmark
// runner): only when the environment variable KRV_REMOTE is 1. It then reads
// commands on standard input and answers each with one line on standard
// output. Without the variable the program never touches either.
//
//   connect      Connect command (COM port as selected, COM 1 at start);
//                answers "connected" or "not connected"
//   page <n>     selects tab n; answers "page <n>"
//   state        answers "state <IsConnectObj>"
//   quit         leaves the program; answers "bye"
// Anything else answers "unknown <line>".
class RemoteControl : public QObject
{
    Q_OBJECT
public:
    static bool enabledByEnvironment();

    // Announces "shown" once the event loop has run after the window was shown.
    RemoteControl(FrmMain &main, int inputFd, std::FILE *output, QObject *parent = nullptr);

    // One command line; the answer (also written to the output).
    QString execute(const QString &line);

private:
    void readInput();
    void answer(const QString &text);

    FrmMain &m_main;
    int m_fd;
    std::FILE *m_out;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_pending;
};
