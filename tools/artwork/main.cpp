#include "artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>

static bool save(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: krv-artwork <res folder>\n");
        return 2;
    }
    const QDir res(QString::fromLocal8Bit(argv[1]));
    res.mkpath(QStringLiteral("bmp/toolbar"));
    res.mkpath(QStringLiteral("ico"));

    bool ok = save(Artwork::splash(480, 300), res.filePath(QStringLiteral("bmp/Init.jpg")), "jpg", 92);
    const struct { const char *file; QRgb colour; } lamps[] = {
        {"ico/Green 16.ico", qRgb(0, 200, 0)},
        {"ico/White 16.ico", qRgb(245, 245, 245)},
        {"ico/Red 16.ico", qRgb(220, 0, 0)},
    };
    for (const auto &lamp : lamps)
        ok &= save(Artwork::stateLamp(16, lamp.colour), res.filePath(QString::fromLatin1(lamp.file)), "ico");
    for (int size : Artwork::appIconSizes())
        ok &= save(Artwork::appIcon(size), res.filePath(QStringLiteral("ico/krvstudio-%1.png").arg(size)), "png");
    for (const QString &key : Artwork::toolbarKeys())
        ok &= save(Artwork::toolbarImage(key, 24), res.filePath(QStringLiteral("bmp/toolbar/%1.png").arg(key)), "png");
    return ok ? 0 : 1;
}
