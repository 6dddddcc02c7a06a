#include "manualviewer.h"

#include "devlink.h"

bool SystemManualViewer::open(const QString &program, const QString &parameters)
{
    return DevLink::OpenDocument(program, parameters);
}
