// Draws the pictures of the configuration page: the control unit QEL400W
// (Qel/QEL400W.jpg) and the proportional solenoid shown on the dither buttons
// (Magnet/ZEDERO.jpg).
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTextStream>

namespace {

QImage controlUnit()
{
    QImage image(112, 72, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Die-cast housing with its four fixing lugs.
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(150, 152, 156));
    for (const QPointF &lug : {QPointF(8, 10), QPointF(104, 10), QPointF(8, 62), QPointF(104, 62)})
        p.drawEllipse(lug, 6, 6);
    QLinearGradient body(0, 6, 0, 66);
    body.setColorAt(0, QColor(95, 100, 108));
    body.setColorAt(1, QColor(48, 52, 58));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(8, 6, 96, 60), 6, 6);
    p.setBrush(QColor(210, 212, 216));
    for (const QPointF &lug : {QPointF(8, 10), QPointF(104, 10), QPointF(8, 62), QPointF(104, 62)})
        p.drawEllipse(lug, 2.5, 2.5);

    // Label plate.
    p.setBrush(QColor(235, 235, 228));
    p.drawRect(QRectF(18, 14, 60, 22));
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(20, 20, 20));
    p.drawText(QRectF(18, 14, 60, 22), Qt::AlignCenter, QStringLiteral("QEL400W"));

    // Status lamps.
    p.setPen(QPen(Qt::black, 1));
    const QColor lamps[] = {QColor(0, 190, 0), QColor(240, 190, 0), QColor(220, 30, 30)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lamps[i]);
        p.drawEllipse(QPointF(88, 18 + i * 9), 3, 3);
    }

    // The two connectors along the lower edge.
    for (int c = 0; c < 2; ++c) {
        const QRectF plug(20 + c * 40, 44, 32, 16);
        p.setBrush(QColor(25, 25, 25));
        p.drawRoundedRect(plug, 2, 2);
        p.setBrush(QColor(200, 170, 60));
        for (int pin = 0; pin < 6; ++pin)
            p.drawRect(QRectF(plug.left() + 3 + pin * 4.8, plug.top() + 5, 2.4, 6));
    }
    return image;
}

QImage solenoid()
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 1));

    // Coil housing with its winding, the armature tube and the plug on top.
    QLinearGradient coil(6, 0, 34, 0);
    coil.setColorAt(0, QColor(40, 40, 44));
    coil.setColorAt(0.5, QColor(110, 112, 120));
    coil.setColorAt(1, QColor(40, 40, 44));
    p.setBrush(coil);
    p.drawRoundedRect(QRectF(7, 12, 26, 22), 3, 3);
    p.setPen(QPen(QColor(200, 120, 40), 1.2));
    for (int y = 16; y < 32; y += 3)
        p.drawLine(QPointF(10, y), QPointF(30, y));
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(180, 182, 188));
    p.drawRect(QRectF(16, 34, 8, 5));
    p.setBrush(QColor(20, 90, 190));
    p.drawRoundedRect(QRectF(12, 3, 16, 9), 2, 2);
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(17, 6, 2, 4));
    p.drawRect(QRectF(21, 6, 2, 4));
    return image;
}

bool save(const QImage &image, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return image.save(path, "JPG", 95);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: configpictures <res/bmp folder>\n";
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    if (!save(controlUnit(), root + QStringLiteral("/Qel/QEL400W.jpg"))
        || !save(solenoid(), root + QStringLiteral("/Magnet/ZEDERO.jpg"))) {
        err << "cannot write the pictures below " << root << "\n";
        return 1;
    }
    return 0;
}
