// Word reads at 9600 baud against the pacing virtual controller: bytes on the
// wire per read, elapsed time, and the ratio to the wire-time minimum
// (bytes x 10 bits / 9600 baud). Goal: ratio <= 1.15.
// Usage: bench_link [reads per round, default 200] [rounds, default 3]
// Several rounds show how much a busy machine's scheduling adds.

#include "catalogue.h"
#include "componentfactory.h"
#include "devlink.h"
#include "simprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <algorithm>
#include <sys/resource.h>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int reads = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    constexpr double Baud = 9600.0;

    Catalogue catalogue;
    if (!catalogue.LoadRamList(Catalogue::defaultRamListPath()) || !catalogue.data(KRV_PROG_VERS)) {
        std::fprintf(stderr, "bench_link: cannot load the variable list\n");
        return 1;
    }
    const int32_t address = catalogue.data(KRV_PROG_VERS)->Address;

    SimProcess::Options options;
    options.pacing = true;
    SimProcess sim(options);
    if (!sim.start()) {
        std::fprintf(stderr, "bench_link: krv-sim did not start: %s\n", qPrintable(sim.errorText()));
        return 1;
    }
    ComponentFactory factory;
    DevLink link(&factory);
    link.ComPort = 1;
    if (link.LinkOpen() != 0) {
        std::fprintf(stderr, "bench_link: cannot open COM 1\n");
        return 1;
    }

    // CPU time and wake-ups of this process only: krv-sim's own work is not the program's
    struct Usage
    {
        double cpuMs;
        long wakeUps;
    };
    const auto usageNow = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto ms = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
        return Usage{ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_nvcsw};
    };
    int failures = 0;
    std::vector<double> elapsedMs;
    const Usage before = usageNow();
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < reads; ++i) {
            int32_t value = 0;
            if (!link.ReadWord(address, value).isEmpty())
                ++failures;
        }
        elapsedMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    const Usage after = usageNow();
    const double cpuPerRead = (after.cpuMs - before.cpuMs) / (reads * rounds);
    const double wakeUpsPerRead = static_cast<double>(after.wakeUps - before.wakeUps) / (reads * rounds);
    link.LinkClose();
    sim.stop();

    // what really crossed the line, as the controller counted it
    const auto m = QRegularExpression(QStringLiteral("(\\d+) bytes in, (\\d+) bytes out")).match(sim.errorText());
    if (!m.hasMatch()) {
        std::fprintf(stderr, "bench_link: no byte counts from krv-sim\n");
        return 1;
    }
    const double bytesPerRead = (m.captured(1).toDouble() + m.captured(2).toDouble()) / (reads * rounds);
    const double minimumMs = bytesPerRead * reads * 10.0 / Baud * 1000.0;
    std::printf("word reads at 9600 baud against krv-sim (pacing on), %d rounds of %d reads\n", rounds, reads);
    std::printf("  bytes on the wire   %.1f per read (request + reply), %d reads failed\n", bytesPerRead, failures);
    std::printf("  wire-time minimum   %.1f ms per round (bytes x 10 / 9600)\n", minimumMs);
    for (int r = 0; r < rounds; ++r)
        std::printf("  round %d             %.1f ms elapsed (%.2f ms per read), ratio %.3f\n", r + 1, elapsedMs[r],
                    elapsedMs[r] / reads, elapsedMs[r] / minimumMs);
    std::printf("  CPU                 %.3f ms per read (this process, user + system), %.1f wake-ups per read\n",
                cpuPerRead, wakeUpsPerRead);
    std::vector<double> sorted = elapsedMs;
    std::sort(sorted.begin(), sorted.end());
    std::printf("  median ratio        %.3f (goal <= 1.15)\n", sorted[sorted.size() / 2] / minimumMs);
    return failures == 0 ? 0 : 1;
}
