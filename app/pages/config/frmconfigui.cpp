#include "frmconfigui.h"

#include "controlarray.h"
#include "csection.h"
#include "linesegment.h"
#include "shapewidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

namespace {

// Page geometry in pixels. The tab control fills the right of the page; each
// of its tabs has a title line and one row per section, and the inputs on the
// left stand level with those rows.
constexpr int TabLeft = 254;
constexpr int TabWidth = 508;
constexpr int TabPageTop = 28;   // tab strip and frame above a tab's contents
constexpr int TitleHeight = 14;
constexpr int RowHeight = 110;
constexpr int RowWidth = 500;
constexpr int PageHeight = TabPageTop + TitleHeight + 4 * RowHeight + 4;

// Top of section k's row inside a tab, and in page coordinates.
constexpr int rowTop(int k) { return TitleHeight + k * RowHeight; }
constexpr int pageRowTop(int k) { return TabPageTop + rowTop(k); }

// The control unit sits above the inputs; a line leaves its lower edge for
// each section and runs down and across to that section's input.
const QRect QelBox(6, 4, 116, 76);
constexpr int InputLeft = 150;
constexpr int laneX(int k) { return 110 - 24 * k; }
constexpr int lineY(int k) { return pageRowTop(k) + 54; }

QLabel *label(const QString &text, QWidget *parent, const QRect &geometry,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setAlignment(alignment);
    return l;
}

// A picture box: a sunken frame that holds an image.
QLabel *pictureBox(QWidget *parent, const QRect &geometry)
{
    auto *box = new QLabel(parent);
    box->setGeometry(geometry);
    box->setFrameShape(QFrame::Panel);
    box->setFrameShadow(QFrame::Sunken);
    return box;
}

QLabel *image(QWidget *parent, const QRect &geometry)
{
    auto *img = new QLabel(parent);
    img->setGeometry(geometry);
    img->setAlignment(Qt::AlignCenter);
    img->setScaledContents(true);
    return img;
}

ShapeWidget *focusFrame(QWidget *parent, const QRect &geometry)
{
    auto *shape = new ShapeWidget(parent);
    shape->setGeometry(geometry);
    shape->setFilled(false);
    shape->setBorderColor(0x00000000);
    shape->hide();
    return shape;
}

QString sectionText(const char *prefix, int k)
{
    return QString::fromLatin1(prefix) + QString::number(k + 1);
}

// "1A" .. "4B": the name of coil c.
QString coilName(int c)
{
    return QString::number(c / 2 + 1) + (c % 2 == 0 ? QLatin1Char('A') : QLatin1Char('B'));
}

// Cuts a path of horizontal and vertical legs into `count` segments: the
// longer legs get more of them, every leg at least one.
QList<QLine> cutPath(const QList<QPoint> &points, int count)
{
    const int legs = int(points.size()) - 1;
    QList<int> pieces(legs, 1);
    for (int extra = count - legs; extra > 0; --extra) {
        int best = 0;
        double bestLength = -1;
        for (int i = 0; i < legs; ++i) {
            const double length = QLineF(points[i], points[i + 1]).length() / pieces[i];
            if (length > bestLength) {
                bestLength = length;
                best = i;
            }
        }
        ++pieces[best];
    }
    QList<QLine> segments;
    for (int i = 0; i < legs; ++i) {
        const QPoint from = points[i];
        const QPoint step = (points[i + 1] - from) / pieces[i];
        for (int p = 0; p < pieces[i]; ++p) {
            const QPoint end = p == pieces[i] - 1 ? points[i + 1] : from + step * (p + 1);
            segments << QLine(from + step * p, end);
        }
    }
    return segments;
}

} // namespace

template <class W>
W *FrmConfigUi::add(W *widget, const QString &name, Kind kind, int index, int lineArray)
{
    widget->setObjectName(index < 0 ? name : ControlArray::name(name, index));
    controls.append({widget, kind, index, lineArray});
    return widget;
}

void FrmConfigUi::setupUi(QWidget *page)
{
    page->setMinimumHeight(PageHeight);
    buildModel(page);
    buildLines(page);
    buildInputs(page);
    buildTabs(page);
    buildHiddenFrames(page);
}

void FrmConfigUi::buildModel(QWidget *page)
{
    ImgQELPic = add(pictureBox(page, QelBox), QStringLiteral("ImgQELPic"), Kind::PictureBox);
    ImgQEL = add(image(ImgQELPic, QRect(2, 2, QelBox.width() - 4, QelBox.height() - 4)), QStringLiteral("ImgQEL"),
                 Kind::Image);
    ImgQEL->setToolTip(QStringLiteral("Selected QEL"));

    CmbTBXType = add(new QComboBox(page), QStringLiteral("CmbTBXType"), Kind::Other);
    CmbTBXType->addItems({QStringLiteral("TBX 100"), QStringLiteral("TBX 200"), QStringLiteral("TBX 300"),
                          QStringLiteral("TBX 400")});
    CmbTBXType->setGeometry(130, 4, 100, 22);
    CmbTBXSysType = add(new QComboBox(page), QStringLiteral("CmbTBXSysType"), Kind::Other);
    CmbTBXSysType->addItems({QStringLiteral("P"), QStringLiteral("F")});
    CmbTBXSysType->setGeometry(130, 30, 50, 22);
}

void FrmConfigUi::buildLines(QWidget *page)
{
    for (int j = 0; j < LineArrays; ++j) {
        const QList<QPoint> path{QPoint(laneX(j), QelBox.bottom() + 1), QPoint(laneX(j), lineY(j)),
                                 QPoint(InputLeft - 2, lineY(j))};
        int i = 0;
        for (const QLine &segment : cutPath(path, LineSegments[j]))
            Line[j] << add(new LineSegment(segment, page), QStringLiteral("Line%1").arg(j), Kind::Line, i++, j);
    }
}

void FrmConfigUi::buildInputs(QWidget *page)
{
    // Each input: its titles, and the frame that holds the joystick picture
    // and the caption of what the input uses.
    for (int k = 0; k < Sections; ++k) {
        const int top = pageRowTop(k);
        lblSectionDesc[k] = add(label(sectionText("Sect. ", k), page, QRect(InputLeft, top + 2, 48, 14)),
                                QStringLiteral("lblSectionDesc"), Kind::Label, k);
        lblJoyDesc[k] = add(label(sectionText("Joy ", k), page, QRect(InputLeft + 52, top + 2, 44, 14)),
                            QStringLiteral("lblJoyDesc"), Kind::Label, k);
        JoyFocus[k] = add(focusFrame(page, QRect(InputLeft - 3, top + 15, 106, 96)), QStringLiteral("JoyFocus"),
                          Kind::Other, k);
        lblJoy[k] = add(pictureBox(page, QRect(InputLeft, top + 18, 100, 90)), QStringLiteral("lblJoy"),
                        Kind::PictureBox, k);
        JoySel[k] = add(image(lblJoy[k], QRect(18, 3, 64, 64)), QStringLiteral("JoySel"), Kind::Image, k);
        LblPin[k] = add(label(QStringLiteral("D1.10 - AI_1"), lblJoy[k], QRect(2, 70, 96, 16), Qt::AlignCenter),
                        QStringLiteral("LblPin"), Kind::Label, k);
    }
}

void FrmConfigUi::buildTabs(QWidget *page)
{
    SSTab1 = add(new QTabWidget(page), QStringLiteral("SSTab1"), Kind::Other);
    SSTab1->setGeometry(TabLeft, 0, TabWidth, PageHeight);
    Frame4 = add(new QFrame, QStringLiteral("Frame4"), Kind::Other);
    Frame3 = add(new QFrame, QStringLiteral("Frame3"), Kind::Other);
    Frame2 = add(new QFrame, QStringLiteral("Frame2"), Kind::Other);
    SSTab1->addTab(Frame4, QStringLiteral("CURRENTS"));
    SSTab1->addTab(Frame3, QStringLiteral("CURRENTS SLOW"));
    SSTab1->addTab(Frame2, QStringLiteral("RAMPS"));
    buildCurrentsTab(Frame4, false);
    buildCurrentsTab(Frame3, true);
    buildRampsTab(Frame2);

    // The tab strip leaves room on its right for the page's one command.
    CmdCanSettings = add(new QPushButton(QStringLiteral("JoyStick and Digital Settings")),
                         QStringLiteral("CmdCanSettings"), Kind::Other);
    SSTab1->setCornerWidget(CmdCanSettings, Qt::TopRightCorner);
}

void FrmConfigUi::buildCurrentsTab(QFrame *tab, bool slow)
{
    const QString suffix = slow ? QStringLiteral("sdm") : QString();
    QLabel *min = add(label(QStringLiteral("MIN"), tab, QRect(6, 0, 120, TitleHeight), Qt::AlignCenter),
                      slow ? QStringLiteral("Label4") : QStringLiteral("LblMin"), Kind::Label);
    QLabel *max = add(label(QStringLiteral("MAX"), tab, QRect(130, 0, 120, TitleHeight), Qt::AlignCenter),
                      slow ? QStringLiteral("Label5") : QStringLiteral("lblMax"), Kind::Label);
    (slow ? Label4 : LblMin) = min;
    (slow ? Label5 : lblMax) = max;

    auto &bands = slow ? lblCurrentsdm : lblCurrent;
    auto &magA = slow ? MagAsdm : MagA;
    auto &magB = slow ? MagBsdm : MagB;
    auto &frames = slow ? lblMagsdm : lblMag;
    auto &buttons = slow ? MagSelsdm : MagSel;
    auto &focus = slow ? MagFocussdm : MagFocus;
    for (int k = 0; k < Sections; ++k) {
        const int top = rowTop(k);
        bands[k] = add(label(QString(), tab, QRect(0, top, RowWidth, RowHeight - 1)),
                       (slow ? QStringLiteral("lblCurrentsdm") : QStringLiteral("lblCurrent")), Kind::Label, k);
        magA[k] = add(new CSection(tab), QStringLiteral("MagA") + suffix, Kind::Section, k);
        magA[k]->setGeometry(6, top, 120, RowHeight - 1);
        magB[k] = add(new CSection(tab), QStringLiteral("MagB") + suffix, Kind::Section, k);
        magB[k]->setGeometry(130, top, 120, RowHeight - 1);
        focus[k] = add(focusFrame(tab, QRect(268, top + 24, 60, 60)), QStringLiteral("MagFocus") + suffix,
                       Kind::Other, k);
        frames[k] = add(pictureBox(tab, QRect(272, top + 28, 52, 52)), QStringLiteral("lblMag") + suffix,
                        Kind::PictureBox, k);
        buttons[k] = add(image(frames[k], QRect(6, 6, 40, 40)), QStringLiteral("MagSel") + suffix, Kind::Image, k);
        buttons[k]->setToolTip(QStringLiteral("Dither Settings"));
        if (!slow) {
            LblFreq[k] = add(label(QStringLiteral("--- Hz"), tab, QRect(336, top + 34, 90, 16)),
                             QStringLiteral("LblFreq"), Kind::Label, k);
            LblAmp[k] = add(label(QStringLiteral("--- mA"), tab, QRect(336, top + 58, 90, 16)),
                            QStringLiteral("LblAmp"), Kind::Label, k);
        }
    }
}

void FrmConfigUi::buildRampsTab(QFrame *tab)
{
    Label1 = add(label(QStringLiteral("T Rise [ms]"), tab, QRect(14, 0, 180, TitleHeight), Qt::AlignCenter),
                 QStringLiteral("Label1"), Kind::Label);
    Label2 = add(label(QStringLiteral("T.Fall [ms]"), tab, QRect(200, 0, 180, TitleHeight), Qt::AlignCenter),
                 QStringLiteral("Label2"), Kind::Label);
    Label3 = add(label(QStringLiteral("MODE"), tab, QRect(400, 0, 90, TitleHeight), Qt::AlignCenter),
                 QStringLiteral("Label3"), Kind::Label);
    for (int k = 0; k < Sections; ++k) {
        const int top = rowTop(k);
        lblRump[k] = add(label(QString(), tab, QRect(0, top, RowWidth, RowHeight - 1)), QStringLiteral("lblRump"),
                         Kind::Label, k);
        RampA[k] = add(new QGroupBox(coilName(2 * k), tab), QStringLiteral("RampA"), Kind::Other, k);
        RampA[k]->setGeometry(6, top + 2, 386, 52);
        buildRampFrame(RampA[k], 2 * k, lblUnit1TR[k], lblUnit1TF[k]);
        RampB[k] = add(new QGroupBox(coilName(2 * k + 1), tab), QStringLiteral("RampB"), Kind::Other, k);
        RampB[k]->setGeometry(6, top + 56, 386, 52);
        buildRampFrame(RampB[k], 2 * k + 1, lblUnit2TR[k], lblUnit2TF[k]);
        ChkBreak[k] = add(new QCheckBox(QStringLiteral("BREAK"), tab), QStringLiteral("ChkBreak"), Kind::Other, k);
        ChkBreak[k]->setGeometry(404, top + 24, 88, 22);
        ChkFull[k] = add(new QCheckBox(QStringLiteral("FULL"), tab), QStringLiteral("ChkFull"), Kind::Other, k);
        ChkFull[k]->setGeometry(404, top + 62, 88, 22);
        // A section's background colour goes to the Window role.
        ChkBreak[k]->setBackgroundRole(QPalette::Window);
        ChkFull[k]->setBackgroundRole(QPalette::Window);
    }
}

void FrmConfigUi::buildRampFrame(QGroupBox *frame, int coil, QLabel *&unitRise, QLabel *&unitFall)
{
    const bool coilA = coil % 2 == 0;
    const int k = coil / 2;
    struct Field
    {
        std::array<QLineEdit *, Coils> &text;
        std::array<QScrollBar *, Coils> &bar;
        const char *textName;
        const char *barName;
        const char *design;
        QLabel *&unit;
        const char *unitName;
        int left;
    };
    const Field fields[] = {
        {TxtTRise, hscTRise, "TxtTRise", "hscTRise", "500", unitRise, coilA ? "lblUnit1TR" : "lblUnit2TR", 8},
        {TxtTFall, hscTFall, "TxtTFall", "hscTFall", "1000", unitFall, coilA ? "lblUnit1TF" : "lblUnit2TF", 194},
    };
    for (const Field &f : fields) {
        f.text[coil] = add(new QLineEdit(QString::fromLatin1(f.design), frame), QString::fromLatin1(f.textName),
                           Kind::Other, coil);
        f.text[coil]->setGeometry(f.left, 22, 50, 22);
        f.text[coil]->setAlignment(Qt::AlignRight);
        f.bar[coil] = add(new QScrollBar(Qt::Horizontal, frame), QString::fromLatin1(f.barName), Kind::Other, coil);
        f.bar[coil]->setGeometry(f.left + 54, 25, 100, 16);
        f.bar[coil]->setRange(0, 32767);
        f.bar[coil]->setPageStep(10);
        f.unit = add(label(QStringLiteral("ms"), frame, QRect(f.left + 158, 25, 24, 16)),
                     QString::fromLatin1(f.unitName), Kind::Label, k);
    }
}

void FrmConfigUi::buildHiddenFrames(QWidget *page)
{
    Frame1 = add(new QFrame(page), QStringLiteral("Frame1"), Kind::Other);
    Frame1->setGeometry(0, 300, 250, 60);
    label(QStringLiteral("2B proportional control"), Frame1, QRect(4, 4, 140, 22));
    Cmb2BProp = add(new QComboBox(Frame1), QStringLiteral("Cmb2BProp"), Kind::Other);
    Cmb2BProp->setGeometry(150, 4, 90, 22);
    label(QStringLiteral("Analog input range"), Frame1, QRect(4, 30, 140, 22));
    CmbAIRange = add(new QComboBox(Frame1), QStringLiteral("CmbAIRange"), Kind::Other);
    CmbAIRange->setGeometry(150, 30, 90, 22);
    Frame1->hide();

    FrmFloat = add(new QGroupBox(page), QStringLiteral("FrmFloat"), Kind::Other);
    FrmFloat->setGeometry(0, 360, 250, 124);
    label(QStringLiteral("Dead man input pin"), FrmFloat, QRect(4, 4, 130, 22));
    CmbDMPina = add(new QComboBox(FrmFloat), QStringLiteral("CmbDMPina"), Kind::Other);
    CmbDMPina->setGeometry(140, 4, 100, 22);
    label(QStringLiteral("Float/Slow input pin"), FrmFloat, QRect(4, 30, 130, 22));
    CmbFLoatPina = add(new QComboBox(FrmFloat), QStringLiteral("CmbFLoatPina"), Kind::Other);
    CmbFLoatPina->setGeometry(140, 30, 100, 22);
    label(QStringLiteral("Float/Slow function"), FrmFloat, QRect(4, 56, 130, 22));
    CmbFloatMagneta = add(new QComboBox(FrmFloat), QStringLiteral("CmbFloatMagneta"), Kind::Other);
    CmbFloatMagneta->setGeometry(140, 56, 100, 22);
    label(QStringLiteral("Float current [mA]"), FrmFloat, QRect(4, 82, 130, 22));
    TxtFloatCurrenta = add(new QLineEdit(FrmFloat), QStringLiteral("TxtFloatCurrenta"), Kind::Other);
    TxtFloatCurrenta->setGeometry(140, 82, 50, 22);
    hscFloatCurrenta = add(new QScrollBar(Qt::Horizontal, FrmFloat), QStringLiteral("hscFloatCurrenta"), Kind::Other);
    hscFloatCurrenta->setGeometry(192, 85, 48, 16);
    FrmFloat->hide();
}
