#include "stopsignals.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void noteStop(int signal)
{
    stopSignal = signal;
}

} // namespace

StopSignals::StopSignals()
{
    stopSignal = 0;
    struct sigaction action {};
    action.sa_handler = noteStop;
    sigemptyset(&action.sa_mask);
    // the access in flight carries on: interrupted system calls resume
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &m_oldInterrupt);
    sigaction(SIGTERM, &action, &m_oldTerminate);
    // a signal the caller chose to ignore (nohup, a background job) stays ignored
    if (m_oldInterrupt.sa_handler == SIG_IGN)
        sigaction(SIGINT, &m_oldInterrupt, nullptr);
    if (m_oldTerminate.sa_handler == SIG_IGN)
        sigaction(SIGTERM, &m_oldTerminate, nullptr);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &m_oldInterrupt, nullptr);
    sigaction(SIGTERM, &m_oldTerminate, nullptr);
}

int StopSignals::received()
{
    return stopSignal;
}
