// Draws the pictures of the joystick catalogue: for each model N the model
// (N.jpg), the model greyed out (N_D.jpg) and one picture per axis
// (N_X.jpg, N_Y.jpg, N_Z.jpg, N_W.jpg) with the moving direction marked.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>

namespace {

constexpr int kSize = 96;

enum class Kind { Stick, Stick3, Stick4, Fingertip, Lever, Pedal, Plc, Buttons, None, Friction, Grip, Remote, Knob, Paddle };
// ForwardBack is marked right of the picture, ForwardBackLeft left of it
// (the left lever of a two-lever unit); Dial goes round a panel knob.
enum class Move { LeftRight, ForwardBack, Turn, Rocker, Press, ForwardBackLeft, Dial };

struct Model
{
    const char *name;
    Kind kind;
    QColor knob;
    std::vector<Move> axes; // first axis first
};

const QColor kBody(60, 62, 66);
const QColor kMark(0, 120, 215);

void drawBase(QPainter &p, int width = 60)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kBody);
    p.drawRoundedRect(QRectF((kSize - width) / 2.0, 72, width, 14), 3, 3);
    p.setBrush(QColor(150, 150, 150));
    for (int x : {-1, 1})
        p.drawEllipse(QPointF(kSize / 2.0 + x * (width / 2.0 - 6), 79), 2.5, 2.5);
}

void drawBoot(QPainter &p)
{
    QPainterPath boot;
    boot.moveTo(30, 72);
    boot.cubicTo(34, 58, 42, 54, 45, 50);
    boot.lineTo(51, 50);
    boot.cubicTo(54, 54, 62, 58, 66, 72);
    boot.closeSubpath();
    p.setBrush(QColor(25, 25, 25));
    p.drawPath(boot);
    p.setPen(QPen(QColor(70, 70, 70), 1));
    for (int y = 56; y < 72; y += 5)
        p.drawLine(QPointF(36 - (y - 56) * 0.3, y), QPointF(60 + (y - 56) * 0.3, y));
    p.setPen(QPen(Qt::black, 1));
}

void drawStick(QPainter &p, const QColor &knob, double top = 22, double knobWidth = 22)
{
    p.setBrush(QColor(120, 120, 125));
    p.drawRect(QRectF(45, top + 16, 6, 50 - top - 12));
    p.setBrush(knob);
    p.drawRoundedRect(QRectF(48 - knobWidth / 2, top, knobWidth, 26), 9, 9);
    p.setBrush(knob.lighter(150));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(48 - knobWidth / 2 + 4, top + 4, 6, 9));
    p.setPen(QPen(Qt::black, 1));
}

void drawScrews(QPainter &p, const QRectF &plate)
{
    p.setBrush(QColor(150, 150, 150));
    for (const QPointF &c : {plate.topLeft() + QPointF(6, 6), plate.topRight() + QPointF(-6, 6),
                             plate.bottomLeft() + QPointF(6, -6), plate.bottomRight() + QPointF(-6, -6)})
        p.drawEllipse(c, 2.5, 2.5);
}

// Handle shaped for the whole hand, thumb buttons on its head.
void drawGrip(QPainter &p, const QColor &knob)
{
    drawBase(p);
    drawBoot(p);
    p.setBrush(QColor(120, 120, 125));
    p.drawRect(QRectF(45, 50, 6, 6));
    p.translate(0, 8); // head below the press mark
    QPainterPath grip;
    grip.moveTo(40, 46);
    grip.cubicTo(36, 36, 42, 30, 38, 20);
    grip.cubicTo(36, 12, 44, 8, 52, 9);
    grip.cubicTo(60, 10, 62, 16, 58, 24);
    grip.cubicTo(55, 32, 58, 38, 56, 46);
    grip.closeSubpath();
    p.setBrush(knob);
    p.drawPath(grip);
    p.setBrush(QColor(230, 180, 0)); // trigger
    p.drawRoundedRect(QRectF(56, 26, 5, 9), 2, 2);
    p.setBrush(QColor(0, 160, 60));
    p.drawEllipse(QRectF(41, 12, 7, 7));
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QRectF(50, 12, 7, 7));
    p.translate(0, -8);
}

// Hand-held transmitter: two levers on top, stop button on the face.
void drawRemote(QPainter &p, const QColor &knob)
{
    p.setBrush(QColor(120, 120, 125));
    for (int x : {31, 59})
        p.drawRect(QRectF(x, 20, 6, 20));
    p.setBrush(knob);
    for (int x : {34, 62})
        p.drawRoundedRect(QRectF(x - 7, 12, 14, 14), 5, 5);
    p.setBrush(QColor(40, 40, 40)); // antenna
    p.drawRoundedRect(QRectF(45, 22, 6, 16), 2, 2);
    p.setBrush(QColor(245, 170, 0));
    p.drawRoundedRect(QRectF(18, 38, 60, 48), 6, 6);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(26, 44, 44, 10)); // display
    p.setBrush(QColor(230, 200, 0));
    p.drawEllipse(QPointF(48, 70), 10, 10);
    p.setBrush(QColor(210, 30, 30));
    p.drawEllipse(QPointF(48, 70), 7, 7);
}

// Panel knob with its scale.
void drawKnob(QPainter &p, const QColor &knob)
{
    const QRectF plate(14, 14, 68, 68);
    p.setBrush(QColor(200, 200, 195));
    p.drawRect(plate);
    drawScrews(p, plate);
    p.setPen(QPen(Qt::black, 2));
    for (int i = 0; i <= 6; ++i) {
        const double a = qDegreesToRadians(135.0 + i * 45.0);
        const QPointF dir(qCos(a), qSin(a));
        p.drawLine(QPointF(48, 48) + dir * 23, QPointF(48, 48) + dir * 28);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(knob);
    p.drawEllipse(QPointF(48, 48), 17, 17);
    p.setBrush(knob.lighter(180));
    p.drawEllipse(QPointF(48, 48), 11, 11);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(48, 48), QPointF(40, 37));
    p.setPen(QPen(Qt::black, 1));
}

void drawModel(QPainter &p, const Model &m)
{
    p.fillRect(0, 0, kSize, kSize, Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    switch (m.kind) {
    case Kind::Stick:
    case Kind::Stick3:
    case Kind::Stick4:
        drawBase(p);
        drawBoot(p);
        drawStick(p, m.knob);
        if (m.kind != Kind::Stick) { // rotary knob on top
            p.setBrush(QColor(200, 200, 200));
            p.drawEllipse(QRectF(42, 14, 12, 8));
        }
        if (m.kind == Kind::Stick4) { // thumb rocker
            p.setBrush(QColor(230, 180, 0));
            p.drawRoundedRect(QRectF(40, 28, 16, 5), 2, 2);
        }
        break;
    case Kind::Fingertip:
        drawBase(p, 40);
        p.setBrush(QColor(25, 25, 25));
        p.drawEllipse(QRectF(36, 62, 24, 12));
        drawStick(p, m.knob, 44, 14);
        break;
    case Kind::Lever:
        drawBase(p, 70);
        p.setBrush(QColor(30, 30, 30));
        p.drawRect(QRectF(20, 66, 56, 6)); // the slot
        p.setBrush(QColor(120, 120, 125));
        p.save();
        p.translate(48, 69);
        p.rotate(-15);
        p.drawRect(QRectF(-3, -50, 6, 50));
        p.setBrush(m.knob);
        p.drawEllipse(QRectF(-9, -62, 18, 16));
        p.restore();
        break;
    case Kind::Pedal: {
        p.setBrush(kBody);
        p.drawRect(QRectF(14, 78, 68, 8));
        QPolygonF plate({QPointF(20, 74), QPointF(76, 40), QPointF(82, 48), QPointF(28, 80)});
        p.setBrush(QColor(90, 90, 95));
        p.drawPolygon(plate);
        p.setPen(QPen(QColor(40, 40, 40), 2));
        for (int i = 1; i < 5; ++i)
            p.drawLine(QPointF(24 + i * 10, 74 - i * 6), QPointF(30 + i * 10, 78 - i * 6));
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(m.knob);
        p.drawEllipse(QRectF(18, 70, 12, 12)); // hinge
        break;
    }
    case Kind::Plc:
        p.setBrush(QColor(200, 200, 195));
        p.drawRect(QRectF(18, 20, 60, 56));
        p.setBrush(QColor(0, 150, 70));
        for (int i = 0; i < 4; ++i)
            p.drawRect(QRectF(24 + i * 13, 62, 9, 10)); // terminals
        p.setBrush(QColor(40, 40, 40));
        p.drawRect(QRectF(26, 28, 44, 22));
        p.setPen(QPen(QColor(0, 220, 90), 2));
        p.drawPolyline(QPolygonF({QPointF(30, 46), QPointF(40, 46), QPointF(50, 34), QPointF(66, 34)}));
        p.setPen(QPen(Qt::black, 1));
        break;
    case Kind::Buttons:
        drawBase(p);
        drawBoot(p);
        drawStick(p, m.knob, 16, 28);
        p.setBrush(QColor(0, 160, 60));
        p.drawEllipse(QRectF(37, 22, 9, 9));
        p.setBrush(QColor(220, 40, 40));
        p.drawEllipse(QRectF(50, 22, 9, 9));
        break;
    case Kind::Friction: // a knurled friction collar under the knob
        drawBase(p);
        drawBoot(p);
        drawStick(p, m.knob);
        p.setBrush(QColor(185, 185, 190));
        p.drawRoundedRect(QRectF(38, 46, 20, 7), 2, 2);
        p.setPen(QPen(QColor(90, 90, 90), 1));
        for (int x = 41; x < 57; x += 3)
            p.drawLine(QPointF(x, 47), QPointF(x, 52));
        p.setPen(QPen(Qt::black, 1));
        break;
    case Kind::Grip:
        drawGrip(p, m.knob);
        break;
    case Kind::Remote:
        drawRemote(p, m.knob);
        break;
    case Kind::Knob:
        drawKnob(p, m.knob);
        break;
    case Kind::Paddle: // a flat lever for one fingertip
        drawBase(p, 40);
        p.setBrush(QColor(25, 25, 25));
        p.drawEllipse(QRectF(36, 62, 24, 12));
        p.setBrush(QColor(120, 120, 125));
        p.drawRect(QRectF(45, 44, 6, 22));
        p.setBrush(m.knob);
        p.drawRoundedRect(QRectF(38, 26, 20, 22), 4, 4);
        p.setPen(QPen(m.knob.darker(160), 1));
        for (int y = 31; y < 46; y += 4)
            p.drawLine(QPointF(42, y), QPointF(54, y));
        p.setPen(QPen(Qt::black, 1));
        break;
    case Kind::None:
        p.setBrush(QColor(220, 220, 220));
        p.drawEllipse(QRectF(28, 28, 40, 40));
        p.setBrush(QColor(120, 120, 120));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(48 + 9 * qCos(i * M_PI / 2), 48 + 9 * qSin(i * M_PI / 2)), 3, 3);
        p.setPen(QPen(QColor(200, 0, 0), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(20, 20, 76, 76);
        p.drawLine(76, 20, 20, 76);
        break;
    }
}

void arrowHead(QPainter &p, QPointF tip, double angle)
{
    const double a = qDegreesToRadians(angle);
    QPolygonF head({tip, tip - QPointF(qCos(a - 0.5), qSin(a - 0.5)) * 9, tip - QPointF(qCos(a + 0.5), qSin(a + 0.5)) * 9});
    p.setBrush(kMark);
    p.drawPolygon(head);
}

void drawMove(QPainter &p, Move move)
{
    p.setPen(QPen(kMark, 3, Qt::SolidLine, Qt::RoundCap));
    switch (move) {
    case Move::LeftRight:
        p.drawLine(QPointF(10, 10), QPointF(86, 10));
        p.setPen(QPen(kMark, 1));
        arrowHead(p, QPointF(8, 10), 180);
        arrowHead(p, QPointF(88, 10), 0);
        break;
    case Move::ForwardBack:
        p.drawLine(QPointF(86, 14), QPointF(86, 84));
        p.setPen(QPen(kMark, 1));
        arrowHead(p, QPointF(86, 12), -90);
        arrowHead(p, QPointF(86, 86), 90);
        break;
    case Move::Turn:
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(30, 4, 36, 20), 200 * 16, 140 * 16);
        p.setPen(QPen(kMark, 1));
        arrowHead(p, QPointF(65, 17), 50);
        break;
    case Move::Rocker:
        p.drawLine(QPointF(30, 31), QPointF(66, 31));
        p.setPen(QPen(kMark, 1));
        arrowHead(p, QPointF(28, 31), 180);
        arrowHead(p, QPointF(68, 31), 0);
        break;
    case Move::Press:
        p.drawLine(QPointF(48, 2), QPointF(48, 14));
        p.setPen(QPen(kMark, 1));
        arrowHead(p, QPointF(48, 17), 90);
        break;
    case Move::ForwardBackLeft:
        p.drawLine(QPointF(10, 14), QPointF(10, 84));
        p.setPen(QPen(kMark, 1));
        arrowHead(p, QPointF(10, 12), -90);
        arrowHead(p, QPointF(10, 86), 90);
        break;
    case Move::Dial:
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(8, 8, 80, 80), 100 * 16, -120 * 16);
        p.setPen(QPen(kMark, 1));
        arrowHead(p, QPointF(48 + 40 * qCos(qDegreesToRadians(20.0)), 48 + 40 * qSin(qDegreesToRadians(20.0))), 110);
        break;
    }
}

bool save(const QImage &image, const QString &path)
{
    if (image.save(path, "JPG", 90))
        return true;
    QTextStream(stderr) << "cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("res/bmp/joy");
    QDir().mkpath(folder);

    const QColor red(200, 30, 30), black(35, 35, 35), yellow(240, 190, 0), blue(30, 80, 190), green(20, 110, 60),
        grey(110, 110, 115);
    const std::vector<Model> models = {
        {"CANX", Kind::Stick, red, {Move::LeftRight}},
        {"CANY", Kind::Stick, red, {Move::ForwardBack}},
        {"CANW", Kind::Stick4, red, {Move::Rocker}},
        {"JA220", Kind::Stick, black, {Move::LeftRight, Move::ForwardBack}},
        {"JA330", Kind::Stick3, black, {Move::LeftRight, Move::ForwardBack, Move::Turn}},
        {"CANDIG", Kind::Buttons, red, {Move::Press}},
        {"LV110", Kind::Lever, black, {Move::ForwardBack}},
        {"PD100", Kind::Pedal, yellow, {Move::ForwardBack}},
        {"NOTUSED", Kind::None, black, {}},
        {"JA440", Kind::Stick4, black, {Move::LeftRight, Move::ForwardBack, Move::Rocker, Move::Turn}},
        {"PLC10", Kind::Plc, black, {Move::LeftRight}},
        {"FT210", Kind::Fingertip, blue, {Move::LeftRight, Move::ForwardBack}},
        {"JA225", Kind::Friction, green, {Move::LeftRight, Move::ForwardBack}},
        {"JG230", Kind::Grip, black, {Move::LeftRight, Move::ForwardBack, Move::Press}},
        {"RC200", Kind::Remote, black, {Move::ForwardBackLeft, Move::ForwardBack}},
        {"KN270", Kind::Knob, black, {Move::Dial}},
        {"FT110", Kind::Paddle, grey, {Move::ForwardBack}},
    };
    const char *axisSuffix[] = {"_X", "_Y", "_Z", "_W"};

    bool ok = true;
    for (const Model &m : models) {
        QImage image(kSize, kSize, QImage::Format_RGB32);
        {
            QPainter p(&image);
            drawModel(p, m);
        }
        const QString base = folder + QLatin1Char('/') + QLatin1String(m.name);
        ok = save(image, base + QStringLiteral(".jpg")) && ok;

        // greyed out: grey levels pushed towards white
        QImage grey = image.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < grey.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
            for (int x = 0; x < grey.width(); ++x) {
                const int v = 140 + qGray(line[x]) * 115 / 255;
                line[x] = qRgb(v, v, v);
            }
        }
        ok = save(grey, base + QStringLiteral("_D.jpg")) && ok;

        for (size_t a = 0; a < m.axes.size() && a < 4; ++a) {
            QImage axis = image;
            QPainter p(&axis);
            p.setRenderHint(QPainter::Antialiasing);
            drawMove(p, m.axes[a]);
            p.end();
            ok = save(axis, base + QLatin1String(axisSuffix[a]) + QStringLiteral(".jpg")) && ok;
        }
    }
    return ok ? 0 : 1;
}
