#include "simoptions.h"

#include "catalogue.h"

#include <QCommandLineParser>

bool SimOptions::parse(const QStringList &arguments, SimOptions &out, QString *error)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Virtual QEL400W controller on a pseudo-terminal. Prints the device path on its first output line."));
    p.addHelpOption();
    // answered by main() before parsing; listed here for --help
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    const QCommandLineOption ramList(QStringLiteral("ramlist"), QStringLiteral("Variable list (default: the program's res/ini/Ramlist.ini)."), QStringLiteral("file"));
    const QCommandLineOption eeprom(QStringLiteral("eeprom"), QStringLiteral("EEPROM file; a new file starts from the defaults."), QStringLiteral("file"));
    const QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Make a symbolic link to the device."), QStringLiteral("path"));
    const QCommandLineOption control(QStringLiteral("control"), QStringLiteral("Control file, re-read whenever it changes."), QStringLiteral("file"));
    const QCommandLineOption node(QStringLiteral("node"), QStringLiteral("Node address (default 1)."), QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Line speed for pacing (default 9600)."), QStringLiteral("rate"), QStringLiteral("9600"));
    const QCommandLineOption noPacing(QStringLiteral("no-pacing"), QStringLiteral("Send and take bytes as fast as possible."));
    const QCommandLineOption noBlocks(QStringLiteral("no-blocks"), QStringLiteral("Take no block commands, as an older controller."));
    const QCommandLineOption version(QStringLiteral("software-version"), QStringLiteral("Software version word (default 10412)."), QStringLiteral("n"), QStringLiteral("10412"));
    const QCommandLineOption production(QStringLiteral("production-number"), QStringLiteral("Production number for a new EEPROM file (hex with 0x)."), QStringLiteral("n"), QStringLiteral("0x24150317"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the noise and fault dice."), QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption parent(QStringLiteral("exit-with-parent"), QStringLiteral("Stop when the starting process ends."));
    const QCommandLineOption cycle(QStringLiteral("power-cycle"), QStringLiteral("With --control: power-cycle the simulator that watches that file, then exit."));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer."));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Reply delay in ms."), QStringLiteral("ms"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt-rate"), QStringLiteral("Share of sent bytes damaged (0..1)."), QStringLiteral("rate"));
    const QCommandLineOption drop(QStringLiteral("drop-rate"), QStringLiteral("Share of sent bytes lost (0..1)."), QStringLiteral("rate"));
    const QCommandLineOption disconnect(QStringLiteral("disconnect-after"), QStringLiteral("Hang up after answering n requests."), QStringLiteral("n"));
    const QCommandLineOption fault(QStringLiteral("fault"), QStringLiteral("Raise an error word: NAME=value (repeatable)."), QStringLiteral("NAME=value"));
    const QCommandLineOption joy(QStringLiteral("joy"), QStringLiteral("Hold joystick input k at a position: k=percent (repeatable)."), QStringLiteral("k=percent"));
    p.addOptions({versionOption, ramList, eeprom, link, control, node, baud, noPacing, noBlocks, version, production, seed, parent, cycle,
                  silent, delay, corrupt, drop, disconnect, fault, joy});
    if (!p.parse(arguments)) {
        *error = p.errorText();
        return false;
    }
    if (p.isSet(QStringLiteral("help"))) {
        *error = p.helpText();
        return false;
    }
    SimOptions o;
    o.ramList = p.isSet(ramList) ? p.value(ramList) : Catalogue::defaultRamListPath();
    o.eepromFile = p.value(eeprom);
    o.linkPath = p.value(link);
    o.controlFile = p.value(control);
    o.pacing = !p.isSet(noPacing);
    o.blocks = !p.isSet(noBlocks);
    o.exitWithParent = p.isSet(parent);
    o.powerCycleCommand = p.isSet(cycle);
    bool ok = true;
    bool good = false;
    auto number = [&](const QCommandLineOption &opt, qlonglong low, qlonglong high) -> qlonglong {
        const QString text = p.value(opt);
        const qlonglong v = text.startsWith(QLatin1String("0x")) ? text.mid(2).toLongLong(&good, 16) : text.toLongLong(&good);
        if (!good || v < low || v > high) {
            *error = QStringLiteral("bad value for --") + opt.names().first() + QStringLiteral(": ") + text;
            ok = false;
        }
        return v;
    };
    o.node = static_cast<int>(number(node, 0, 255));
    o.baud = static_cast<int>(number(baud, 50, 4000000));
    o.softwareVersion = static_cast<uint16_t>(number(version, 0, 65535));
    o.productionNumber = static_cast<uint32_t>(number(production, 0, 0xFFFFFFFFLL));
    o.seed = static_cast<uint32_t>(number(seed, 0, 0xFFFFFFFFLL));
    if (!ok)
        return false;

    QString problem;
    auto setting = [&](const QString &key, const QString &value) {
        if (ok && !o.faults.apply(key, value, &problem)) {
            *error = problem;
            ok = false;
        }
    };
    if (p.isSet(silent))
        setting(QStringLiteral("silent"), QStringLiteral("1"));
    const std::pair<const QCommandLineOption *, const char *> plain[] = {
        {&delay, "delay"}, {&corrupt, "corrupt-rate"}, {&drop, "drop-rate"}, {&disconnect, "disconnect-after"}};
    for (const auto &[opt, key] : plain) {
        if (p.isSet(*opt))
            setting(QString::fromLatin1(key), p.value(*opt));
    }
    for (const QString &f : p.values(fault)) {
        const int eq = static_cast<int>(f.indexOf(QLatin1Char('=')));
        setting(QStringLiteral("fault.") + f.left(eq), eq < 0 ? QString() : f.mid(eq + 1));
    }
    for (const QString &j : p.values(joy)) {
        const int eq = static_cast<int>(j.indexOf(QLatin1Char('=')));
        setting(QStringLiteral("joy.") + j.left(eq), eq < 0 ? QString() : j.mid(eq + 1));
    }
    if (ok && o.powerCycleCommand && o.controlFile.isEmpty()) {
        *error = QStringLiteral("--power-cycle needs --control FILE");
        ok = false;
    }
    if (ok)
        out = o;
    return ok;
}
