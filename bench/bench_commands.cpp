// Read All, Write All and the on-line monitor (alone, then with the trend
// window open and recording) through the program's own
// commands: the real main window with its six pages (offscreen), talking to
// krv-sim over its pseudo-terminal at the pace of 9600 baud with the shipped
// variable list. Bytes on the wire are the simulator's own counts.
// Usage: bench_commands [rounds of each transfer, default 3] [seconds of each monitor span, default 5] [--no-blocks]
// A transfer figure is the median of its rounds, the monitor figures that of three spans.
// With --no-blocks the controller takes no block commands: every word is a frame of its own.

#include "benchfigure.h"
#include "fakemessageservice.h"
#include "shellfakes.h"
#include "simprocess.h"

#include "componentfactory.h"
#include "frmmain.h"
#include "frmmonitor.h"
#include "joymonitor.h"
#include "maincommands.h"
#include "monitordrawing.h"
#include "pagepoller.h"
#include "respaths.h"
#include "session.h"
#include "trendwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <sys/resource.h>
#include <functional>
#include <vector>

namespace {

constexpr double Baud = 9600.0;
constexpr double RatioGoal = 1.10;
constexpr int MonitorSpans = 3;
// With block commands: read-all and write-all time.
constexpr double ReadAllGoalMs = 450;
constexpr double WriteAllGoalMs = 500;

// CPU time (user + system) this process used so far, in seconds.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wire-time minimum of so many bytes: 10 bit times each.
double wireMs(long bytes)
{
    return static_cast<double>(bytes) * 10.0 / Baud * 1000.0;
}

struct Run
{
    double elapsedMs = 0;
    long bytes = 0;
    double ratio() const { return bytes > 0 ? elapsedMs / wireMs(bytes) : 0.0; }
};

class Bench
{
public:
    explicit Bench(bool blockMode) : blocks(blockMode), session(&components, &messages) {}

    bool start()
    {
        SimProcess::Options options;
        options.pacing = true;
        options.blocks = blocks;
        sim = std::make_unique<SimProcess>(options);
        if (!sim->start()) {
            std::fprintf(stderr, "bench_commands: krv-sim did not start: %s\n", qPrintable(sim->errorText()));
            return false;
        }
        ShellServices s;
        s.messages = &messages;
        s.dialogs = &dialogs;
        s.viewer = &viewer;
        s.launcher = &launcher;
        s.keyStorePath = scratch.filePath(QStringLiteral("keystore.ini"));
        s.searchPath = scratch.filePath(QStringLiteral("nobin"));
        s.programFolder = ResPaths::programFolder();
        s.endProgram = [](int) {};
        window = std::make_unique<FrmMain>(session, s);
        window->Load();
        window->show();
        window->selectTab(1);
        window->commands().ConnectCommand();
        if (session.IsConnectObj.value() != ConnectionState::Connected) {
            std::fprintf(stderr, "bench_commands: connect failed: %s\n", qPrintable(messages.lastText()));
            return false;
        }
        if (session.devLink.takesBlocks() != blocks) {
            std::fprintf(stderr, "bench_commands: the link %s block commands\n", blocks ? "takes no" : "takes");
            return false;
        }
        std::printf("mode: %s\n", blocks ? "block commands" : "word commands only (--no-blocks)");
        return true;
    }

    // Addresses of the words a read-all (write-all) of every page moves.
    QList<int32_t> transferred(bool writing) const
    {
        const E2Image &image = session.e2Image;
        const int16_t mask = writing ? image.AllPagesWriteMask() : image.AllPagesMask();
        QList<int32_t> addresses;
        for (int i = 1; i < session.catalogue.VarCount; ++i) {
            const bool selected = writing ? image.writeSelects(mask, i) : image.readSelects(mask, i);
            if (selected && image.qualifiesForTransfer(i))
                addresses.append(session.catalogue.data(i)->Address);
        }
        return addresses;
    }

    // "grouping: 0x002000 12 words (11 entries), ..." as the link plans it.
    void printGrouping(const char *name, bool writing) { printGrouping(name, transferred(writing), !writing); }
    void printGrouping(const char *name, const QList<int32_t> &addresses, bool reading)
    {
        const QList<BlockRun> runs = session.rs232.planRuns(addresses, reading);
        std::printf("  %s grouping, %d frames:", name, static_cast<int>(runs.size()));
        for (const BlockRun &r : runs)
            std::printf(" 0x%06X+%d(%d)", static_cast<unsigned>(r.address), r.words, r.entries);
        std::printf("   [start+words(entries)]\n");
    }

    // One command, timed, with the bytes it put on the wire.
    bool measure(const std::function<void()> &command, Run &run)
    {
        SimProcess::Counts before, after;
        if (!sim->counts(before))
            return false;
        messages.shown.clear();
        QElapsedTimer clock;
        clock.start();
        command();
        run.elapsedMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!sim->counts(after))
            return false;
        run.bytes = (after.bytesIn - before.bytesIn) + (after.bytesOut - before.bytesOut);
        if (session.IsConnectObj.value() != ConnectionState::Connected) {
            std::fprintf(stderr, "bench_commands: the command failed: %s\n", qPrintable(messages.lastText()));
            return false;
        }
        return true;
    }

    bool transfer(const char *name, void (MainCommands::*command)(), int rounds, bool writing)
    {
        std::vector<Run> runs(static_cast<size_t>(rounds));
        for (Run &run : runs) {
            if (!measure([&] { (window->commands().*command)(); }, run))
                return false;
            settle(100);
        }
        std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.ratio() < b.ratio(); });
        const Run &median = runs[runs.size() / 2];
        BenchFigure f;
        f.name = std::string(name) + " ratio";
        f.value = median.ratio();
        f.goal = "<= 1.10";
        f.pass = f.value <= RatioGoal;
        f.details = benchText("%.0f ms, %ld bytes on the wire, minimum %.0f ms; median of %d, best %.2f worst %.2f",
                              median.elapsedMs, median.bytes, wireMs(median.bytes), rounds, runs.front().ratio(),
                              runs.back().ratio());
        f.print();

        // against the payload alone: 2 bytes a word, what no framing can beat
        const int moved = static_cast<int>(transferred(writing).size());
        const double payloadMs = wireMs(2L * moved);
        BenchFigure t;
        t.name = std::string(name) + " time";
        t.value = median.elapsedMs;
        t.decimals = 0;
        t.unit = "ms";
        const double goal = writing ? WriteAllGoalMs : ReadAllGoalMs;
        t.goal = blocks ? benchText("<= %.0f ms", goal) : std::string("none without blocks");
        t.pass = !blocks || t.value <= goal;
        t.details = benchText("%ld bytes, %d words; payload minimum %.0f ms (2 bytes a word), ratio %.2f to it",
                              median.bytes, moved, payloadMs, median.elapsedMs / payloadMs);
        t.print();
        if (blocks)
            printGrouping(name, writing);
        return true;
    }

    // With `trend` the trend window is open and redrawing while the monitor polls.
    bool monitor(double seconds, bool trend)
    {
        window->selectTab(2);
        if (trend)
            window->showTrend();
        settle(1000);   // the first cycles, and the page's own drawing
        // the frames of one cycle: its words, grouped as the link groups them
        QList<int32_t> addresses;
        for (KrvId id : {KRV_ERROR_CODE, KRV_HSD_MONITOR, KRV_DIGIT_MONITOR})
            if (const CVarDataS *d = session.catalogue.data(id))
                addresses.append(d->Address);
        for (JoyMonitor *control : window->monitorPage()->drawing().monitors())
            if (!control->isHidden() && control->MonitorEnable())
                if (const CVarDataS *d = session.catalogue.data(control->VarID()))
                    addresses.append(d->Address);
        const int readsPerCycle = static_cast<int>(session.rs232.planRuns(addresses, true).size());
        if (blocks)
            printGrouping("monitor", addresses, true);

        // a few spans, the median one counts: the host of a virtual machine
        // now and then stalls it for a second or two
        struct Span
        {
            double cycles;
            double elapsedMs;
            double minimumMs;   // wire minimum of one cycle
            double cpuPercent;  // of one core, this whole process
            // a cycle starts on a timer tick, so it can come no sooner than the
            // tick after the last one, however short its frames are
            double floorMs() const { return std::max(minimumMs, static_cast<double>(PagePoller::IntervalMs)); }
            double ratio() const { return elapsedMs / cycles / floorMs(); }
        };
        std::vector<Span> spans;
        for (int i = 0; i < MonitorSpans; ++i) {
            SimProcess::Counts before, after;
            if (!sim->counts(before))
                return false;
            QElapsedTimer clock;
            clock.start();
            const double cpuBefore = cpuSeconds();
            settle(static_cast<int>(seconds * 1000));
            const double elapsedMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            const double cpuPercent = (cpuSeconds() - cpuBefore) / (elapsedMs / 1000.0) * 100.0;
            if (!sim->counts(after))
                return false;
            const long requests = after.requests - before.requests;
            const long bytes = (after.bytesIn - before.bytesIn) + (after.bytesOut - before.bytesOut);
            if (requests <= 0 || session.IsConnectObj.value() == ConnectionState::NotConnected) {
                std::fprintf(stderr, "bench_commands: the monitor did not poll\n");
                return false;
            }
            const double cycles = static_cast<double>(requests) / readsPerCycle;
            spans.push_back({cycles, elapsedMs, wireMs(bytes) / cycles, cpuPercent});
        }
        const size_t recorded = window->monitorPage()->recorder().samples().size();
        if (trend)
            window->trendWindow()->hide();
        window->selectTab(1);
        settle(300);
        std::vector<double> ratios, cpu;
        for (const Span &span : spans) {
            ratios.push_back(span.ratio());
            cpu.push_back(span.cpuPercent);
        }
        const std::string suffix = trend ? ", trend open" : "";
        std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.ratio() < b.ratio(); });
        const Span &median = spans[spans.size() / 2];
        const double cycleMs = median.elapsedMs / median.cycles;

        BenchFigure rate;
        rate.name = "monitor cycles" + suffix;
        rate.value = median.cycles / (median.elapsedMs / 1000.0);
        rate.unit = "per s";
        // the monitor's timer ticks every 100 ms: no more cycles than ticks,
        // whatever the wire would allow
        const double rateGoal = 1000.0 / median.floorMs() / RatioGoal;
        rate.goal = benchText(">= %.2f (%s / 1.10)", rateGoal,
                              median.minimumMs >= PagePoller::IntervalMs ? "wire minimum" : "one cycle a timer tick");
        rate.pass = rate.value >= rateGoal;
        rate.details = benchText("%d words in %d frame(s) a cycle, %.1f cycles in %.1f s; the wire allows %.1f",
                                 static_cast<int>(addresses.size()), readsPerCycle, median.cycles,
                                 median.elapsedMs / 1000.0, 1000.0 / median.minimumMs);
        rate.print();

        BenchFigure ratio;
        ratio.name = "monitor cycle ratio" + suffix;
        ratio.value = median.ratio();
        ratio.goal = "<= 1.10";
        ratio.pass = ratio.value <= RatioGoal;
        ratio.details = benchText("%.1f ms a cycle, wire minimum %.1f ms, timer %d ms; ", cycleMs, median.minimumMs,
                                  PagePoller::IntervalMs)
                        + benchSpans(ratios, seconds, 2);
        ratio.print();

        // the whole program in this process: polling, the page and the trend's redraws
        std::vector<double> sorted = cpu;
        std::sort(sorted.begin(), sorted.end());
        BenchFigure load;
        load.name = trend ? "cpu monitor, trend open" : "cpu monitor, in process";
        load.value = sorted[sorted.size() / 2];
        load.unit = "% of a core";
        load.goal = "<= 5 %";
        load.pass = load.value <= 5.0;
        load.details = trend ? benchText("main and trend window offscreen, redrawn at most every %d ms, %d samples recorded; ",
                                         TrendWindow::RefreshMs, static_cast<int>(recorded))
                             : std::string("main window offscreen; ");
        load.details += benchSpans(cpu, seconds, 1);
        load.print();
        return true;
    }

    // Lets the program run for a while, timers and all.
    static void settle(int milliseconds)
    {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }

    bool blocks;
    FakeMessageService messages;
    ScriptedFileDialogs dialogs;
    RecordingViewer viewer;
    RecordingLauncher launcher;
    ComponentFactory components;
    QTemporaryDir scratch;
    Session session;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<FrmMain> window;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const double monitorSeconds = argc > 2 ? std::max(1.0, atof(argv[2])) : 5.0;
    const bool blocks = !(argc > 3 && QByteArray(argv[3]) == "--no-blocks");

    Bench bench(blocks);
    if (!bench.start())
        return 1;
    bool ok = bench.transfer("read-all", &MainCommands::ReadAll, rounds, false);
    ok = ok && bench.transfer("write-all", &MainCommands::WriteAll, rounds, true);
    ok = ok && bench.monitor(monitorSeconds, false);
    ok = ok && bench.monitor(monitorSeconds, true);
    bench.window.reset();
    return ok ? 0 : 1;
}
