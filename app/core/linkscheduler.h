#pragma once

#include "connectionstate.h"

#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

class Session;

// The one user of the link at a time. A transfer, a polling cycle or a page
// command takes a turn on the link for its whole length, and a second turn
// asked for meanwhile is refused: a poll tick simply comes again with the
// next tick, and a transfer never starts inside another one (the user's
// commands are disabled while one runs; a queued second Read or Write would
// act on a state the user has not seen yet). A user command that arrives
// while a polling cycle holds the link is the exception: polling takes nearly
// all the time, so such a command runs as soon as the cycle has returned.
// The scheduler also owns the connection state, the progress shown while the
// link works, and the only waits that let pending events run.
class LinkScheduler : public QObject
{
    Q_OBJECT
public:
    explicit LinkScheduler(Session &session, QObject *parent = nullptr);

    // The connection state `IsConnectObj`; every change goes through setState.
    const ConnectionState &state() const { return m_state; }
    ConnectionState &state() { return m_state; }
    void setState(int16_t value) { m_state.setValue(value); }

    // The progress of the running transfer or cycle and its status text.
    int16_t &progressPercent() { return m_percent; }
    QString &statusText() { return m_text; }
    // Sets both and shows them on the status bar, then lets pending events run.
    void showProgress(int16_t percent, const QString &text);
    // ProgressPercent for step `done` of `steps`, rounded half to even, kept at 100 at most.
    void setProgressStep(int done, int steps);

    enum class Use { Transfer, Poll };

    // A turn on the link, held until it goes out of scope; false when refused.
    // A poll is refused also while a user command waits for the link.
    class Turn
    {
    public:
        explicit Turn(LinkScheduler &scheduler, Use use = Use::Transfer);
        ~Turn();
        Turn(const Turn &) = delete;
        Turn &operator=(const Turn &) = delete;
        explicit operator bool() const { return m_held; }

    private:
        LinkScheduler &m_scheduler;
        bool m_held;
    };

    // True while a turn is held.
    bool busy() const { return m_busy; }

    // A user command that needs the link: run now when the link is free, once
    // the polling cycle that holds it has returned, refused (false) while a
    // transfer holds it.
    bool request(const std::function<void()> &command);
    // The program is leaving: commands still waiting are dropped.
    void dropRequests() { m_waiting.clear(); }

    // Reads the words at the addresses in order (the live values of a polling
    // cycle). `onValue(i, value)` takes each value as it arrives and returns
    // false to end the reads early. "" or the error text of the failed read.
    QString readWords(const QList<int32_t> &addresses, const std::function<bool(int, int32_t)> &onValue);

    // Lets pending events run once: redraws, clicks, timer ticks. Anything
    // they start that needs the link is refused while a turn is held.
    void pumpEvents();
    // Waits on a monotonic clock, letting events run meanwhile.
    static void waitMs(double milliseconds);

    // A polling page came to the front: every other poller stops at its next tick.
    void claimPolling(const QObject *poller);

signals:
    void pollingClaimed(const QObject *poller);

private:
    ConnectionState m_state;
    int16_t m_percent = 0;
    QString m_text;
    void release();

    Session &m_session;
    bool m_busy = false;
    Use m_use = Use::Transfer;
    QList<std::function<void()>> m_waiting;
};
