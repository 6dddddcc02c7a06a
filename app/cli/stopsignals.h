#pragma once

#include <csignal>

// While one lives, SIGINT and SIGTERM only note that a stop was asked for:
// a transfer that checks between accesses then ends after the access in
// flight, never halfway through a frame. The previous handling comes back
// when it goes.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signal received since the guard was made, or 0.
    static int received();
    // The exit status a shell reports for a process that signal ended.
    static int exitCode(int signal) { return 128 + signal; }

private:
    struct sigaction m_oldInterrupt {};
    struct sigaction m_oldTerminate {};
};
