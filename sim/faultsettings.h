#pragma once

#include <QString>
#include <QStringList>
#include <map>

// What a test or a technician asks of the virtual controller while it runs:
// faults on the line, raised error words, joysticks held still, power cycles.
// The same keys serve the command line and the control file (one "key=value"
// a line, "#" starts a comment):
//   silent=0|1              read requests but never answer
//   delay=<ms>              wait this long before answering
//   corrupt-rate=<0..1>     chance that a sent byte is damaged
//   drop-rate=<0..1>        chance that a sent byte is lost
//   disconnect-after=<n>    answer n more requests, cut the next reply and hang up (0: never)
//   fault.<NAME>=<value>    error word NAME (KRV_ identifier or list name) holds value (0 clears)
//   joy.<k>=<percent>       joystick input k (0..3) held at percent instead of sweeping
//   power-cycle=<count>     every change of the count is one power cycle
struct FaultSettings
{
    bool silent = false;
    int delayMs = 0;
    double corruptRate = 0.0;
    double dropRate = 0.0;
    int disconnectAfter = 0;
    std::map<QString, int> faults;
    std::map<int, double> heldJoysticks;
    int powerCycles = 0;

    // Applies one key; false (and a reason) when the key or value is not understood.
    bool apply(const QString &key, const QString &value, QString *problem = nullptr);

    // `base` overlaid with the lines of a control file; bad lines are listed in `problems`.
    static FaultSettings withControlText(const FaultSettings &base, const QString &text, QStringList *problems = nullptr);

    bool operator==(const FaultSettings &o) const;
    bool operator!=(const FaultSettings &o) const { return !(*this == o); }
};
