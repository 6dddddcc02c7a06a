#include "monitordrawing.h"

#include "joyinputword.h"
#include "joymonitor.h"
#include "sectioncolours.h"
#include "shapewidget.h"
#include "systempictures.h"
#include "vbpalette.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QWidget>

namespace {

// Geometry of the drawing, in pixels.
constexpr int Top = 6;
constexpr int RowPitch = 112;
constexpr int RowHeight = 106;
constexpr int JoyColumn = 4;
constexpr int BandWidth = 222;
constexpr int UnitColumn = 240;
constexpr int UnitWidth = 60;
constexpr int CoilColumn = 314;
constexpr int StateColumn = 546;
constexpr int StateWidth = 214;
constexpr int PictureSize = 52;
constexpr int MonitorHeight = 44; // the bar monitor's own height
constexpr int LineThickness = 3;

const char *const TagProperty = "Tag";

// Tooltips of the power outputs (pin names), coil A then coil B of each section.
const char *const OutputPinsA[] = {"D2.11 (OUT_1)", "D2.04 (OUT_3)", "D2.06 (OUT_5)", "D2.12 (OUT_7)"};
const char *const OutputPinsB[] = {"D2.02 (OUT_2)", "D2.03 (OUT_4)", "D2.05 (OUT_6)", "D2.01 (OUT_8)"};

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QLabel *picture(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *image = new QLabel(parent);
    image->setObjectName(name);
    image->setGeometry(geometry);
    image->setAlignment(Qt::AlignCenter);
    return image;
}

JoyMonitor *monitor(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *control = new JoyMonitor(parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

} // namespace

MonitorDrawing::MonitorDrawing(QWidget *page) : m_page(page)
{
    for (int k = 0; k < Sections; ++k)
        buildSection(k);

    ImgQEL = picture(page, QStringLiteral("ImgQEL"), QRect(UnitColumn, Top, UnitWidth, Sections * RowPitch - 6));
    ImgQEL->setFrameShape(QFrame::Box);

    buildStateColumn();

    // redraw triggers: other windows set them to a non-zero value
    DrawJoyMonitorEventObj = new QScrollBar(Qt::Horizontal, page);
    DrawJoyMonitorEventObj->setObjectName(QStringLiteral("DrawJoyMonitorEventObj"));
    DrawMagMonitorEventObj = new QScrollBar(Qt::Horizontal, page);
    DrawMagMonitorEventObj->setObjectName(QStringLiteral("DrawMagMonitorEventObj"));
    for (QScrollBar *trigger : {DrawJoyMonitorEventObj, DrawMagMonitorEventObj}) {
        trigger->setRange(0, 32767);
        trigger->hide();
    }
}

QLabel *MonitorDrawing::label(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry)
{
    auto *text = new QLabel(caption, parent);
    text->setObjectName(name);
    text->setGeometry(geometry);
    return text;
}

QLabel *MonitorDrawing::lamp(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry)
{
    QLabel *text = label(parent, name, caption, geometry);
    text->setAlignment(Qt::AlignCenter);
    text->setFrameShape(QFrame::Box);
    setLit(text, false);
    return text;
}

void MonitorDrawing::buildSection(int k)
{
    const int y = Top + k * RowPitch;
    const int mid = y + 6 + PictureSize / 2;
    const QString section = QString::number(k + 1);

    // the bands first: everything of the section lies on them
    lblJoy[k] = label(m_page, indexed("lblJoy", k), QString(), QRect(JoyColumn, y, BandWidth, RowHeight));
    lblJoy[k]->setFrameShape(QFrame::Panel);
    lblJoy[k]->setFrameShadow(QFrame::Sunken);
    lblCurrent[k] = label(m_page, indexed("lblCurrent", k), QString(), QRect(CoilColumn, y, BandWidth, RowHeight));
    lblCurrent[k]->setFrameShape(QFrame::Panel);
    lblCurrent[k]->setFrameShadow(QFrame::Sunken);

    // joystick input
    JoyDisplay[k] = picture(m_page, indexed("JoyDisplay", k), QRect(JoyColumn + 6, y + 6, PictureSize, PictureSize));
    JoyDisplay[k]->setAutoFillBackground(true);
    LblPin[k] = label(m_page, indexed("LblPin", k), QString(), QRect(JoyColumn + 70, y + 8, 160, 20));
    lblDinLJoy[k] = lamp(m_page, indexed("lblDinLJoy", k), QStringLiteral("OFF"), QRect(JoyColumn + 70, y + 34, 60, 20));
    lblDinHJoy[k] = lamp(m_page, indexed("lblDinHJoy", k), QStringLiteral("OFF"), QRect(JoyColumn + 136, y + 34, 60, 20));
    const QRect joyBar(JoyColumn + 6, y + RowHeight - MonitorHeight - 2, BandWidth - 12, MonitorHeight);
    JoyMonitorVal[k] = monitor(m_page, indexed("JoyMonitorVal", k), joyBar);
    JoyMonitorRed[k] = monitor(m_page, indexed("JoyMonitorRed", k), joyBar);
    JoyMonitorRed[k]->hide();

    // coils
    MagADisplay[k] = picture(m_page, indexed("MagADisplay", k), QRect(CoilColumn + 6, y + 6, PictureSize, PictureSize));
    MagADisplay[k]->setAutoFillBackground(true);
    lblValveA[k] = lamp(m_page, indexed("lblValveA", k), section + QLatin1Char('A'),
                        QRect(CoilColumn + 70, y + 20, 48, 22));
    lblValveB[k] = lamp(m_page, indexed("lblValveB", k), section + QLatin1Char('B'),
                        QRect(CoilColumn + 126, y + 20, 48, 22));
    IMeasure[k] = monitor(m_page, indexed("IMeasure", k),
                          QRect(CoilColumn + 6, y + RowHeight - MonitorHeight - 2, BandWidth - 12, MonitorHeight));

    // hydraulic line through the control unit
    const QRect segments[LineSegments] = {
        QRect(JoyColumn + BandWidth, mid, UnitColumn - JoyColumn - BandWidth, LineThickness),
        QRect(UnitColumn + UnitWidth, mid, CoilColumn - UnitColumn - UnitWidth, LineThickness),
    };
    for (int i = 0; i < LineSegments; ++i) {
        auto *segment = new ShapeWidget(m_page);
        segment->setObjectName(QStringLiteral("Line%1_%2").arg(k).arg(i));
        segment->setGeometry(segments[i]);
        Line[k] << segment;
    }
}

void MonitorDrawing::buildStateColumn()
{
    FrmErr = new QGroupBox(QStringLiteral("Controller"), m_page);
    FrmErr->setObjectName(QStringLiteral("FrmErr"));
    FrmErr->setGeometry(StateColumn, Top - 4, StateWidth, 54);
    ShpErr = new ShapeWidget(FrmErr);
    ShpErr->setObjectName(QStringLiteral("ShpErr"));
    ShpErr->setGeometry(12, 24, 18, 18);
    LblErr = label(FrmErr, QStringLiteral("LblErr"), QString(), QRect(40, 20, 128, 26));
    QFont bold = LblErr->font();
    bold.setBold(true);
    LblErr->setFont(bold);
    UpdateErrObj(1); // nothing read yet

    ImgVbb = picture(m_page, QStringLiteral("ImgVbb"), QRect(StateColumn, 56, 46, 46));
    JoyMonitorVbb = monitor(m_page, QStringLiteral("JoyMonitorVbb"), QRect(StateColumn, 104, StateWidth, MonitorHeight));

    Frame1 = new QGroupBox(QStringLiteral("Power Outputs"), m_page);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(StateColumn, 152, StateWidth, 120);
    for (int k = 0; k < Sections; ++k) {
        const int y = 22 + k * 23;
        lblHSDA[k] = lamp(Frame1, indexed("lblHSDA", k), QStringLiteral("OUT_%1").arg(2 * k + 1), QRect(12, y, 90, 20));
        lblHSDB[k] = lamp(Frame1, indexed("lblHSDB", k), QStringLiteral("OUT_%1").arg(2 * k + 2), QRect(110, y, 90, 20));
    }

    Frame2 = new QGroupBox(QStringLiteral("Digital Inputs"), m_page);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(StateColumn, 276, StateWidth, 170);
    const auto row = [](int r) { return 22 + r * 24; };
    lblDinDM = label(Frame2, QStringLiteral("lblDinDM"), QStringLiteral("Dead man"), QRect(12, row(0), 90, 20));
    LblPinDM = lamp(Frame2, QStringLiteral("LblPinDM"), QStringLiteral("N.C."), QRect(110, row(0), 90, 20));
    lblDinSL = label(Frame2, QStringLiteral("lblDinSL"), QStringLiteral("Slow"), QRect(12, row(1), 90, 20));
    LblPinSL = lamp(Frame2, QStringLiteral("LblPinSL"), QStringLiteral("N.C."), QRect(110, row(1), 90, 20));
    for (int k = 0; k < Sections; ++k) {
        lblDin[k] = label(Frame2, indexed("lblDin", k), QStringLiteral("Float %1").arg(k + 1), QRect(12, row(k + 2), 90, 20));
        LblFL[k] = lamp(Frame2, indexed("LblFL", k), QStringLiteral("N.C."), QRect(110, row(k + 2), 90, 20));
    }
}

QList<JoyMonitor *> MonitorDrawing::monitors() const
{
    QList<JoyMonitor *> all;
    for (JoyMonitor *control : JoyMonitorVal)
        all << control;
    for (JoyMonitor *control : JoyMonitorRed)
        all << control;
    for (JoyMonitor *control : IMeasure)
        all << control;
    all << JoyMonitorVbb;
    return all;
}

std::array<QLabel *, 6> MonitorDrawing::functionLabels() const
{
    return {LblPinDM, LblPinSL, LblFL[0], LblFL[1], LblFL[2], LblFL[3]};
}

QList<QLabel *> MonitorDrawing::digitalInputLabels() const
{
    QList<QLabel *> all;
    for (int k = 0; k < Sections; ++k)
        all << lblDinLJoy[k] << lblDinHJoy[k];
    for (QLabel *function : functionLabels())
        all << function;
    return all;
}

void MonitorDrawing::DrawActualObject(int numPropReg, int systemType, const QPixmap &model)
{
    for (int k = 0; k < Sections; ++k) {
        const bool shown = k < numPropReg;
        for (QWidget *w : std::initializer_list<QWidget *>{lblJoy[k], lblCurrent[k], JoyDisplay[k], LblPin[k],
                                                           JoyMonitorVal[k], MagADisplay[k], lblValveA[k],
                                                           lblValveB[k], IMeasure[k], lblHSDA[k], lblHSDB[k],
                                                           LblFL[k], lblDin[k]})
            w->setVisible(shown);
        JoyMonitorRed[k]->hide();
        lblHSDA[k]->setToolTip(QString::fromLatin1(OutputPinsA[k]));
        lblHSDB[k]->setToolTip(QString::fromLatin1(OutputPinsB[k]));
    }
    // Line0 always; the others follow a count of 1 to 4 (any other count shows them all)
    const bool known = numPropReg >= 1 && numPropReg <= Sections;
    for (int j = 0; j < Sections; ++j)
        for (ShapeWidget *segment : Line[j])
            segment->setVisible(j == 0 || !known || j < numPropReg);

    SystemPictures::show(ImgQEL, model);
    ImgQEL->setToolTip(SystemTypes::modelName(numPropReg, systemType));
    DrawJoyMonitorEventObj->hide();
    DrawMagMonitorEventObj->hide();
}

void MonitorDrawing::RefreshColour(const SectionColours &colours)
{
    for (int k = 0; k < Sections; ++k) {
        const auto back = static_cast<quint32>(colours.SectionBackColour[k]);
        const auto text = static_cast<quint32>(colours.SectionTextColour[k]);
        for (QLabel *band : {lblJoy[k], lblCurrent[k]}) {
            VbColor::applyTo(band, QPalette::Window, back);
            VbColor::applyTo(band, QPalette::WindowText, text);
        }
        // the pin caption lies on the band: keep it readable
        VbColor::applyTo(LblPin[k], QPalette::WindowText, text);
        for (JoyMonitor *control : {JoyMonitorVal[k], IMeasure[k]}) {
            control->setBackColor(back);
            control->setForeColor(text);
        }
        for (ShapeWidget *segment : Line[k]) {
            segment->setFillColor(back);
            segment->setBorderColor(back);
        }
    }
}

void MonitorDrawing::UpdateErrObj(int16_t readVal)
{
    const bool ready = (readVal & 0xFFBF) == 0; // bit 6 alone still means ready
    const uint32_t colour = ready ? Blue : Red;
    ShpErr->setFillColor(colour);
    VbColor::applyTo(LblErr, QPalette::WindowText, colour);
    LblErr->setText(ready ? QStringLiteral("READY") : QStringLiteral("NOT READY"));
}

void MonitorDrawing::UpdateActiveOutput(int16_t readVal)
{
    for (int k = 0; k < Sections; ++k) {
        const bool a = readVal & (1 << (2 * k));
        const bool b = readVal & (1 << (2 * k + 1));
        setLit(lblValveA[k], a);
        setLit(lblHSDA[k], a);
        setLit(lblValveB[k], b);
        setLit(lblHSDB[k], b);
    }
}

void MonitorDrawing::UpdateActiveDin(int16_t readVal)
{
    const auto lightByTag = [readVal](QLabel *input) { setLit(input, (readVal >> tag(input)) & 1); };
    for (int k = 0; k < Sections; ++k)
        for (QLabel *input : {lblDinLJoy[k], lblDinHJoy[k]})
            if (!input->isHidden())
                lightByTag(input);
    for (QLabel *function : functionLabels())
        lightByTag(function);
}

void MonitorDrawing::showInputConfiguration(const std::array<int32_t, Sections> &joyConfig, int32_t float1,
                                            int32_t float2)
{
    for (int k = 0; k < Sections; ++k) {
        const JoyInputWord word(joyConfig[k]);
        if (!word.isDigital()) {
            if (word.kind() == JoyInputWord::NoInput) {
                LblPin[k]->setText(QStringLiteral("OFF"));
            } else {
                const QString axis = JoyInputWord::axisName(word.axis());
                if (!axis.isNull())
                    LblPin[k]->setText(axis);
            }
            LblPin[k]->setEnabled(true);
            lblDinLJoy[k]->hide();
            lblDinHJoy[k]->hide();
            continue;
        }
        LblPin[k]->setEnabled(false);
        const int inputs[] = {word.lowInput(), word.highInput()};
        QLabel *labels[] = {lblDinLJoy[k], lblDinHJoy[k]};
        for (int i = 0; i < 2; ++i) {
            labels[i]->setText(JoyInputWord::digitalInputName(inputs[i], QStringLiteral("OFF")));
            setTag(labels[i], inputs[i]);
            // only on a section that is drawn
            labels[i]->setVisible(!LblPin[k]->isHidden());
        }
    }

    const auto f1 = static_cast<uint16_t>(float1);
    const auto f2 = static_cast<uint16_t>(float2);
    const int tags[] = {f1 & 15, (f1 >> 4) & 15, (f1 >> 8) & 15, (f1 >> 12) & 15, f2 & 15, (f2 >> 4) & 15};
    const auto functions = functionLabels();
    for (size_t i = 0; i < functions.size(); ++i) {
        setTag(functions[i], tags[i]);
        functions[i]->setText(JoyInputWord::digitalInputName(tags[i], QStringLiteral("N.C.")));
    }
}

void MonitorDrawing::setLit(QLabel *label, bool lit)
{
    VbColor::applyTo(label, QPalette::Window, lit ? Blue : White);
    VbColor::applyTo(label, QPalette::WindowText, lit ? White : VbColor::WindowText);
    label->setProperty("lit", lit);
    label->setProperty("stale", false);
}

bool MonitorDrawing::isLit(const QLabel *label)
{
    return label->property("lit").toBool();
}

void MonitorDrawing::setStale(QLabel *label)
{
    VbColor::applyTo(label, QPalette::Window, VbColor::ButtonFace);
    VbColor::applyTo(label, QPalette::WindowText, VbColor::WindowText);
    label->setProperty("lit", false);
    label->setProperty("stale", true);
}

bool MonitorDrawing::isStale(const QLabel *label)
{
    return label->property("stale").toBool();
}

void MonitorDrawing::showStale()
{
    for (JoyMonitor *control : monitors())
        control->MarkStale();
    ShpErr->setFillColor(VbColor::ButtonFace);
    VbColor::applyTo(LblErr, QPalette::WindowText, VbColor::WindowText);
    LblErr->setText(QStringLiteral("---"));
    for (int k = 0; k < Sections; ++k)
        for (QLabel *lamp : {lblValveA[k], lblValveB[k], lblHSDA[k], lblHSDB[k]})
            setStale(lamp);
    for (QLabel *input : digitalInputLabels())
        setStale(input);
}

int MonitorDrawing::tag(const QLabel *label)
{
    return label->property(TagProperty).toInt();
}

void MonitorDrawing::setTag(QLabel *label, int tag)
{
    label->setProperty(TagProperty, tag);
}
