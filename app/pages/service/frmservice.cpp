#include "frmservice.h"

#include "session.h"

FrmService::FrmService(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("frmService"), QStringLiteral("Key"), 10000, 10001, 32, context, parent)
{
    addCaptionPlaceholder(QStringLiteral("Unlock Control Unit"));
}

void FrmService::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    if (session().IsConnectObj.isConnected())
        session().ProgressPercent = 0;
    drawConnectionBar(statusBar, text, {false, false, true, false, true, true});
}
