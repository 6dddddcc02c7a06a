#include "pagefactory.h"

#include "config/frmconfig.h"
#include "debugger/frmdebug.h"
#include "diagnostic/frmdiagnostic.h"
#include "monitor/frmmonitor.h"
#include "service/frmcomment.h"
#include "service/frmservice.h"

PageBase *PageFactory::create(Kind kind, const PageContext &context, QWidget *parent)
{
    switch (kind) {
    case Kind::Config:
        return new FrmConfig(context, parent);
    case Kind::Diagnostic:
        return new FrmDiagnostic(context, parent);
    case Kind::Debug:
        return new FrmDebug(context, parent);
    case Kind::Service:
        return new FrmService(context, parent);
    case Kind::Monitor:
        return new FrmMonitor(context, parent);
    case Kind::Comment:
        return new FrmComment(context, parent);
    }
    return nullptr;
}
