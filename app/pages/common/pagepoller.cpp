#include "pagepoller.h"

#include "draw.h"
#include "session.h"
#include "textboxview.h"

#include <QElapsedTimer>
#include <QTimer>

const QString PagePoller::LinkLostText = QStringLiteral("Link Lost");

PagePoller::PagePoller(Session &session, int16_t pollingState, const QString &timerName, QObject *parent)
    : QObject(parent), m_session(session), m_pollingState(pollingState), m_timer(new QTimer(this))
{
    m_timer->setObjectName(timerName);
    m_timer->setInterval(IntervalMs);
    connect(m_timer, &QTimer::timeout, this, &PagePoller::tick);
    connect(&session.link, &LinkScheduler::pollingClaimed, this, [this](const QObject *poller) {
        if (poller != this)
            markDeactivated();
    });
}

void PagePoller::claim()
{
    clearDeactivated();
    m_session.link.claimPolling(this);
}

bool PagePoller::timerEnabled() const
{
    return m_timer->isActive();
}

void PagePoller::start()
{
    m_linkLost = false;
    m_timer->start();
}

void PagePoller::stop()
{
    m_timer->stop();
    // No tick will come to clear the flag; a cycle still running clears it
    // when it returns.
    if (!m_inCycle)
        m_busy = false;
}

void PagePoller::deactivate()
{
    m_deactivated = true;
    if (m_session.IsConnectObj.value() == m_pollingState)
        m_session.link.setState(ConnectionState::Connected);
    // The flag is normally cleared by the first tick after the page left; with
    // the timer already off (link dropped while in front) no tick will come,
    // and a flag left set would hold off the other page's polling for good.
    if (!m_timer->isActive() && !m_inCycle)
        m_busy = false;
}

void PagePoller::tick()
{
    // The next cycle starts with the first tick after the running one returned.
    if (m_inCycle)
        return;
    LinkScheduler::Turn turn(m_session.link, LinkScheduler::Use::Poll);
    if (!turn)
        return;
    if (m_deactivated) {
        m_timer->stop();
        m_busy = false;
        if (m_session.IsConnectObj.value() == m_pollingState)
            m_session.link.setState(ConnectionState::Connected);
        return;
    }
    m_busy = true;
    m_inCycle = true;
    QElapsedTimer clock;
    clock.start();
    const QString error = m_cycle ? m_cycle() : QString();
    m_inCycle = false;
    if (error.isEmpty() && !m_timer->isActive()) {
        // switched off during the cycle (page left, disconnect, exit)
        m_busy = false;
        return;
    }
    if (error.isEmpty()) {
        // A cycle longer than the interval swallowed the tick that fell due
        // meanwhile; that tick comes as soon as the cycle has returned rather
        // than on the next multiple of the interval, which would leave the
        // line idle for up to a whole interval every cycle.
        if (clock.elapsed() >= m_timer->interval() && m_timer->isActive())
            QTimer::singleShot(0, this, [this] {
                if (m_timer->isActive())
                    tick();
            });
        return;
    }
    m_timer->stop();
    // the poll has ended: a flag left set would block the other pages
    m_busy = false;
    m_linkLost = true;
    m_session.StatusText = LinkLostText + QStringLiteral(" :") + error;
    m_session.link.setState(ConnectionState::NotConnected);
    m_session.rs232.Disconnect();
    emit pollFailed(error);
}

void PagePoller::setProgress(int done, int steps)
{
    m_session.link.setProgressStep(done, steps);
}

void PagePoller::refreshStatus()
{
    m_session.draw.UpdateStatusBar(m_session.StatusText);
    m_session.link.pumpEvents();
}

bool PagePoller::linkOpen() const
{
    return m_session.devLink.isOpen();
}

void PagePoller::showLinkLost(TextBoxView *txtConnect) const
{
    if (!m_linkLost || !txtConnect || m_session.IsConnectObj.value() != ConnectionState::NotConnected)
        return;
    txtConnect->setText(LinkLostText);
    txtConnect->setBackColor(Draw::LightYellow);
}
