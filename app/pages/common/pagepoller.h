#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class PageWindow;
class QTimer;
class Session;
class TextBoxView;

// The polling timer of a page that reads live values while it is in front and
// connected (monitor, diagnostics). Each page keeps its own busy flag, which
// its StatusTimerForm reports; a tick yields while a peer page's flag is set,
// so two pages never read the controller at the same time.
class PagePoller : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMs = 100;

    // pollingState: the connection state the page's cycle shows (3 or 4).
    PagePoller(Session &session, int16_t pollingState, const QString &timerName, QObject *parent = nullptr);

    // One read cycle of the page; returns the error text, empty on success.
    void setCycle(std::function<QString()> cycle) { m_cycle = std::move(cycle); }
    // Tags of the pages whose busy flags make a tick wait ("A3", "A5").
    void setPeerTags(const QStringList &tags) { m_peerTags = tags; }

    QTimer *timer() const { return m_timer; }
    bool timerEnabled() const;
    void start();
    void stop();

    // Set from the start of a cycle until the next tick; cleared as soon as
    // the timer is off and no cycle runs, so a stopped poll never holds off
    // the other pages or the exit.
    bool busy() const { return m_busy; }
    void setBusy(bool busy) { m_busy = busy; }
    bool deactivated() const { return m_deactivated; }
    bool inCycle() const { return m_inCycle; }

    // The page came to the front: polling may run again.
    void clearDeactivated() { m_deactivated = false; }
    // Only the flag: the running timer stops at its next tick.
    void markDeactivated() { m_deactivated = true; }
    // The page left the front: flag set, the polling state falls back to 1.
    void deactivate();

    // One timer tick (public so that tests can drive it without waiting).
    void tick();

    // True when a peer page's poll is busy.
    bool peersBusy() const;
    // The page with the tag among the open pages, or nullptr.
    PageWindow *page(const QString &tag) const;

    // ProgressPercent for step `done` of `steps`, the quotient rounded to the
    // nearest whole number and kept at 100 at most.
    void setProgress(int done, int steps);
    // Status bar redraw with StatusText, then pending window events run.
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
    QStringList m_peerTags;
    bool m_busy = false;
    bool m_deactivated = false;
    bool m_inCycle = false;
    bool m_linkLost = false;
};
