// krv-sim: the virtual QEL400W controller on a pseudo-terminal.

#include "catalogue.h"
#include "controllermemory.h"
#include "machinemodel.h"
#include "programinfo.h"
#include "ptyline.h"
#include "simoptions.h"
#include "simulator.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

void onStop(int)
{
    Simulator::stopRequested = 1;
}

void onHangUp(int)
{
    Simulator::powerCycleRequested = 1;
}

void onReport(int)
{
    Simulator::reportRequested = 1;
}

void installSignals()
{
    struct sigaction stop{};
    stop.sa_handler = onStop;
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    struct sigaction cycle{};
    cycle.sa_handler = onHangUp;
    sigaction(SIGHUP, &cycle, nullptr);
    // SIGUSR1: print the running counts, as at the end, and go on
    struct sigaction report{};
    report.sa_handler = onReport;
    report.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &report, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int fail(const QString &text, int code = 2)
{
    std::fprintf(stderr, "krv-sim: %s\n", text.toLocal8Bit().constData());
    return code;
}

// --power-cycle: count one more power cycle in the control file.
int sendPowerCycle(const QString &controlFile)
{
    QFile in(controlFile);
    QString text = in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
    const FaultSettings now = FaultSettings::withControlText(FaultSettings(), text);
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("power-cycle")) && !line.isEmpty())
            lines.append(line);
    }
    lines.append(QStringLiteral("power-cycle=") + QString::number(now.powerCycles + 1));
    QSaveFile out(controlFile);
    if (!out.open(QIODevice::WriteOnly) || out.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0
        || !out.commit())
        return fail(QStringLiteral("cannot write ") + controlFile);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (ProgramInfo::asked(argc, argv, "--version")) {
        ProgramInfo::printVersion("krv-sim");
        return 0;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("krv-sim"));
    SimOptions options;
    QString error;
    if (!SimOptions::parse(QCoreApplication::arguments(), options, &error)) {
        const bool help = QCoreApplication::arguments().contains(QStringLiteral("--help"))
            || QCoreApplication::arguments().contains(QStringLiteral("-h"));
        std::fprintf(help ? stdout : stderr, "%s\n", error.toLocal8Bit().constData());
        return help ? 0 : 1;
    }
    if (options.powerCycleCommand)
        return sendPowerCycle(options.controlFile);
    if (options.exitWithParent) {
        const pid_t parent = ::getppid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            return 0;
    }
    installSignals();
    // pacing sleeps to the byte; the default timer slack would add to every byte
    ::prctl(PR_SET_TIMERSLACK, 1UL);

    Catalogue catalogue;
    if (!catalogue.LoadRamList(options.ramList))
        return fail(QStringLiteral("cannot load the variable list ") + options.ramList);
    ControllerMemory memory(catalogue, options.softwareVersion, options.productionNumber);
    MachineModel model(
        catalogue, [&memory](KrvId id) { return memory.word(id); },
        [&memory] { return (memory.word(KRV_ERROR_CODE) & 0xFFBF) != 0; }, options.seed);
    memory.setLiveValues(&model);
    if (!memory.attachEeprom(options.eepromFile, &error))
        return fail(error);

    PtyLine line;
    if (!line.open(&error))
        return fail(error);
    if (!options.linkPath.isEmpty() && !line.makeLink(options.linkPath, &error))
        return fail(error);
    std::printf("%s\n", line.devicePath().toLocal8Bit().constData());
    std::fflush(stdout);

    Simulator simulator(options, memory, model, line);
    return simulator.run();
}
