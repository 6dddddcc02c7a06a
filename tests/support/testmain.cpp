#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Qt's pool threads (smooth picture scaling uses them) are detached: the
// application's end tells them to stop but does not wait until they are gone.
// The leak check at exit stops every thread of the process, and a thread still
// on its way out makes that check itself crash now and then, so a run waits
// here until it is the only thread left.
void waitUntilOnlyThisThreadRuns()
{
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        const QStringList tasks =
            QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (tasks.size() <= 1)
            return;
        QThread::msleep(2);
    }
}

} // namespace

// Every test runs inside an offscreen application so widgets, timers and the
// default locale behave as in the program.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    waitUntilOnlyThisThreadRuns();
    return result;
}
