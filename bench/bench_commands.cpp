// Read All, Write All and the on-line monitor through the program's own
// commands: the real main window with its six pages (offscreen), talking to
// krv-sim over its pseudo-terminal at the pace of 9600 baud with the shipped
// variable list. Bytes on the wire are the simulator's own counts.
// Usage: bench_commands [rounds of each transfer, default 3] [seconds of each monitor span, default 5]
// A transfer figure is the median of its rounds, the monitor figures that of three spans.

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
#include "respaths.h"
#include "session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr double Baud = 9600.0;
constexpr double RatioGoal = 1.10;
constexpr int MonitorSpans = 3;

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
    Bench() : session(&components, &messages) {}

    bool start()
    {
        SimProcess::Options options;
        options.pacing = true;
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
        return true;
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

    bool transfer(const char *name, void (MainCommands::*command)(), int rounds)
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
        return true;
    }

    bool monitor(double seconds)
    {
        window->selectTab(2);
        settle(1000);   // the first cycles, and the page's own drawing
        int polled = 0;
        for (JoyMonitor *control : window->monitorPage()->drawing().monitors())
            if (!control->isHidden() && control->MonitorEnable())
                ++polled;
        const int readsPerCycle = polled + 3;

        // a few spans, the median one counts: the host of a virtual machine
        // now and then stalls it for a second or two
        struct Span
        {
            double cycles;
            double elapsedMs;
            double minimumMs;   // wire minimum of one cycle
            double ratio() const { return elapsedMs / cycles / minimumMs; }
        };
        std::vector<Span> spans;
        for (int i = 0; i < MonitorSpans; ++i) {
            SimProcess::Counts before, after;
            if (!sim->counts(before))
                return false;
            QElapsedTimer clock;
            clock.start();
            settle(static_cast<int>(seconds * 1000));
            const double elapsedMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            if (!sim->counts(after))
                return false;
            const long requests = after.requests - before.requests;
            const long bytes = (after.bytesIn - before.bytesIn) + (after.bytesOut - before.bytesOut);
            if (requests <= 0 || session.IsConnectObj.value() == ConnectionState::NotConnected) {
                std::fprintf(stderr, "bench_commands: the monitor did not poll\n");
                return false;
            }
            const double cycles = static_cast<double>(requests) / readsPerCycle;
            spans.push_back({cycles, elapsedMs, wireMs(bytes) / cycles});
        }
        window->selectTab(1);
        settle(300);
        std::vector<double> ratios;
        for (const Span &span : spans)
            ratios.push_back(span.ratio());
        std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.ratio() < b.ratio(); });
        const Span &median = spans[spans.size() / 2];
        const double cycleMs = median.elapsedMs / median.cycles;

        BenchFigure rate;
        rate.name = "monitor cycles";
        rate.value = median.cycles / (median.elapsedMs / 1000.0);
        rate.unit = "per s";
        rate.goal = benchText(">= %.2f (wire minimum / 1.10)", 1000.0 / median.minimumMs / RatioGoal);
        rate.pass = rate.value >= 1000.0 / median.minimumMs / RatioGoal;
        rate.details = benchText("%d reads a cycle, %.1f cycles in %.1f s", readsPerCycle, median.cycles,
                                 median.elapsedMs / 1000.0);
        rate.print();

        BenchFigure ratio;
        ratio.name = "monitor cycle ratio";
        ratio.value = median.ratio();
        ratio.goal = "<= 1.10";
        ratio.pass = ratio.value <= RatioGoal;
        ratio.details = benchText("%.1f ms a cycle, wire minimum %.1f ms; ", cycleMs, median.minimumMs)
                        + benchSpans(ratios, seconds, 2);
        ratio.print();
        return true;
    }

    // Lets the program run for a while, timers and all.
    static void settle(int milliseconds)
    {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }

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

    Bench bench;
    if (!bench.start())
        return 1;
    bool ok = bench.transfer("read-all", &MainCommands::ReadAll, rounds);
    ok = ok && bench.transfer("write-all", &MainCommands::WriteAll, rounds);
    ok = ok && bench.monitor(monitorSeconds);
    bench.window.reset();
    return ok ? 0 : 1;
}
