#include "frmconfig.h"

#include "appinfo.h"
#include "session.h"
#include "statusbarview.h"

FrmConfig::FrmConfig(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("FrmConfig"), QStringLiteral("Configure"), 10, 11, 10, context, parent)
{
    addCaptionPlaceholder(QStringLiteral("System Configuration Parameters"));
}

void FrmConfig::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    statusBar.setPanelText(3, QStringLiteral("v. ") + AppInfo::versionText());
    switch (session().IsConnectObj.value()) {
    case ConnectionState::Connected:
        showConnected(statusBar, QStringLiteral("Connected"));
        session().ProgressPercent = 0;
        setConnectedCommands({false, false, true, true, true, true});
        break;
    case ConnectionState::Busy:
        showConnected(statusBar, text);
        break;
    case ConnectionState::NotConnected:
        showNotConnected(statusBar);
        session().ProgressPercent = 0;
        break;
    default:
        break;
    }
    if (context().txtPar)
        session().draw.ShowParamStatus(*context().txtPar);
}
