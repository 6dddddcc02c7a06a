#include "frmmonitor.h"

#include "session.h"
#include "statusbarview.h"

FrmMonitor::FrmMonitor(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("FrmMonitor"), QStringLiteral("Monitor"), 0, 0, 26, context, parent)
{
    addCaptionPlaceholder(QStringLiteral("On Line System Monitor"));
}

void FrmMonitor::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    switch (session().IsConnectObj.value()) {
    case ConnectionState::MonitorPolling:
        showConnected(statusBar, text);
        setConnectedCommands({});
        break;
    case ConnectionState::Busy:
        showConnected(statusBar, text);
        break;
    case ConnectionState::NotConnected:
        showNotConnected(statusBar);
        break;
    default:
        break;
    }
}

void FrmMonitor::fireRedrawTriggers()
{
    m_drawJoyMonitorEventObj = 1;
    m_drawMagMonitorEventObj = 1;
    if (m_drawJoyMonitorEventObj != 0) {
        MonitorDrawJoy();
        m_drawJoyMonitorEventObj = 0;
    }
    if (m_drawMagMonitorEventObj != 0) {
        MonitorDrawMag();
        m_drawMagMonitorEventObj = 0;
    }
}

void FrmMonitor::MonitorDrawJoy()
{
    emit idleDrawn();
}

void FrmMonitor::MonitorDrawMag()
{
    emit idleDrawn();
}
