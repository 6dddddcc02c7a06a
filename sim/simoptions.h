#pragma once

#include "faultsettings.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// The command line of krv-sim.
struct SimOptions
{
    QString ramList;            // variable list (memory map and defaults)
    QString eepromFile;         // empty: EEPROM kept in memory only
    QString linkPath;           // symlink to the device, if asked
    QString controlFile;        // settings changed while running
    int node = 1;
    int baud = 9600;
    bool pacing = true;
    bool blocks = true;         // false: a controller without the block commands
    uint16_t softwareVersion = 10412;
    uint32_t productionNumber = 0x24150317;
    uint32_t seed = 1;
    bool exitWithParent = false;
    bool powerCycleCommand = false;   // only tell a running simulator to power-cycle
    FaultSettings faults;

    // nullopt-like: false with a message on a bad command line.
    static bool parse(const QStringList &arguments, SimOptions &out, QString *error);
};
