#pragma once

#include <QString>
#include <cstdint>

// One bit of one controller error word as the diagnostic list describes it.
class CDiagnosticData
{
public:
    QString Code;       // caption of the bit in its row
    QString DescrLine1; // active-error list: text after the bit value
    QString DescrLine2; // active-error list: "Error ID" column
    QString DescrLine3; // active-error list: "Description" column
    QString DescrLine4;
    int16_t EntryNumber = 0;

    // Fills Code, then DescrLine1 .. DescrLine4 from the TAB-separated rest of
    // a list line; fields that are not there stay empty, further ones are ignored.
    void Load(const QString &AuxString);
};
