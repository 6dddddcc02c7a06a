#include "frmdiagnostic.h"

#include "session.h"

FrmDiagnostic::FrmDiagnostic(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("frmDiagnostic"), QStringLiteral("Diagnostic"), 0, 0, 29, context, parent)
{
    addCaptionPlaceholder(QStringLiteral("On Line System Diagnostic"));
}

void FrmDiagnostic::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    drawConnectionBar(statusBar, text, {});
}

void FrmDiagnostic::Deactivate()
{
    if (session().IsConnectObj.value() == ConnectionState::DiagnosticPolling)
        session().IsConnectObj = ConnectionState::Connected;
}
