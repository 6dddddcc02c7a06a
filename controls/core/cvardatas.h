#pragma once

#include "tesseracore_global.h"

#include <QString>
#include <cstdint>

// One controller variable as the program and the controls share it. The fields
// are public and keep the published order; controls bound to a record read and
// write them directly.
class TESSERACORE_EXPORT CVarDataS
{
public:
    QString Name;
    QString TooltipDecription;
    int32_t Address = 0;
    int16_t VarID = 0;
    int32_t QelValueE2 = 0;
    int32_t QelValE2Min = 0;
    int32_t QelValE2Max = 65535;  // 65535 means "no declared maximum" to the range check
    int32_t QelValueDefault = 0;
    int32_t QelValueRAM = 0;
    int32_t KrvDisplayValueE2 = 0;
    double KrvDisplayValueRAM = 0.0;
    int32_t KrvDownloadValueE2 = 0;
    int32_t KrvDownloadValueRAM = 0;
    QString F_DownloadToDisplay;
    QString F_DisplayToDownload;
    QString Unit;
    QString MonitorName;
    bool MonitorEnable = false;
    int16_t CurrentTBXSystem = 0;
    int16_t TbxTypeID = 0;
    int16_t KRVPageDomain = 0;
};
