#include "linkscheduler.h"

#include "session.h"
#include "vbnumber.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <thread>
#include <utility>

LinkScheduler::LinkScheduler(Session &session, QObject *parent) : QObject(parent), m_session(session) {}

LinkScheduler::Turn::Turn(LinkScheduler &scheduler, Use use)
    : m_scheduler(scheduler),
      m_held(!scheduler.m_busy && (use == Use::Transfer || scheduler.m_waiting.isEmpty()))
{
    if (!m_held)
        return;
    m_scheduler.m_busy = true;
    m_scheduler.m_use = use;
}

LinkScheduler::Turn::~Turn()
{
    if (m_held)
        m_scheduler.release();
}

void LinkScheduler::release()
{
    m_busy = false;
    // the waiting commands run from the event loop, not inside the cycle's
    // caller; polls stay refused until they have run
    if (!m_waiting.isEmpty())
        QTimer::singleShot(0, this, [this] {
            const QList<std::function<void()>> waiting = std::exchange(m_waiting, {});
            for (const std::function<void()> &command : waiting)
                request(command);
        });
}

bool LinkScheduler::request(const std::function<void()> &command)
{
    if (!m_busy) {
        command();
        return true;
    }
    if (m_use == Use::Transfer)
        return false;
    m_waiting.append(command);
    return true;
}

void LinkScheduler::showProgress(int16_t percent, const QString &text)
{
    m_percent = percent;
    m_text = text;
    m_session.draw.UpdateStatusBar(m_text);
    pumpEvents();
}

void LinkScheduler::setProgressStep(int done, int steps)
{
    if (steps <= 0)
        return;
    const double percent = VbNumber::roundHalfEven(done * 100.0 / steps);
    m_percent = static_cast<int16_t>(std::clamp(percent, 0.0, 100.0));
}

QString LinkScheduler::readWords(const QList<int32_t> &addresses, const std::function<bool(int, int32_t)> &onValue)
{
    // runs of consecutive words come in one frame each where the unit takes blocks
    return m_session.rs232.ReadVars(addresses, onValue);
}

void LinkScheduler::pumpEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void LinkScheduler::waitMs(double milliseconds)
{
    // A monotonic clock: a wait that spans midnight or a clock change must
    // still end on time.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        const int left = static_cast<int>(milliseconds - static_cast<double>(clock.elapsed())) + 1;
        if (!QCoreApplication::instance()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(left));
            continue;
        }
        QEventLoop loop;
        QTimer::singleShot(left, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void LinkScheduler::claimPolling(const QObject *poller)
{
    emit pollingClaimed(poller);
}
