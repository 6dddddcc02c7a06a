#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Lets events run until the condition holds or the time is up.
template <typename Condition>
bool waitUntil(Condition condition, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
