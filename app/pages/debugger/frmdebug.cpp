#include "frmdebug.h"

#include "session.h"

FrmDebug::FrmDebug(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("frmDebug"), QStringLiteral("Debug"), 0, 0, 33, context, parent)
{
    addCaptionPlaceholder(QStringLiteral("Electronic Debugger"));
    applyLoginDependency();
}

void FrmDebug::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    const bool in = loggedIn();
    setLoginCommands(!in, in);
    drawConnectionBar(statusBar, text, {});
}

void FrmDebug::Activate()
{
    applyLoginDependency();
}

void FrmDebug::Deactivate()
{
    if (session().IsConnectObj.value() == ConnectionState::DebuggerBusy)
        session().IsConnectObj = ConnectionState::Connected;
}

void FrmDebug::applyLoginDependency()
{
    const bool in = loggedIn();
    for (QWidget *child : findChildren<QWidget *>())
        child->setEnabled(in);
}
