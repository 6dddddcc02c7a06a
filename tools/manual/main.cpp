// Builds the user manual: grabs the program's windows offscreen, lays the
// chapters of docs/manual out on their pages and prints the PDF.
//   krv-manual <source folder> <output pdf> [--verbose]
#include "manualprinter.h"
#include "manualsource.h"
#include "manualtables.h"
#include "windowshots.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

// The offscreen platform says so each time a window asks to be raised.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments();
    const bool verbose = args.removeAll(QStringLiteral("--verbose")) > 0;
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: krv-manual <source folder> <output pdf> [--verbose]\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();

    ManualSource source;
    if (!source.load(args.at(1))) {
        std::fprintf(stderr, "krv-manual: %s\n", qPrintable(source.error()));
        return 1;
    }

    WindowShots shots;
    if (!shots.grabAll()) {
        std::fprintf(stderr, "krv-manual: %s\n", qPrintable(shots.error()));
        return 1;
    }

    ManualTables tables;
    if (!tables.build()) {
        std::fprintf(stderr, "krv-manual: %s\n", qPrintable(tables.error()));
        return 1;
    }
    QHash<QString, QImage> images = shots.images();
    images.insert(tables.images());

    ManualPrinter printer(source.chapters(), images, tables.snippets());
    const bool printed = printer.print(args.at(2));
    if (!printed || verbose) {
        // Where each chapter stands, so an author sees which one to shorten.
        const auto &placed = printer.layout().placements();
        for (int i = 0; i < printer.chapterLengths().size(); ++i) {
            const auto &c = printer.chapterLengths().at(i);
            std::fprintf(stderr, "  %-50s %2d page(s)%s%s\n", qPrintable(c.title), c.pageCount,
                         c.fixedStart ? qPrintable(QStringLiteral(", must start on page %1").arg(c.fixedStart)) : "",
                         i < placed.size() ? qPrintable(QStringLiteral(", starts on page %1").arg(placed.at(i).startPage)) : "");
        }
    }
    if (verbose) {
        for (const QString &mend : printer.mends())
            std::fprintf(stderr, "  kept whole: %s\n", qPrintable(mend));
    }
    if (!printed) {
        std::fprintf(stderr, "krv-manual: %s\n", qPrintable(printer.error()));
        return 1;
    }
    std::printf("krv-manual: %d pages, %d pictures, %.1f s\n", printer.layout().totalPages(),
                static_cast<int>(shots.images().size()), clock.elapsed() / 1000.0);
    return 0;
}
