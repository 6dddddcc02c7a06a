// Draws the supply picture of the on-line monitor: a 24 V battery with its
// two terminals and a lightning mark, on white.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

constexpr int kSize = 64;

QImage drawSupply()
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // terminals
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(14, 12, 10, 6));
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(40, 12, 10, 6));

    // case
    QLinearGradient body(0, 18, 0, 56);
    body.setColorAt(0, QColor(90, 94, 100));
    body.setColorAt(1, QColor(40, 42, 46));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(6, 18, 52, 38), 4, 4);

    // + and - marks
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(15, 25), QPointF(23, 25));
    p.drawLine(QPointF(19, 21), QPointF(19, 29));
    p.drawLine(QPointF(41, 25), QPointF(49, 25));

    // lightning
    QPainterPath bolt;
    bolt.moveTo(35, 28);
    bolt.lineTo(26, 42);
    bolt.lineTo(32, 42);
    bolt.lineTo(28, 53);
    bolt.lineTo(39, 38);
    bolt.lineTo(33, 38);
    bolt.closeSubpath();
    p.setPen(QPen(QColor(120, 90, 0), 1));
    p.setBrush(QColor(255, 210, 0));
    p.drawPath(bolt);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("VBB.jpg"));
    if (!drawSupply().save(path, "JPG", 95)) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return 1;
    }
    QTextStream(stdout) << path << "\n";
    return 0;
}
