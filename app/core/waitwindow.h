#pragma once

#include <QString>
#include <cstdint>

// The modeless wait window `FrmWait` the transfers drive.
class WaitWindow
{
public:
    virtual ~WaitWindow() = default;
    // Shows the window (creating it if needed) with the text as caption and
    // the bar at the value, lets pending events run, closes it at 100 or more.
    virtual void DrawWaitBar(int16_t progressValue, const QString &msgText = QString()) = 0;
};
