#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

class QTimer;
class Session;
class TextBoxView;

// The polling timer of a page that reads live values while it is in front and
// connected (monitor, diagnostics). Each cycle takes a turn on the link from
// the scheduler; a tick that falls while anything else holds the link yields
// to the next tick, so two users never read the controller at the same time.
// The page's busy flag, which its StatusTimerForm reports, holds the exit off
// until the cycle in flight has returned.
class PagePoller : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMs = 100;

    // pollingState: the connection state the page's cycle shows (3 or 4).
    PagePoller(Session &session, int16_t pollingState, const QString &timerName, QObject *parent = nullptr);

    // One read cycle of the page; returns the error text, empty on success.
    void setCycle(std::function<QString()> cycle) { m_cycle = std::move(cycle); }

    QTimer *timer() const { return m_timer; }
    bool timerEnabled() const;
    void start();
    void stop();

    // Set from the start of a cycle until the next tick; cleared as soon as
    // the timer is off and no cycle runs, so a stopped poll never holds off
    // the other pages or the exit.
    bool busy() const { return m_busy; }
    bool deactivated() const { return m_deactivated; }
    bool inCycle() const { return m_inCycle; }

    // The page came to the front: polling may run again.
    void clearDeactivated() { m_deactivated = false; }
    // The same, and every other page's polling stops at its next tick.
    void claim();
    // Only the flag: the running timer stops at its next tick.
    void markDeactivated() { m_deactivated = true; }
    // The page left the front: flag set, the polling state falls back to 1.
    void deactivate();

    // One timer tick (public so that tests can drive it without waiting).
    void tick();

    // ProgressPercent for step `done` of `steps`, the quotient rounded to the
    // nearest whole number and kept at 100 at most.
    void setProgress(int done, int steps);
    // Status bar redraw with StatusText, then pending window events run
    // (through the scheduler, which refuses the link to anything they start).
    void refreshStatus();

    // True while the device link is open.
    bool linkOpen() const;

    // The last cycle failed and dropped the link; the page's values are
    // stale until the polling starts again.
    bool linkLost() const { return m_linkLost; }
    // The connection box says so while the link stays lost.
    void showLinkLost(TextBoxView *txtConnect) const;

    static const QString LinkLostText;

signals:
    // A cycle failed and the link was dropped.
    void pollFailed(const QString &error);

private:
    Session &m_session;
    int16_t m_pollingState;
    QTimer *m_timer;
    std::function<QString()> m_cycle;
    bool m_busy = false;
    bool m_deactivated = false;
    bool m_inCycle = false;
    bool m_linkLost = false;
};
