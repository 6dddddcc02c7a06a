#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// One valve section: a steel slice with a solenoid at each end and two work ports.
void drawSection(QPainter &p, const QRectF &slice, const QColor &band)
{
    QLinearGradient steel(slice.topLeft(), slice.topRight());
    steel.setColorAt(0, QColor(120, 128, 138));
    steel.setColorAt(0.5, QColor(205, 210, 216));
    steel.setColorAt(1, QColor(110, 118, 128));
    p.setPen(QPen(QColor(60, 64, 70), 1.5));
    p.setBrush(steel);
    p.drawRect(slice);

    // colour band of the section
    p.setBrush(band);
    p.drawRect(QRectF(slice.left(), slice.top() + slice.height() * 0.08, slice.width(), slice.height() * 0.06));

    // work ports A and B on the top face
    p.setBrush(QColor(40, 40, 45));
    const qreal r = slice.width() * 0.16;
    p.drawEllipse(QPointF(slice.center().x(), slice.top() + slice.height() * 0.32), r, r);
    p.drawEllipse(QPointF(slice.center().x(), slice.top() + slice.height() * 0.62), r, r);

    // solenoids, coil A above and coil B below
    for (int side = 0; side < 2; ++side) {
        const qreal y = side == 0 ? slice.top() - slice.height() * 0.36 : slice.bottom();
        QRectF coil(slice.left() + slice.width() * 0.12, y, slice.width() * 0.76, slice.height() * 0.36);
        QLinearGradient black(coil.topLeft(), coil.topRight());
        black.setColorAt(0, QColor(25, 25, 28));
        black.setColorAt(0.45, QColor(85, 85, 92));
        black.setColorAt(1, QColor(20, 20, 24));
        p.setBrush(black);
        p.drawRoundedRect(coil, 3, 3);
        p.setBrush(QColor(230, 170, 30));
        const QRectF plug(coil.center().x() - coil.width() * 0.22,
                          side == 0 ? coil.top() - 7 : coil.bottom() + 1, coil.width() * 0.44, 6);
        p.drawRect(plug);
    }
}

void drawSymbolFrame(QPainter &p, int size)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
}

QPainterPath arrow(QPointF from, QPointF to)
{
    QPainterPath path(from);
    path.lineTo(to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot((to - from).x(), (to - from).y()));
    const QPointF n(-d.y(), d.x());
    path.moveTo(to - d * 5 + n * 4);
    path.lineTo(to);
    path.lineTo(to - d * 5 - n * 4);
    return path;
}

void drawChip(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(60, 70, 80));
    p.drawRect(r);
    p.setPen(QPen(QColor(180, 180, 180), 1));
    for (qreal x = r.left() + 2; x < r.right() - 1; x += 3) {
        p.drawLine(QPointF(x, r.top() - 2), QPointF(x, r.top()));
        p.drawLine(QPointF(x, r.bottom()), QPointF(x, r.bottom() + 2));
    }
}

void drawTransfer(QPainter &p, bool toController, bool all)
{
    drawChip(p, QRectF(6, 15, 12, 6));
    const QColor colour = toController ? QColor(200, 60, 20) : QColor(20, 110, 200);
    p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal xs[] = {12, 7, 17};
    const int count = all ? 3 : 1;
    for (int i = 0; i < count; ++i) {
        const qreal x = all ? xs[i] : 12;
        p.drawPath(toController ? arrow({x, 2}, {x, 12}) : arrow({x, 12}, {x, 2}));
    }
}

void drawPadlock(QPainter &p, bool open)
{
    p.setPen(QPen(QColor(90, 90, 90), 2.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(7, 11);
    shackle.lineTo(7, 7);
    shackle.arcTo(QRectF(7, 2, 10, 10), 180, -180);
    shackle.lineTo(17, open ? 5 : 11);
    p.drawPath(open ? shackle.translated(0, -2) : shackle);
    p.setPen(QPen(QColor(120, 80, 10), 1));
    p.setBrush(QColor(235, 180, 40));
    p.drawRoundedRect(QRectF(4, 11, 16, 11), 2, 2);
    p.setBrush(QColor(60, 40, 10));
    p.drawEllipse(QPointF(12, 16), 1.8, 1.8);
}

void drawBadge(QPainter &p, const QColor &colour, const QString &letter)
{
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setPen(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, letter);
}

} // namespace

namespace Artwork {

QImage splash(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(232, 238, 246));
    sky.setColorAt(1, QColor(168, 182, 200));
    p.fillRect(image.rect(), sky);

    // floor shadow
    QRadialGradient shadow(QPointF(width * 0.5, height * 0.86), width * 0.4);
    shadow.setColorAt(0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(width * 0.5, height * 0.86), width * 0.42, height * 0.06);

    // inlet and outlet end plates with the stack of four sections between them
    const qreal blockTop = height * 0.34, blockHeight = height * 0.32;
    const qreal plateW = width * 0.11, sliceW = width * 0.105;
    qreal x = width * 0.5 - (2 * plateW + 4 * sliceW) / 2;
    const QColor bands[] = {QColor(200, 40, 40), QColor(40, 140, 60), QColor(40, 80, 190), QColor(220, 170, 20)};
    QLinearGradient plate(0, blockTop, 0, blockTop + blockHeight);
    plate.setColorAt(0, QColor(90, 110, 150));
    plate.setColorAt(1, QColor(40, 55, 85));
    p.setPen(QPen(QColor(30, 35, 50), 1.5));
    p.setBrush(plate);
    p.drawRect(QRectF(x, blockTop - 8, plateW, blockHeight + 16));
    p.setBrush(QColor(30, 30, 34));
    p.drawEllipse(QPointF(x + plateW / 2, blockTop + blockHeight / 2), plateW * 0.22, plateW * 0.22);
    x += plateW;
    for (const QColor &band : bands) {
        drawSection(p, QRectF(x, blockTop, sliceW, blockHeight), band);
        x += sliceW;
    }
    p.setPen(QPen(QColor(30, 35, 50), 1.5));
    p.setBrush(plate);
    p.drawRect(QRectF(x, blockTop - 8, plateW, blockHeight + 16));

    // control unit on the outlet plate, wired to the coils
    const QRectF unit(x + plateW * 0.1, blockTop - height * 0.27, plateW * 1.5, height * 0.16);
    p.setBrush(QColor(30, 60, 40));
    p.drawRoundedRect(unit, 4, 4);
    p.setBrush(QColor(0, 220, 0));
    p.drawEllipse(QPointF(unit.left() + 10, unit.top() + 10), 3.5, 3.5);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable(QPointF(unit.left(), unit.center().y()));
    cable.cubicTo(unit.left() - 40, unit.center().y(), width * 0.45, blockTop - height * 0.25,
                  width * 0.3, blockTop - height * 0.12);
    p.drawPath(cable);

    // hoses to the tank and pump
    p.setPen(QPen(QColor(20, 20, 20), 6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath hose(QPointF(width * 0.5 - (2 * plateW + 4 * sliceW) / 2 + plateW / 2, blockTop + blockHeight / 2));
    hose.cubicTo(width * 0.05, height * 0.55, width * 0.05, height * 0.9, width * 0.02, height * 0.95);
    p.drawPath(hose);

    p.setPen(QColor(30, 40, 60));
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(height / 12);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(0, height * 0.02, width * 0.6, height * 0.14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("  KRV Studio"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(height / 22);
    p.setFont(sub);
    p.drawText(QRectF(0, height * 0.86, width - 12, height * 0.12), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("TBX 400 valve block - four proportional sections"));
    return image;
}

QImage stateLamp(int size, QRgb colour)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = QColor::fromRgb(colour);
    QRadialGradient glow(QPointF(size * 0.38, size * 0.35), size * 0.6);
    glow.setColorAt(0, c.lighter(160));
    glow.setColorAt(1, c.darker(130));
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(glow);
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    return image;
}

QStringList toolbarKeys()
{
    return {QStringLiteral("Load"),   QStringLiteral("Save"),  QStringLiteral("ReadAll"),
            QStringLiteral("WriteAll"), QStringLiteral("Reset"), QStringLiteral("read"),
            QStringLiteral("Write"),  QStringLiteral("Login"), QStringLiteral("Logout"),
            QStringLiteral("Help"),   QStringLiteral("Info"),  QStringLiteral("Conncect")};
}

QImage toolbarImage(const QString &key, int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    drawSymbolFrame(p, size);
    if (key == QLatin1String("Load")) {
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(2, 7, 19, 14));
        p.drawRect(QRectF(2, 5, 8, 3));
        p.setBrush(QColor(252, 225, 130));
        QPolygonF flap({{5, 11}, {23, 11}, {20, 21}, {2, 21}});
        p.drawPolygon(flap);
    } else if (key == QLatin1String("Save")) {
        p.setPen(QPen(QColor(20, 40, 90), 1));
        p.setBrush(QColor(50, 90, 170));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(6, 3, 12, 7));
        p.setBrush(QColor(20, 30, 60));
        p.drawRect(QRectF(7, 14, 10, 7));
    } else if (key == QLatin1String("ReadAll") || key == QLatin1String("read")) {
        drawTransfer(p, false, key == QLatin1String("ReadAll"));
    } else if (key == QLatin1String("WriteAll") || key == QLatin1String("Write")) {
        drawTransfer(p, true, key == QLatin1String("WriteAll"));
    } else if (key == QLatin1String("Reset")) {
        p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 5, 16, 16), 120 * 16, -330 * 16);
        p.drawLine(QPointF(12, 2), QPointF(12, 11));
    } else if (key == QLatin1String("Login") || key == QLatin1String("Logout")) {
        drawPadlock(p, key == QLatin1String("Login"));
    } else if (key == QLatin1String("Help")) {
        drawBadge(p, QColor(30, 110, 200), QStringLiteral("?"));
    } else if (key == QLatin1String("Info")) {
        drawBadge(p, QColor(30, 150, 90), QStringLiteral("i"));
    } else if (key == QLatin1String("Conncect")) {
        // plug and socket
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(QColor(70, 70, 75));
        p.drawRoundedRect(QRectF(2, 8, 8, 9), 1.5, 1.5);
        p.drawRoundedRect(QRectF(14, 8, 8, 9), 1.5, 1.5);
        p.setBrush(QColor(230, 180, 40));
        p.drawRect(QRectF(10, 9.5, 3, 2));
        p.drawRect(QRectF(10, 13.5, 3, 2));
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.drawLine(QPointF(0, 12.5), QPointF(2, 12.5));
        p.drawLine(QPointF(22, 12.5), QPointF(24, 12.5));
    }
    return image;
}

QList<int> appIconSizes()
{
    return {16, 32, 48, 64, 128, 256};
}

QImage appIcon(int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(44, 86, 140));
    tile.setColorAt(1, QColor(18, 40, 72));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    const QColor bands[] = {QColor(220, 40, 30), QColor(245, 200, 20), QColor(40, 150, 230)};
    const qreal width = 58, gap = 6, height = 112;
    const qreal left = 128 - (3 * width + 2 * gap) / 2;
    for (int i = 0; i < 3; ++i) {
        const QRectF slice(left + i * (width + gap), 72, width, height);
        if (size >= 48) {
            drawSection(p, slice, bands[i]);
            continue;
        }
        // small sizes: steel slice, a thick colour band, black coil ends
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 206, 214));
        p.drawRect(slice);
        p.setBrush(bands[i]);
        p.drawRect(QRectF(slice.left(), slice.top() + 12, width, 36));
        p.setBrush(QColor(25, 25, 28));
        p.drawRect(QRectF(slice.left() + 6, 28, width - 12, 40));
        p.drawRect(QRectF(slice.left() + 6, slice.bottom() + 4, width - 12, 40));
    }
    return image;
}

} // namespace Artwork
