#include "documentopener.h"

#include "devlink.h"

bool SystemDocumentOpener::open(const QString &program, const QString &parameters)
{
    return DevLink::OpenDocument(program, parameters);
}
