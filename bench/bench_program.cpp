// The program itself, krvstudio, measured from outside as a process: start-up
// time to the main window shown, CPU used while connected and idle on the
// configuration page and while the monitor polls, and peak resident memory
// over a session that connects, reads, opens every page and polls. It drives
// the program through its KRV_REMOTE line remote, against krv-sim pacing at
// 9600 baud with the shipped variable list.
// Usage: bench_program [start-ups, default 5] [CPU seconds, default 10] [--no-blocks]
// With --no-blocks the controller takes no block commands.

#include "benchfigure.h"
#include "simprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <unistd.h>
#include <vector>

namespace {

// The splash runs its bar from 0 to 100 one step per 2 ms tick at the least.
constexpr double SplashMinimumMs = 100 * 2.0;

class Program
{
public:
    explicit Program(const QString &home) : m_home(home) {}
    ~Program() { stop(); }

    bool start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KRV_REMOTE"), QStringLiteral("1"));
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // whatever the program writes stays in the scratch folder
        env.insert(QStringLiteral("HOME"), m_home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home + QStringLiteral("/data"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/krvstudio"), {});
        return m_process.waitForStarted(5000);
    }

    // The next line the program answers, or empty after the time-out.
    QString line(int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_process.canReadLine() && !deadline.hasExpired() && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(10);
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    // Sends a command; true when the answer is the one expected.
    bool command(const QString &text, const QString &expected, int timeoutMs = 30000)
    {
        m_process.write((text + QLatin1Char('\n')).toUtf8());
        m_process.waitForBytesWritten(1000);
        const QString answer = line(timeoutMs);
        if (answer != expected)
            std::fprintf(stderr, "bench_program: '%s' answered '%s'\n", qPrintable(text), qPrintable(answer));
        return answer == expected;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("quit\n");
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    // CPU time (user + system) used so far, in seconds.
    double cpuSeconds() const
    {
        QFile f(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray text = f.readAll();
        // fields after the command name, which is in parentheses and may hold spaces
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            return -1;
        const double ticks = fields[11].toDouble() + fields[12].toDouble();   // utime, stime
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

    // A field of /proc/<pid>/status in kB (VmHWM: peak resident set).
    double statusKb(const char *field) const
    {
        QFile f(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray key = QByteArray(field) + ':';
        for (const QByteArray &row : f.readAll().split('\n'))
            if (row.startsWith(key))
                return row.mid(key.size()).trimmed().split(' ').value(0).toDouble();
        return -1;
    }

    // Share of one core used over the next `seconds`, in percent.
    double cpuPercent(double seconds)
    {
        const double before = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        QThread::msleep(static_cast<unsigned long>(seconds * 1000));
        const double used = cpuSeconds() - before;
        return used / (static_cast<double>(clock.nsecsElapsed()) / 1e9) * 100.0;
    }

private:
    QString m_home;
    QProcess m_process;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The program's CPU use in `Windows` spans of `seconds` each, against a limit
// in % of a core. The figure is the median span: a virtual machine's host now
// and then charges a few seconds of its own work to whatever runs.
constexpr int Windows = 3;

BenchFigure cpuFigure(Program &program, const char *name, double limit, double seconds, const std::string &what)
{
    std::vector<double> spans;
    for (int i = 0; i < Windows; ++i)
        spans.push_back(program.cpuPercent(seconds));
    BenchFigure figure;
    figure.name = name;
    figure.value = median(spans);
    figure.unit = "% of a core";
    figure.goal = benchText("< %.0f %%", limit);
    figure.pass = figure.value < limit;
    figure.details = what + ", " + benchSpans(spans, seconds, 1);
    return figure;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int startUps = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const double cpuSeconds = argc > 2 ? std::max(1.0, atof(argv[2])) : 10.0;
    const bool blocks = !(argc > 3 && QByteArray(argv[3]) == "--no-blocks");
    QTemporaryDir home;

    // Start-up: from the process start to the main window shown.
    std::vector<double> startMs;
    for (int i = 0; i < startUps; ++i) {
        Program program(home.path());
        QElapsedTimer clock;
        clock.start();
        if (!program.start() || program.line(30000) != QLatin1String("shown")) {
            std::fprintf(stderr, "bench_program: krvstudio did not show its window\n");
            return 1;
        }
        startMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    BenchFigure startUp;
    startUp.name = "start-up";
    startUp.value = median(startMs) - SplashMinimumMs;
    startUp.decimals = 0;
    startUp.unit = "ms";
    startUp.goal = "< 300 ms";
    startUp.pass = startUp.value < 300;
    startUp.details = benchText("median of %d: %.0f ms to the main window shown, less the splash's %.0f ms; best %.0f",
                                startUps, median(startMs), SplashMinimumMs,
                                *std::min_element(startMs.begin(), startMs.end()));
    startUp.print();

    // One session: connect (which reads everything), every page, idle, poll.
    SimProcess::Options options;
    options.pacing = true;
    options.blocks = blocks;
    SimProcess sim(options);
    if (!sim.start()) {
        std::fprintf(stderr, "bench_program: krv-sim did not start: %s\n", qPrintable(sim.errorText()));
        return 1;
    }
    Program program(home.path());
    if (!program.start() || program.line(30000) != QLatin1String("shown") || !program.command("connect", "connected"))
        return 1;
    for (int page = 1; page <= 6; ++page) {
        if (!program.command(QStringLiteral("page %1").arg(page), QStringLiteral("page %1").arg(page)))
            return 1;
        QThread::msleep(300);
    }
    if (!program.command("page 1", "page 1"))
        return 1;
    QThread::msleep(2000);

    cpuFigure(program, "cpu idle", 1.0, cpuSeconds, "connected, configuration page").print();

    if (!program.command("page 2", "page 2"))
        return 1;
    QThread::msleep(1000);
    BenchFigure polling =
        cpuFigure(program, "cpu monitor", 5.0, cpuSeconds, "monitor page polling");
    if (!program.command("state", "state 3"))
        polling.details += ", but the monitor was not polling";
    polling.print();

    BenchFigure memory;
    memory.name = "peak memory";
    memory.value = program.statusKb("VmHWM") / 1024.0;
    memory.decimals = 1;
    memory.unit = "MB";
    memory.goal = "< 80 MB";
    memory.pass = memory.value > 0 && memory.value < 80.0;
    memory.details = "VmHWM after connect, every page, idle and polling";
    memory.print();
    program.stop();
    return 0;
}
