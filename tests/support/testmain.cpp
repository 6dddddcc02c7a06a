#include <QApplication>
#include <gtest/gtest.h>

// Every test runs inside an offscreen application so widgets, timers and the
// default locale behave as in the program.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
