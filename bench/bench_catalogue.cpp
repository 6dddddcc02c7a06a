// Prints how long the shipped variable list takes to load and how many
// formula evaluations a second the program's evaluator manages.
#include "catalogue.h"
#include "stringeval.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : Catalogue::defaultRamListPath();

    constexpr int loads = 200;
    QElapsedTimer timer;
    timer.start();
    int entries = 0;
    for (int i = 0; i < loads; ++i) {
        Catalogue catalogue;
        if (!catalogue.LoadRamList(path)) {
            std::fprintf(stderr, "cannot load %s\n", qPrintable(path));
            return 1;
        }
        entries = catalogue.VarCount - 1;
    }
    const double loadMs = timer.nsecsElapsed() / 1e6 / loads;
    std::printf("load Ramlist.ini (%d entries): %.3f ms\n", entries, loadMs);

    constexpr int evaluations = 200000;
    double sink = 0;
    timer.restart();
    for (int i = 0; i < evaluations; ++i) {
        QString formula = QStringLiteral("(X*1000)/4095+200");
        sink += StringEval::EvaluateFormula(formula, i % 4096);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("evaluate (X*1000)/4095+200: %.0f evaluations/s (checksum %.0f)\n", evaluations / seconds, sink);
    return 0;
}
