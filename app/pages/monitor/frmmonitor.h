#pragma once

#include "pagebase.h"

// Tab 2, the on-line monitor.
class FrmMonitor : public PageBase
{
    Q_OBJECT
public:
    explicit FrmMonitor(const PageContext &context, QWidget *parent = nullptr);

    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;

    // The two redraw triggers other windows fire: each runs its drawing once.
    void fireRedrawTriggers();
    void MonitorDrawJoy();
    void MonitorDrawMag();

signals:
    // The joystick or magnet displays fell back to their idle drawing.
    void idleDrawn();

private:
    int m_drawJoyMonitorEventObj = 0;
    int m_drawMagMonitorEventObj = 0;
};
