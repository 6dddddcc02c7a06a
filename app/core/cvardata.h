#pragma once

#include "cvardatas.h"

#include <QString>
#include <memory>

class Catalogue;

// One catalogue entry: the shared record and the conversions between raw
// controller values and display values.
class CVarData
{
public:
    explicit CVarData(Catalogue *owner = nullptr);

    std::unique_ptr<CVarDataS> Data;

    void ReadE2FromQEL(int32_t value);
    void ReadRAMFromQEL(int32_t value);
    void WriteE2inQEL();
    void WriteRAMinQEL();
    void LoadFromFile(int32_t value);
    void KRVSetVar(double displayValue);

    // Fills Data from one line of the variable list; false (and why, in
    // `problem`) when the line has no address or a column cannot be converted.
    bool Load(const QString &line, QString *problem = nullptr);

    // Display value of a raw EEPROM value through the whole F_DownloadToDisplay.
    int32_t DisplayFromRaw(int32_t raw) const;

private:
    void RecalcDownloadE2();

    Catalogue *m_owner;
};
