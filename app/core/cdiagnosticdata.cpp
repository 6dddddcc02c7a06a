#include "cdiagnosticdata.h"

#include "stringeval.h"

void CDiagnosticData::Load(const QString &AuxString)
{
    QString rest = AuxString;
    QString *const fields[] = {&Code, &DescrLine1, &DescrLine2, &DescrLine3, &DescrLine4};
    bool more = true;
    for (QString *field : fields) {
        // a field is read only while text remains; the first one always
        *field = more ? StringEval::NextTabField(rest) : QString();
        more = !rest.isEmpty();
    }
}
