#include "cvardatas.h"
#include "flatprogressbar.h"
#include "joymonitor.h"
#include "localeguard.h"
#include "paintcounter.h"
#include "shapewidget.h"
#include "vbpalette.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

namespace {

// A monitor for the range 0..1000, English number format, events recorded.
class JoyMonitorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        monitor.setMin(0);
        monitor.setMax(1000);
        monitor.setActiveProgressBar(true);
        QObject::connect(&monitor, &JoyMonitor::UpdateValue, [this](qint16 &value) { values.push_back(value); });
        QObject::connect(&monitor, &JoyMonitor::CheckEnabled, [this](qint16 &state) { states.push_back(state); });
        monitor.show();
    }

    QLabel *label(const char *name) const { return monitor.findChild<QLabel *>(QLatin1String(name)); }
    QString shown() const { return label("lblInputValue")->text(); }
    QProgressBar *bar() const { return monitor.findChild<QProgressBar *>(QStringLiteral("ProgressBar")); }
    QCheckBox *check() const { return monitor.findChild<QCheckBox *>(QStringLiteral("ChkInputEnable")); }

    LocaleGuard english{QLocale::English, QLocale::UnitedStates};
    JoyMonitor monitor;
    std::vector<int> values;
    std::vector<int> states;
};

} // namespace

TEST(JoyMonitorNew, StartsWithItsNamedWidgetsAndInitialValues)
{
    JoyMonitor monitor;
    EXPECT_NE(monitor.findChild<QGroupBox *>(QStringLiteral("FrmeInput")), nullptr);
    auto *bar = monitor.findChild<QProgressBar *>(QStringLiteral("ProgressBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(bar->palette().color(QPalette::Highlight), QColor(0, 0, 255));
    EXPECT_EQ(bar->palette().color(QPalette::Base), QColor(Qt::white));
    auto *check = monitor.findChild<QCheckBox *>(QStringLiteral("ChkInputEnable"));
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isChecked());
    auto *focusFrame = monitor.findChild<ShapeWidget *>(QStringLiteral("ShpChkInputEnable"));
    ASSERT_NE(focusFrame, nullptr);
    EXPECT_TRUE(focusFrame->isHidden());
    EXPECT_EQ(monitor.findChild<QLabel *>(QStringLiteral("lblInputName"))->text(), QStringLiteral("Name"));
    EXPECT_EQ(monitor.findChild<QLabel *>(QStringLiteral("lblInputValue"))->text(), QStringLiteral("00.00"));
    EXPECT_EQ(monitor.findChild<QLabel *>(QStringLiteral("lblInputUnit"))->text(), QStringLiteral("mA"));

    EXPECT_EQ(monitor.Carica(), nullptr);
    EXPECT_FALSE(monitor.ActiveProgressBar());
    EXPECT_EQ(monitor.Value(), 0);
    EXPECT_EQ(monitor.VarID(), 0);
    EXPECT_EQ(monitor.ThMax(), 0);
    EXPECT_EQ(monitor.DataFormat(), QStringLiteral("##,##0.0"));
    EXPECT_EQ(monitor.ThMin(), 0);
    EXPECT_EQ(monitor.Max(), 32000);
    EXPECT_EQ(monitor.Min(), 0);
    EXPECT_TRUE(monitor.MonitorEnable());

    monitor.setActiveProgressBar(true);
    EXPECT_TRUE(monitor.ActiveProgressBar());
    EXPECT_FALSE(bar->isHidden());
}

TEST_F(JoyMonitorTest, ReadingsOutsideTheRangeShowTheRangeEnds)
{
    monitor.UpdateDisplay(-3);
    EXPECT_EQ(shown(), QStringLiteral("0.0"));
    EXPECT_EQ(bar()->value(), 0);
    monitor.UpdateDisplay(1000.4);
    EXPECT_EQ(shown(), QStringLiteral("1,000.4"));
    EXPECT_EQ(bar()->value(), 1000);
    monitor.UpdateDisplay(1200);
    EXPECT_EQ(shown(), QStringLiteral("1,000.0"));
    monitor.UpdateDisplay(1000.6); // nearer to 1001: beyond the maximum
    EXPECT_EQ(shown(), QStringLiteral("1,000.0"));
    monitor.UpdateDisplay(-0.4); // nearer to 0: inside the range
    EXPECT_EQ(shown(), QStringLiteral("-0.4"));
    monitor.UpdateDisplay(512.25);
    EXPECT_EQ(shown(), QStringLiteral("512.3"));
    EXPECT_EQ(bar()->value(), 512);
    EXPECT_EQ(values, (std::vector<int>{0, 1000, 1000, 1000, 0, 512}));
    EXPECT_EQ(monitor.Value(), 512);
}

TEST_F(JoyMonitorTest, TheValueIsWrittenWithTheLocalesSeparators)
{
    LocaleGuard italian(QLocale::Italian, QLocale::Italy);
    monitor.UpdateDisplay(1000.4);
    EXPECT_EQ(shown(), QStringLiteral("1.000,4"));
    EXPECT_EQ(values, std::vector<int>{1000});
}

TEST_F(JoyMonitorTest, TheEventCarriesTheShownNumberNotTheReading)
{
    monitor.setDataFormat(QStringLiteral("####0"));
    monitor.UpdateDisplay(12.5); // the pattern rounds halves away from zero
    EXPECT_EQ(shown(), QStringLiteral("13"));
    monitor.setDataFormat(QStringLiteral("####0.0"));
    monitor.UpdateDisplay(24.25);
    EXPECT_EQ(shown(), QStringLiteral("24.3"));
    EXPECT_EQ(values, (std::vector<int>{13, 24}));
}

TEST_F(JoyMonitorTest, TolerancesWidenTheShownRangeButNotTheBar)
{
    monitor.setThMax(100);
    monitor.UpdateDisplay(1050);
    EXPECT_EQ(shown(), QStringLiteral("1,050.0"));
    EXPECT_EQ(bar()->value(), 1000);
    monitor.UpdateDisplay(1100.5); // a half goes to the even 1100: inside
    EXPECT_EQ(shown(), QStringLiteral("1,100.5"));
    monitor.UpdateDisplay(1101);
    EXPECT_EQ(shown(), QStringLiteral("1,000.0"));

    monitor.setMin(100);
    monitor.setThMin(50);
    monitor.UpdateDisplay(120);
    EXPECT_EQ(shown(), QStringLiteral("100.0"));
    monitor.UpdateDisplay(150);
    EXPECT_EQ(shown(), QStringLiteral("150.0"));
    monitor.setThMin(-50);
    monitor.UpdateDisplay(60);
    EXPECT_EQ(shown(), QStringLiteral("60.0"));
    EXPECT_EQ(bar()->value(), 100); // the bar stays at its lower end
    EXPECT_EQ(values, (std::vector<int>{1050, 1100, 1000, 100, 150, 60}));
}

TEST_F(JoyMonitorTest, LimitsAreCappedAndSetTheBarEnds)
{
    monitor.setThMax(800);
    EXPECT_EQ(monitor.ThMax(), 500);
    monitor.setMax(32500);
    EXPECT_EQ(monitor.Max(), 32000);
    EXPECT_EQ(bar()->maximum(), 32000);
    monitor.setMin(-200);
    EXPECT_EQ(monitor.Min(), -200);
    EXPECT_EQ(bar()->minimum(), -200);
    monitor.setThMin(-7);
    EXPECT_EQ(monitor.ThMin(), -7);
    EXPECT_EQ(monitor.ThMax(), 500); // reading does not change anything
}

TEST_F(JoyMonitorTest, ThresholdSumsSaturateInsteadOfWrapping)
{
    monitor.setMin(-32768);
    monitor.setThMin(-100);
    monitor.UpdateDisplay(5); // a wrapped lower limit (32668) would show the minimum
    EXPECT_EQ(shown(), QStringLiteral("5.0"));
    monitor.UpdateDisplay(-32768);
    EXPECT_EQ(shown(), QStringLiteral("-32,768.0"));

    monitor.setMax(-32000);
    monitor.setThMax(-32768);
    monitor.UpdateDisplay(-32100); // a wrapped upper limit (768) would show the reading
    EXPECT_EQ(shown(), QStringLiteral("-32,000.0"));
    EXPECT_EQ(values, (std::vector<int>{5, -32768, -32000}));
}

TEST_F(JoyMonitorTest, BitTestValuesShowOnOrOffWithoutAnEvent)
{
    CVarDataS input;
    input.F_DownloadToDisplay = QStringLiteral("X&4");
    input.KrvDisplayValueRAM = 0;
    monitor.setCarica(&input);
    EXPECT_EQ(shown(), QStringLiteral("OFF"));
    EXPECT_EQ(bar()->value(), 0);
    monitor.UpdateDisplay(1);
    EXPECT_EQ(shown(), QStringLiteral("ON"));
    EXPECT_EQ(bar()->value(), bar()->maximum());
    EXPECT_EQ(monitor.Value(), 1);
    monitor.UpdateDisplay(-2);
    EXPECT_EQ(shown(), QStringLiteral("OFF"));
    EXPECT_EQ(bar()->value(), 0);
    EXPECT_TRUE(values.empty());
}

TEST_F(JoyMonitorTest, BindingShowsTheRecordsNamesAndValue)
{
    CVarDataS vbb;
    vbb.VarID = 77;
    vbb.MonitorName = QStringLiteral("Supply");
    vbb.TooltipDecription = QStringLiteral("Supply voltage");
    vbb.Unit = QStringLiteral("V");
    vbb.KrvDisplayValueRAM = 24.26;
    monitor.setCarica(&vbb);
    EXPECT_EQ(monitor.Carica(), &vbb);
    EXPECT_EQ(monitor.VarID(), 77);
    EXPECT_EQ(label("lblInputName")->text(), QStringLiteral("Supply"));
    EXPECT_EQ(label("lblInputName")->toolTip(), QStringLiteral("Supply voltage"));
    EXPECT_EQ(label("lblInputUnit")->text(), QStringLiteral("V"));
    EXPECT_EQ(shown(), QStringLiteral("24.3"));
    EXPECT_EQ(values, std::vector<int>{24});
}

TEST_F(JoyMonitorTest, ClearingTheBoxShowsZeroAndIgnoresReadings)
{
    CVarDataS current;
    current.MonitorEnable = true;
    monitor.setCarica(&current);
    monitor.UpdateDisplay(640);
    values.clear();

    QTest::mouseClick(check(), Qt::LeftButton);
    EXPECT_FALSE(check()->isChecked());
    EXPECT_FALSE(monitor.MonitorEnable());
    EXPECT_FALSE(current.MonitorEnable);
    EXPECT_EQ(shown(), QStringLiteral("0"));
    EXPECT_EQ(bar()->value(), 0);
    EXPECT_EQ(monitor.Value(), 0);
    EXPECT_EQ(states, std::vector<int>{0});

    monitor.UpdateDisplay(700);
    EXPECT_EQ(shown(), QStringLiteral("0"));
    EXPECT_TRUE(values.empty());

    QTest::mouseClick(check(), Qt::LeftButton);
    EXPECT_TRUE(current.MonitorEnable);
    EXPECT_EQ(states, (std::vector<int>{0, 1}));
    monitor.UpdateDisplay(700);
    EXPECT_EQ(shown(), QStringLiteral("700.0"));
}

TEST_F(JoyMonitorTest, WritingMonitorEnableActsLikeAClickOnlyOnAChange)
{
    monitor.setMonitorEnable(true); // already ticked
    EXPECT_TRUE(states.empty());
    monitor.setMonitorEnable(false);
    EXPECT_FALSE(check()->isChecked());
    EXPECT_EQ(shown(), QStringLiteral("0"));
    EXPECT_EQ(states, std::vector<int>{0});
    monitor.setMonitorEnable(true);
    EXPECT_EQ(states, (std::vector<int>{0, 1}));
}

TEST_F(JoyMonitorTest, ClearingPutsABarThatCannotShowZeroAtItsLowerEnd)
{
    monitor.setMin(50);
    monitor.UpdateDisplay(400);
    monitor.setMonitorEnable(false);
    EXPECT_EQ(bar()->value(), 50);
}

TEST_F(JoyMonitorTest, AReadingThatIsNotANumberIsIgnored)
{
    monitor.UpdateDisplay(300);
    monitor.UpdateDisplay(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(shown(), QStringLiteral("300.0"));
    monitor.UpdateDisplay(std::numeric_limits<double>::infinity());
    EXPECT_EQ(shown(), QStringLiteral("1,000.0"));
    EXPECT_EQ(values, (std::vector<int>{300, 1000}));
}

TEST_F(JoyMonitorTest, AnEmptyRangeDoesNotTurnTheBarIntoABusyIndicator)
{
    monitor.setMax(0);
    EXPECT_LT(bar()->minimum(), bar()->maximum());
    monitor.UpdateDisplay(0);
    EXPECT_EQ(bar()->value(), 0);
}

TEST_F(JoyMonitorTest, TheFocusFrameFollowsTheCheckBoxFocus)
{
    QApplication::setActiveWindow(&monitor);
    auto *frame = monitor.findChild<ShapeWidget *>(QStringLiteral("ShpChkInputEnable"));
    check()->setFocus();
    EXPECT_FALSE(frame->isHidden());
    EXPECT_TRUE(frame->geometry().contains(check()->geometry()));
    check()->clearFocus();
    EXPECT_TRUE(frame->isHidden());
}

TEST_F(JoyMonitorTest, ColoursPaintLabelsFocusFrameAndBackground)
{
    const quint32 navy = VbColor::rgb(0, 0, 128);
    monitor.setForeColor(navy);
    EXPECT_EQ(monitor.ForeColor(), navy);
    for (const char *name : {"lblInputName", "lblInputValue", "lblInputUnit"})
        EXPECT_EQ(label(name)->palette().color(QPalette::WindowText), QColor(0, 0, 128)) << name;
    EXPECT_EQ(monitor.findChild<ShapeWidget *>(QStringLiteral("ShpChkInputEnable"))->borderColor(), navy);

    const quint32 yellow = VbColor::rgb(255, 255, 160);
    monitor.setBackColor(yellow);
    EXPECT_EQ(monitor.BackColor(), yellow);
    EXPECT_EQ(monitor.findChild<QGroupBox *>(QStringLiteral("FrmeInput"))->palette().color(QPalette::Window),
              QColor(255, 255, 160));
    EXPECT_EQ(check()->palette().color(QPalette::Window), QColor(255, 255, 160));
}

TEST_F(JoyMonitorTest, ANewReadingIsDrawnWithoutLayingTheMonitorOutAgain)
{
    // the monitor page sets a reading several times a second
    auto *frame = monitor.findChild<QGroupBox *>(QStringLiteral("FrmeInput"));
    monitor.UpdateDisplay(10);
    for (int pass = 0; pass < 3; ++pass)   // whatever showing the monitor left to do
        QCoreApplication::processEvents();
    PaintCounter frameEvents(frame);
    PaintCounter valueEvents(label("lblInputValue"));
    PaintCounter barEvents(bar());
    const QRect valueGeometry = label("lblInputValue")->geometry();

    for (double reading : {20.0, -32768.0, 999.5, 7.0}) {
        monitor.UpdateDisplay(reading);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(shown(), QStringLiteral("7.0"));
    EXPECT_GE(valueEvents.paints, 4);
    EXPECT_GE(barEvents.paints, 3);
    EXPECT_EQ(frameEvents.layouts, 0) << "a new reading laid out the monitor again";
    EXPECT_EQ(label("lblInputValue")->geometry(), valueGeometry);
    // the widest reading still fits, in any format
    const QLabel *value = label("lblInputValue");
    EXPECT_GE(value->width(), value->fontMetrics().horizontalAdvance(QStringLiteral("-32,768.0")));
    monitor.setDataFormat(QStringLiteral("##,##0.000"));
    monitor.setMin(-32768);
    monitor.UpdateDisplay(-32768);
    EXPECT_EQ(shown(), QStringLiteral("-32,768.000"));
    EXPECT_GE(value->width(), value->fontMetrics().horizontalAdvance(shown()));
}

TEST_F(JoyMonitorTest, TheFrameLooksAsTheStyleDrawsItAfterEveryChange)
{
    // the frame keeps its drawing between readings: it must never show a stale one
    auto *frame = monitor.findChild<QGroupBox *>(QStringLiteral("FrmeInput"));
    const auto differenceFromTheStyle = [frame] {
        QGroupBox plain;
        plain.setPalette(frame->palette());
        plain.setAutoFillBackground(frame->autoFillBackground());
        plain.resize(frame->size());
        plain.setEnabled(frame->isEnabled());
        const QImage drawn = plain.grab().toImage().convertToFormat(QImage::Format_RGB32);
        // the frame alone, without the check box, labels and bar on it
        QImage kept(frame->size(), QImage::Format_RGB32);
        frame->render(&kept, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        if (kept.size() != drawn.size())
            return 255;
        // a kept drawing is blended twice: a level of rounding is no difference
        int largest = 0;
        for (int y = 0; y < kept.height(); ++y)
            for (int x = 0; x < kept.width(); ++x) {
                const QRgb a = kept.pixel(x, y);
                const QRgb b = drawn.pixel(x, y);
                largest = std::max({largest, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                    std::abs(qBlue(a) - qBlue(b))});
            }
        return largest;
    };
    monitor.resize(240, 60);
    QCoreApplication::processEvents();
    EXPECT_LE(differenceFromTheStyle(), 2);

    monitor.setBackColor(VbColor::rgb(128, 0, 0));
    monitor.resize(300, 70);
    QCoreApplication::processEvents();
    EXPECT_LE(differenceFromTheStyle(), 2) << "a new colour or size showed the old drawing";

    monitor.setEnabled(false);
    QCoreApplication::processEvents();
    EXPECT_LE(differenceFromTheStyle(), 2);
}

TEST(FlatProgressBar, FillsFromTheLeftInProportionAndRedrawsWithTheEventLoop)
{
    FlatProgressBar bar;
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, Qt::blue);
    bar.setPalette(palette);
    bar.setRange(0, 200);
    bar.setFixedSize(100, 10);
    bar.show();
    QCoreApplication::processEvents();
    PaintCounter counter(&bar);

    bar.setValue(50);
    EXPECT_EQ(bar.value(), 50);
    EXPECT_EQ(bar.filledWidth(), 25);
    EXPECT_EQ(counter.paints, 0) << "the new value waits for the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);

    // the same value again asks for no redraw; a new one still gets it
    bar.setValue(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    bar.setValue(51);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 2);

    bar.setValue(50);
    QImage image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 5), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(24, 5), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(25, 5), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(99, 9), QColor(Qt::white));

    bar.setValue(200);
    EXPECT_EQ(bar.filledWidth(), 100);
    EXPECT_EQ(bar.grab().toImage().pixelColor(99, 5), QColor(Qt::blue));
    bar.setValue(300);   // out of range: refused, as by any progress bar
    EXPECT_EQ(bar.value(), 200);
    bar.setValue(0);
    EXPECT_EQ(bar.filledWidth(), 0);
    EXPECT_EQ(bar.grab().toImage().pixelColor(0, 5), QColor(Qt::white));

    bar.setRange(7, 7);   // an empty range shows an empty bar
    EXPECT_EQ(bar.filledWidth(), 0);
}

TEST(FlatProgressBar, AShownBarIsRedrawnAloneNotWhatLiesBehindIt)
{
    QGroupBox behind;
    behind.resize(200, 60);
    auto *bar = new FlatProgressBar(&behind);
    bar->setGeometry(10, 20, 100, 10);
    behind.show();
    QCoreApplication::processEvents();
    PaintCounter behindEvents(&behind);
    PaintCounter barEvents(bar);
    for (int value = 10; value <= 50; value += 10) {
        bar->setValue(value);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(barEvents.paints, 5);
    EXPECT_EQ(behindEvents.paints, 0) << "showing the bar took away its claim to paint every pixel";
}

TEST(VbColorApply, AColourSetAgainIsKeptUnlessSomethingElseChangedIt)
{
    QLabel label;
    const quint32 red = VbColor::rgb(200, 0, 0);
    VbColor::applyTo(&label, QPalette::Window, red);
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(200, 0, 0));
    EXPECT_TRUE(label.autoFillBackground());

    VbColor::applyTo(&label, QPalette::Window, red);
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(200, 0, 0));

    // a colour is skipped when set again; one changed by other means in between is applied again in full
    QPalette blue = label.palette();
    blue.setColor(QPalette::Window, Qt::blue);
    label.setPalette(blue);
    VbColor::applyTo(&label, QPalette::Window, red);
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(200, 0, 0));
    label.setAutoFillBackground(false);
    VbColor::applyTo(&label, QPalette::Window, red);
    EXPECT_TRUE(label.autoFillBackground());

    // another role is its own
    VbColor::applyTo(&label, QPalette::WindowText, red);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(200, 0, 0));
}
