// The on-line monitor page against the in-memory controller: polling with
// the page in front, the state words on the drawing, progress, failures.
#include "frmmonitor.h"
#include "joymonitor.h"
#include "monitordrawing.h"
#include "pagefixture.h"
#include "pagepoller.h"
#include "shapewidget.h"
#include "filedialogservice.h"
#include "trendrecorder.h"
#include "trendwindow.h"
#include "vbcolor.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineSeries>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <cmath>
#include <memory>

namespace {

// What the configuration page publishes of its inputs, as the monitor copies it.
void publishConfigInputs(SystemState &system)
{
    for (int k = 0; k < 4; ++k) {
        SystemState::SectionInputs inputs;
        inputs.drawn = true;
        QImage picture(20 + k, 20, QImage::Format_RGB32);
        picture.fill(Qt::red);
        inputs.joystick = picture;
        inputs.joystickCaption = QStringLiteral("Joystick %1").arg(k + 1);
        inputs.pinCaption = QStringLiteral("D1.1%1 - AI_%2").arg(k).arg(k + 1);
        inputs.pinColour = QColor(0, 128, 0);
        system.setInputs(k, inputs);
    }
}

// Answers every save dialog with one path.
class SaveAs : public FileDialogService
{
public:
    explicit SaveAs(const QString &path) : m_path(path) {}
    std::optional<QString> openFile(const Request &) override { return std::nullopt; }
    std::optional<QString> saveFile(const Request &) override { return m_path; }
    std::optional<QColor> chooseColour(const QColor &initial) override { return initial; }

private:
    QString m_path;
};

class MonitorTest : public PageFixture
{
protected:
    void SetUp() override
    {
        loadShippedList();
        page = std::make_unique<FrmMonitor>(context);
        page->setTag(QStringLiteral("A2"));
        usePage(page.get());
        draw = &page->drawing();
    }

    // Connected with the link open, as after a successful connect.
    void connectAndActivate(int sections = 4)
    {
        var(KRV_NUM_PROP_REG).QelValueE2 = sections;
        connectLink();
        session.IsConnectObj = ConnectionState::Connected;
        page->Activate();
    }

    // One timer tick without waiting for the timer.
    void tick() { page->poller().tick(); }

    QString pinText(int k) const { return draw->LblPin[k]->text(); }

    std::unique_ptr<FrmMonitor> page;
    MonitorDrawing *draw = nullptr;
};

TEST_F(MonitorTest, StatusWordShowsReadyUnlessAnyBitButSixIsSet)
{
    connectAndActivate();
    setWord(KRV_ERROR_CODE, 0x0040);
    tick();
    EXPECT_EQ(draw->LblErr->text(), "READY");
    EXPECT_EQ(draw->ShpErr->fillColor(), MonitorDrawing::Blue);
    EXPECT_EQ(draw->LblErr->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    setWord(KRV_ERROR_CODE, 0x0041);
    tick();
    EXPECT_EQ(draw->LblErr->text(), "NOT READY");
    EXPECT_EQ(draw->ShpErr->fillColor(), MonitorDrawing::Red);
    EXPECT_EQ(draw->LblErr->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    setWord(KRV_ERROR_CODE, 0);
    tick();
    EXPECT_EQ(draw->LblErr->text(), "READY");
}

TEST_F(MonitorTest, OutputWordLightsCoilsAndPowerOutputs)
{
    connectAndActivate();
    setWord(KRV_HSD_MONITOR, 0x0005);
    tick();
    for (int k = 0; k < 4; ++k) {
        const bool a = k < 2;
        EXPECT_EQ(MonitorDrawing::isLit(draw->lblHSDA[k]), a) << k;
        EXPECT_EQ(MonitorDrawing::isLit(draw->lblValveA[k]), a) << k;
        EXPECT_FALSE(MonitorDrawing::isLit(draw->lblHSDB[k])) << k;
        EXPECT_FALSE(MonitorDrawing::isLit(draw->lblValveB[k])) << k;
    }
    EXPECT_EQ(draw->lblHSDA[0]->palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(draw->lblHSDA[0]->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(draw->lblHSDB[0]->palette().color(QPalette::Window), QColor(255, 255, 255));

    setWord(KRV_HSD_MONITOR, 0x0080);
    tick();
    EXPECT_FALSE(MonitorDrawing::isLit(draw->lblHSDA[0]));
    EXPECT_TRUE(MonitorDrawing::isLit(draw->lblHSDB[3]));
    EXPECT_TRUE(MonitorDrawing::isLit(draw->lblValveB[3]));
}

TEST_F(MonitorTest, PowerOutputsCarryTheirPinNames)
{
    const char *a[] = {"D2.11 (OUT_1)", "D2.04 (OUT_3)", "D2.06 (OUT_5)", "D2.12 (OUT_7)"};
    const char *b[] = {"D2.02 (OUT_2)", "D2.03 (OUT_4)", "D2.05 (OUT_6)", "D2.01 (OUT_8)"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(draw->lblHSDA[k]->toolTip(), a[k]);
        EXPECT_EQ(draw->lblHSDB[k]->toolTip(), b[k]);
    }
}

TEST_F(MonitorTest, DigitalInputLabelFollowsTheBitOfItsTag)
{
    var(KRV_JOY_0_CONFIG).QelValueE2 = 0x5302; // digital: DI_03 and DI_05
    connectAndActivate();
    ASSERT_EQ(MonitorDrawing::tag(draw->lblDinLJoy[0]), 3);
    setWord(KRV_DIGIT_MONITOR, 0x0008);
    tick();
    EXPECT_TRUE(MonitorDrawing::isLit(draw->lblDinLJoy[0]));
    EXPECT_FALSE(MonitorDrawing::isLit(draw->lblDinHJoy[0]));
    setWord(KRV_DIGIT_MONITOR, 0x0004);
    tick();
    EXPECT_FALSE(MonitorDrawing::isLit(draw->lblDinLJoy[0]));
    setWord(KRV_DIGIT_MONITOR, 0x0020);
    tick();
    EXPECT_TRUE(MonitorDrawing::isLit(draw->lblDinHJoy[0]));
}

TEST_F(MonitorTest, JoystickConfigurationWordGivesPinCaptions)
{
    var(KRV_JOY_0_CONFIG).QelValueE2 = 0x5302;
    var(KRV_JOY_1_CONFIG).QelValueE2 = 0x0011;
    var(KRV_JOY_2_CONFIG).QelValueE2 = 0x0031;
    var(KRV_JOY_3_CONFIG).QelValueE2 = 0x0000;
    connectAndActivate();
    EXPECT_FALSE(draw->LblPin[0]->isEnabled());
    EXPECT_EQ(draw->lblDinLJoy[0]->text(), "DI_03");
    EXPECT_EQ(draw->lblDinHJoy[0]->text(), "DI_05");
    EXPECT_FALSE(draw->lblDinLJoy[0]->isHidden());
    EXPECT_EQ(pinText(1), "Y axis");
    EXPECT_TRUE(draw->LblPin[1]->isEnabled());
    EXPECT_TRUE(draw->lblDinLJoy[1]->isHidden());
    EXPECT_EQ(pinText(2), "n.a");
    EXPECT_EQ(pinText(3), "OFF");

    // an axis number of 8 to 15 leaves the caption; a digital input 0 reads OFF
    var(KRV_JOY_1_CONFIG).QelValueE2 = 0x0081;
    var(KRV_JOY_2_CONFIG).QelValueE2 = 0x0302;
    page->DrawVisibleObject();
    EXPECT_EQ(pinText(1), "Y axis");
    EXPECT_EQ(draw->lblDinLJoy[2]->text(), "DI_03");
    EXPECT_EQ(draw->lblDinHJoy[2]->text(), "OFF");
    EXPECT_EQ(MonitorDrawing::tag(draw->lblDinHJoy[2]), 0);
}

TEST_F(MonitorTest, FunctionInputsShowTheirDigitalInputs)
{
    var(KRV_FLOAT_CONFIG_1).QelValueE2 = 0x2100;
    var(KRV_FLOAT_CONFIG_2).QelValueE2 = 0x00C7;
    connectAndActivate();
    EXPECT_EQ(draw->LblPinDM->text(), "N.C.");
    EXPECT_EQ(draw->LblPinSL->text(), "N.C.");
    EXPECT_EQ(draw->LblFL[0]->text(), "DI_01");
    EXPECT_EQ(draw->LblFL[1]->text(), "DI_02");
    EXPECT_EQ(draw->LblFL[2]->text(), "DI_07");
    EXPECT_EQ(draw->LblFL[3]->text(), "DI_12");

    setWord(KRV_DIGIT_MONITOR, 0x1002); // DI_01 and DI_12
    tick();
    EXPECT_TRUE(MonitorDrawing::isLit(draw->LblFL[0]));
    EXPECT_FALSE(MonitorDrawing::isLit(draw->LblFL[1]));
    EXPECT_TRUE(MonitorDrawing::isLit(draw->LblFL[3]));
    // an unassigned input (tag 0) follows bit 0
    EXPECT_FALSE(MonitorDrawing::isLit(draw->LblPinDM));
}

TEST_F(MonitorTest, ProgressRunsInEqualStepsOverTheCycle)
{
    connectAndActivate(1); // JoyMonitorVal(0), IMeasure(0), JoyMonitorVbb visible
    draw->JoyMonitorVbb->setMonitorEnable(false);
    window.progress.history.clear();
    tick();
    EXPECT_EQ(window.progress.history, (QList<int>{0, 20, 40, 60, 80, 100}));
    EXPECT_EQ(session.StatusText, "Monitor...");
    EXPECT_EQ(window.status.panelText(5), "100%");
}

TEST_F(MonitorTest, LiveValuesReachTheBarsInDisplayUnits)
{
    var(KRV_I0_MAX).QelValueE2 = 900;
    var(KRV_I1_SDM_MAX).QelValueE2 = 1200;
    connectAndActivate();
    EXPECT_EQ(draw->IMeasure[0]->Max(), 1200);
    EXPECT_EQ(draw->IMeasure[0]->ThMin(), 50);
    EXPECT_EQ(draw->IMeasure[0]->ThMax(), 50);
    setWord(KRV_JOY0_VALUE, 734);     // 73.4 %
    setWord(KRV_I0_MEASURE_400, 8504); // 850.4 mA
    setWord(KRV_VBB_400, 2415);       // 24.15 V
    tick();
    EXPECT_EQ(draw->JoyMonitorVal[0]->Value(), 73);
    EXPECT_EQ(draw->IMeasure[0]->Value(), 850);
    EXPECT_DOUBLE_EQ(var(KRV_VBB_400).KrvDisplayValueRAM, 24.15);
    EXPECT_EQ(draw->JoyMonitorVbb->findChild<QLabel *>("lblInputValue")->text(), "24.2");
    EXPECT_EQ(var(KRV_JOY0_VALUE).QelValueRAM, 734);
}

TEST_F(MonitorTest, OnlyVisibleTickedControlsAreRead)
{
    connectAndActivate(2);
    draw->IMeasure[1]->setMonitorEnable(false);
    tick();
    EXPECT_EQ(readsOf(KRV_JOY0_VALUE), 1);
    EXPECT_EQ(readsOf(KRV_JOY1_VALUE), 1);
    EXPECT_EQ(readsOf(KRV_JOY2_VALUE), 0); // section 3 not drawn
    EXPECT_EQ(readsOf(KRV_I0_MEASURE_400), 1);
    EXPECT_EQ(readsOf(KRV_I1_MEASURE_400), 0); // unticked
    EXPECT_EQ(readsOf(KRV_VBB_400), 1);
    EXPECT_EQ(controller().accessCount(), 3 + 4);
    // nothing is ever written
    for (const FakeController::Access &a : controller().log)
        EXPECT_FALSE(a.write);
}

TEST_F(MonitorTest, RecordsConvertWithTheControllersSectionCount)
{
    var(KRV_JOY3_VALUE).CurrentTBXSystem = 7;
    connectAndActivate(3);
    EXPECT_EQ(var(KRV_JOY0_VALUE).CurrentTBXSystem, 3);
    EXPECT_EQ(var(KRV_I2_MEASURE_400).CurrentTBXSystem, 3);
    EXPECT_EQ(var(KRV_VBB_400).CurrentTBXSystem, 3);
    EXPECT_EQ(var(KRV_JOY3_VALUE).CurrentTBXSystem, 7); // section 4 hidden: untouched
}

TEST_F(MonitorTest, PollingRunsOnlyWhileInFrontAndConnected)
{
    // not connected: the timer stays off
    page->Activate();
    EXPECT_FALSE(page->TmrMonitor()->isActive());

    connectAndActivate();
    EXPECT_TRUE(page->TmrMonitor()->isActive());
    EXPECT_EQ(page->TmrMonitor()->interval(), 100);
    ASSERT_TRUE(waitFor([&] { return readsOf(KRV_ERROR_CODE) >= 2; }));
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::MonitorPolling);
    EXPECT_TRUE(page->StatusTimerForm()); // stays set between cycles

    // leaving the page: state back to 1 at once, polling ends within one tick
    page->Deactivate();
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
    ASSERT_TRUE(waitFor([&] { return !page->TmrMonitor()->isActive(); }, 1000));
    EXPECT_FALSE(page->StatusTimerForm());
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
    const int reads = controller().accessCount();
    waitFor([] { return false; }, 300);
    EXPECT_EQ(controller().accessCount(), reads);
}

TEST_F(MonitorTest, TickWaitsWhileAnotherUserHoldsTheLink)
{
    connectAndActivate();
    {
        const LinkScheduler::Turn transfer(session.link);
        tick();
        EXPECT_EQ(controller().accessCount(), 0);
        EXPECT_FALSE(page->StatusTimerForm());
        // a command asked for meanwhile is refused, not run inside the transfer
        bool ran = false;
        EXPECT_FALSE(session.link.request([&] { ran = true; }));
        EXPECT_FALSE(ran);
    }
    bool waited = false;
    {
        const LinkScheduler::Turn otherPoll(session.link, LinkScheduler::Use::Poll);
        tick();
        EXPECT_EQ(controller().accessCount(), 0);
        // a command asked for during a poll runs once it has returned, before the next poll
        EXPECT_TRUE(session.link.request([&] { waited = true; }));
        EXPECT_FALSE(waited);
    }
    tick();
    EXPECT_EQ(controller().accessCount(), 0) << "the waiting command goes first";
    ASSERT_TRUE(waitFor([&] { return waited && controller().accessCount() > 0; }, 1000));

    // a deactivated page does not stop either while the link is held
    page->Deactivate();
    {
        const LinkScheduler::Turn transfer(session.link);
        tick();
        EXPECT_TRUE(page->TmrMonitor()->isActive());
    }
    tick();
    EXPECT_FALSE(page->TmrMonitor()->isActive());
}

TEST_F(MonitorTest, FailedReadEndsPollingAndDropsTheLink)
{
    connectAndActivate();
    controller().failAt = 5; // a monitor control's read
    tick();
    EXPECT_FALSE(page->TmrMonitor()->isActive());
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_FALSE(session.devLink.isOpen());
    EXPECT_FALSE(page->StatusTimerForm());
    EXPECT_EQ(controller().accessCount(), 5);
}

TEST_F(MonitorTest, FailedStatusWordReadEndsTheCycleAtOnce)
{
    connectAndActivate();
    controller().failAt = 1;
    tick();
    EXPECT_EQ(controller().accessCount(), 1);
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_FALSE(session.devLink.isOpen());
}

TEST_F(MonitorTest, TimerSwitchedOffDuringACycleKeepsTheLink)
{
    connectAndActivate();
    // switched off from inside the cycle, while its status refresh lets events run
    QTimer::singleShot(0, page.get(), [&] { page->DisableTimer(); });
    tick();
    EXPECT_LT(controller().accessCount(), 3 + 9);
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
    EXPECT_TRUE(session.devLink.isOpen());
    EXPECT_FALSE(page->StatusTimerForm());
}

TEST_F(MonitorTest, MissingLiveValueIsSkippedWithoutEndingTheCycle)
{
    session.catalogue.ids[KRV_HSD_MONITOR] = 0;
    session.catalogue.ids[KRV_JOY1_VALUE] = 0;
    page->RefreshObject(); // JoyMonitorVal(1) now has no record
    connectAndActivate();
    setWord(KRV_ERROR_CODE, 0x0040);
    setWord(KRV_VBB_400, 2400);
    window.progress.history.clear();
    tick();
    EXPECT_EQ(draw->LblErr->text(), "READY");
    EXPECT_DOUBLE_EQ(var(KRV_VBB_400).KrvDisplayValueRAM, 24.0);
    EXPECT_EQ(window.progress.history.last(), 100);
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::MonitorPolling);
    EXPECT_TRUE(page->TmrMonitor()->isActive());
    EXPECT_EQ(controller().accessCount(), 2 + 8); // 3 words and 9 controls, two of them missing
}

TEST_F(MonitorTest, UntickingAJoystickBarDarkensItsCoils)
{
    connectAndActivate();
    setWord(KRV_HSD_MONITOR, 0x0003);
    tick();
    ASSERT_TRUE(MonitorDrawing::isLit(draw->lblValveA[0]));
    draw->JoyMonitorVal[0]->setMonitorEnable(false);
    EXPECT_FALSE(MonitorDrawing::isLit(draw->lblValveA[0]));
    EXPECT_FALSE(MonitorDrawing::isLit(draw->lblValveB[0]));
    EXPECT_TRUE(MonitorDrawing::isLit(draw->lblHSDA[0])); // the output itself is still on

    // with the current bar unticked, every joystick reading darkens them again
    draw->JoyMonitorVal[0]->setMonitorEnable(true);
    draw->IMeasure[0]->setMonitorEnable(false);
    tick();
    EXPECT_FALSE(MonitorDrawing::isLit(draw->lblValveA[0]));
    EXPECT_TRUE(MonitorDrawing::isLit(draw->lblValveA[1]) == false);
}

TEST_F(MonitorTest, SectionCountLaysOutTheDrawing)
{
    page->DrawActualObject(2, 1);
    for (int k = 0; k < 4; ++k) {
        const bool shown = k < 2;
        EXPECT_EQ(!draw->lblJoy[k]->isHidden(), shown) << k;
        EXPECT_EQ(!draw->JoyMonitorVal[k]->isHidden(), shown) << k;
        EXPECT_EQ(!draw->IMeasure[k]->isHidden(), shown) << k;
        EXPECT_EQ(!draw->lblHSDA[k]->isHidden(), shown) << k;
        EXPECT_EQ(!draw->LblFL[k]->isHidden(), shown) << k;
        EXPECT_TRUE(draw->JoyMonitorRed[k]->isHidden());
        for (ShapeWidget *segment : draw->Line[k])
            EXPECT_EQ(!segment->isHidden(), shown) << k;
    }
    EXPECT_EQ(draw->ImgQEL->toolTip(), "TBX 200 P");
    EXPECT_TRUE(draw->DrawJoyMonitorEventObj->isHidden());

    page->DrawActualObject(3, 0);
    EXPECT_EQ(draw->ImgQEL->toolTip(), "TBX 300 F");
    EXPECT_TRUE(draw->Line[3][0]->isHidden());
    page->DrawActualObject(4, 2); // any type but 1 is drawn as F
    EXPECT_EQ(draw->ImgQEL->toolTip(), "TBX 400 F");

    // a count outside 1 to 4 names no model; the lines then all show
    page->DrawActualObject(0, 0);
    EXPECT_EQ(draw->ImgQEL->toolTip(), "");
    EXPECT_TRUE(draw->lblJoy[0]->isHidden());
    EXPECT_FALSE(draw->Line[3][1]->isHidden());
    page->DrawActualObject(7, 1);
    EXPECT_EQ(draw->ImgQEL->toolTip(), "");
}

TEST_F(MonitorTest, IdleDrawingCopiesTheConfigurationPage)
{
    publishConfigInputs(session.system);
    pages.current = page.get();
    var(KRV_JOY_0_CONFIG).QelValueE2 = 0x5302;
    page->DrawVisibleObject();
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(pinText(k), session.system.inputs(k).pinCaption);
        EXPECT_EQ(draw->LblPin[k]->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        EXPECT_EQ(draw->LblPin[k]->toolTip(), "Pin connection");
        EXPECT_TRUE(draw->lblDinLJoy[k]->isHidden());
    }
    EXPECT_EQ(draw->LblFL[2]->toolTip(), "Pin connection");

    page->MonitorDrawJoy();
    EXPECT_EQ(draw->JoyDisplay[2]->pixmap().width(), 22);
    EXPECT_EQ(draw->JoyDisplay[2]->toolTip(), "Joystick 3");
}

TEST_F(MonitorTest, RedrawTriggersRunTheirDrawingAndFallBack)
{
    publishConfigInputs(session.system);
    pages.current = page.get();
    draw->DrawJoyMonitorEventObj->setValue(5);
    EXPECT_EQ(draw->DrawJoyMonitorEventObj->value(), 0);
    EXPECT_EQ(draw->JoyDisplay[0]->toolTip(), "Joystick 1");

    // the configuration page's dither buttons redraw the solenoid pictures
    QSignalSpy drawn(page.get(), &FrmMonitor::idleDrawn);
    session.system.announceSolenoids();
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_EQ(draw->DrawMagMonitorEventObj->value(), 0);

    var(KRV_SOL_TYPE).QelValueE2 = 1;
    page->fireRedrawTriggers();
    EXPECT_EQ(draw->DrawMagMonitorEventObj->value(), 0);
    EXPECT_FALSE(draw->ImgVbb->pixmap().isNull());
    EXPECT_FALSE(page->vbbPicture().isNull());
}

TEST_F(MonitorTest, SolenoidTypeOutsideTheTableLeavesThePictures)
{
    var(KRV_SOL_TYPE).QelValueE2 = 9;
    page->MonitorDrawMag();
    EXPECT_EQ(draw->MagADisplay[0]->toolTip(), "");
}

TEST_F(MonitorTest, SectionColoursPaintEachSectionsArea)
{
    SectionColours colours;
    colours.ApplyPalette(4);
    page->setSectionColours(&colours);
    EXPECT_EQ(draw->lblJoy[1]->palette().color(QPalette::Window), VbColor::toQColor(0x0000C000));
    EXPECT_EQ(draw->lblCurrent[1]->palette().color(QPalette::Window), VbColor::toQColor(0x0000C000));
    EXPECT_EQ(draw->JoyMonitorVal[1]->BackColor(), 0x0000C000u);
    EXPECT_EQ(draw->IMeasure[3]->ForeColor(), 0x00000000u);
    EXPECT_EQ(draw->Line[2][0]->fillColor(), 0x00C00000u);

    colours.SectionBackColour[2] = 0x00123456;
    static_cast<PageBase *>(page.get())->RefreshColour(); // as the palette window calls it
    EXPECT_EQ(draw->IMeasure[2]->BackColor(), 0x00123456u);
    EXPECT_EQ(draw->IMeasure[1]->BackColor(), 0x0000C000u);
}

TEST_F(MonitorTest, ColoursOfThePageContextAreUsed)
{
    SectionColours palette;
    palette.ApplyPalette(5);
    context.colours = &palette;
    FrmMonitor coloured(context);
    EXPECT_EQ(coloured.drawing().JoyMonitorVal[2]->BackColor(), 0x000000FFu);
    palette.SectionBackColour[0] = 0x00ABCDEF;
    coloured.RefreshColour();
    EXPECT_EQ(coloured.drawing().IMeasure[0]->BackColor(), 0x00ABCDEFu);
}

TEST_F(MonitorTest, DrawBarWhilePollingLocksTheTransfers)
{
    connectAndActivate();
    tick();
    page->DrawBar(window.status, window.progress, "Monitor...");
    EXPECT_EQ(window.status.icons[1], StateIcon::Green);
    EXPECT_EQ(txtConnect.value, "Monitor...");
    EXPECT_EQ(txtConnect.colour, 0x0000C000u);
    for (int b : {4, 5, 7, 9, 10, 12, 13})
        EXPECT_FALSE(window.buttons[b].enabled) << b;
    EXPECT_TRUE(window.buttons[19].enabled);
    EXPECT_TRUE(window.buttons[19].pressed);
    EXPECT_EQ(window.buttons[19].toolTip, "Disconnect");
    EXPECT_EQ(window.menus["mnuHW_Connect"].caption, "Disconnect");
    for (const char *m : {"mnuHW_ReadAll", "mnuHW_WriteAll", "mnuHw_Read", "mnuHW_Write", "mnuHw_Reset",
                          "mnuSet_ComID", "mnuSet_ComBauldID", "mnuSet_Login", "mnuSet_Logout"})
        EXPECT_FALSE(window.menus[m].enabled) << m;

    // state 1 leaves the indicator as it was; 0 shows "Not Connected"
    session.IsConnectObj = ConnectionState::Connected;
    txtConnect.value = "kept";
    page->DrawBar(window.status, window.progress, "x");
    EXPECT_EQ(txtConnect.value, "kept");
    session.IsConnectObj = ConnectionState::NotConnected;
    page->DrawBar(window.status, window.progress, "x");
    EXPECT_EQ(txtConnect.value, "Not Connected");
    EXPECT_EQ(window.status.icons[1], StateIcon::Red);
}

TEST_F(MonitorTest, HelpKeyOpensTheManualAtPage26)
{
    EXPECT_EQ(page->objectName(), "FrmMonitor");
    EXPECT_EQ(page->windowTitle(), "Monitor");
    EXPECT_EQ(page->ReadKey(), 0);
    EXPECT_EQ(page->WriteKey(), 0);
    EXPECT_EQ(page->CheckDataToWrite(), "");
    page->show();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    QWidget *box = draw->IMeasure[1]->findChild<QWidget *>("ChkInputEnable");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F1);
    ASSERT_EQ(viewer.calls.size(), 1);
    EXPECT_TRUE(viewer.calls[0].second.startsWith("/A \"page=26&")) << viewer.calls[0].second.toStdString();
    page->hide();
}

TEST_F(MonitorTest, PageLooksRight)
{
    var(KRV_JOY_0_CONFIG).QelValueE2 = 0x5302;
    var(KRV_JOY_1_CONFIG).QelValueE2 = 0x0011;
    var(KRV_FLOAT_CONFIG_1).QelValueE2 = 0x2143;
    var(KRV_I0_MAX).QelValueE2 = 1500;
    connectAndActivate(3);
    setWord(KRV_ERROR_CODE, 0x0040);
    setWord(KRV_HSD_MONITOR, 0x0011);
    setWord(KRV_DIGIT_MONITOR, 0x0018);
    setWord(KRV_JOY0_VALUE, 620);
    setWord(KRV_I0_MEASURE_400, 7300);
    setWord(KRV_VBB_400, 2410);
    tick();
    page->resize(page->minimumSize());
    saveShot(*page, "monitor");
    // the drawing fits the page and nothing of the state column overlaps
    for (QWidget *w : {static_cast<QWidget *>(draw->FrmErr), static_cast<QWidget *>(draw->Frame1),
                       static_cast<QWidget *>(draw->Frame2), static_cast<QWidget *>(draw->JoyMonitorVbb)})
        EXPECT_TRUE(page->rect().contains(w->geometry())) << w->objectName().toStdString();
    EXPECT_FALSE(draw->Frame1->geometry().intersects(draw->Frame2->geometry()));
    EXPECT_FALSE(draw->JoyMonitorVbb->geometry().intersects(draw->Frame1->geometry()));
    EXPECT_TRUE(page->rect().contains(draw->IMeasure[3]->geometry()));
    // every bar monitor gets at least the room it needs
    for (JoyMonitor *control : draw->monitors()) {
        EXPECT_GE(control->width(), control->minimumSizeHint().width()) << control->objectName().toStdString();
        EXPECT_GE(control->height(), control->minimumSizeHint().height()) << control->objectName().toStdString();
    }
}

} // namespace

TEST_F(MonitorTest, ACycleLongerThanTheIntervalIsFollowedAtOnceByTheNext)
{
    connectAndActivate(1);
    int cycles = 0;
    bool stopInside = false;
    page->poller().setCycle([&] {
        if (++cycles == 1) {
            // longer than the interval, letting events run as a real cycle does
            QThread::msleep(PagePoller::IntervalMs + 30);
            QCoreApplication::processEvents();
            if (stopInside)
                page->DisableTimer();
        }
        return QString();
    });
    tick();
    EXPECT_EQ(cycles, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(cycles, 2) << "the tick that fell due during the cycle comes right after it";
    QCoreApplication::processEvents();
    EXPECT_EQ(cycles, 2) << "a short cycle waits for the timer";

    // a timer switched off during the long cycle brings no further cycle
    cycles = 0;
    stopInside = true;
    tick();
    QCoreApplication::processEvents();
    EXPECT_EQ(cycles, 1);
    EXPECT_FALSE(page->TmrMonitor()->isActive());
}

TEST_F(MonitorTest, TrendRecordsEachCycleWithoutReadingMoreAndSavesTheMonitorColumns)
{
    connectAndActivate(2);
    draw->IMeasure[1]->setMonitorEnable(false);
    setWord(KRV_JOY0_VALUE, 734);
    TrendRecorder &recorder = page->recorder();
    const LiveColumns &columns = recorder.columns();
    ASSERT_EQ(columns.count(), 12);
    // link accesses per recorded cycle, over a few cycles (the page's own
    // timer adds cycles while events run)
    auto perCycle = [&](const std::function<void()> &between) {
        const int accesses = controller().accessCount();
        const quint64 samples = recorder.appended();
        for (int i = 0; i < 3; ++i) {
            tick();
            between();
        }
        const auto cycles = int(recorder.appended() - samples);
        EXPECT_GE(cycles, 3);
        return double(controller().accessCount() - accesses) / std::max(cycles, 1);
    };
    const double closed = perCycle([] {});
    EXPECT_EQ(closed, 3 + 4);

    SaveAs dialogs(folder.path(QStringLiteral("trend.csv")));
    TrendWindow trend(recorder, &dialogs, nullptr);
    trend.show();
    const double open = perCycle([&] { QTest::qWait(TrendWindow::RefreshMs + 50); });
    EXPECT_EQ(open, closed) << "the trend reads nothing of its own";

    // each sample holds what the cycle read; what it did not read stays empty
    const TrendRecorder::Sample &last = recorder.samples().back();
    EXPECT_DOUBLE_EQ(last.values[columns.columnOf(KRV_JOY0_VALUE)], 73.4);
    EXPECT_TRUE(std::isnan(last.values[columns.columnOf(KRV_JOY2_VALUE)])); // section 3 not drawn
    EXPECT_TRUE(std::isnan(last.values[columns.columnOf(KRV_I1_MEASURE_400)])); // unticked
    EXPECT_GE(trend.series(KRV_JOY0_VALUE)->count(), 3);
    EXPECT_EQ(trend.series(KRV_JOY2_VALUE)->count(), 0);

    // a switched-off series is hidden and the recording goes on
    trend.seriesSwitch(KRV_JOY0_VALUE)->click();
    EXPECT_FALSE(trend.series(KRV_JOY0_VALUE)->isVisible());
    EXPECT_TRUE(trend.series(KRV_JOY1_VALUE)->isVisible());

    ASSERT_TRUE(trend.saveCsv());
    QFile csv(folder.path(QStringLiteral("trend.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + int(recorder.samples().size()));
    EXPECT_EQ(lines[0], columns.header());
    const QStringList fields = lines.last().split(QLatin1Char(','));
    ASSERT_EQ(fields.size(), 13);
    EXPECT_EQ(fields[1 + columns.columnOf(KRV_JOY0_VALUE)], QStringLiteral("73.4"));
    EXPECT_EQ(fields[1 + columns.columnOf(KRV_JOY2_VALUE)], QString());
}

TEST_F(MonitorTest, TrendKeepsTenMinutesAndBoundedPoints)
{
    TrendRecorder recorder{LiveColumns(session.catalogue)};
    const int joy = recorder.columns().columnOf(KRV_JOY0_VALUE);
    auto add = [&](qint64 timeMs, double value) {
        TrendRecorder::Sample s = recorder.emptySample(timeMs);
        s.values[joy] = value;
        recorder.append(s);
    };
    // one sample a second for eleven minutes: the first minute is gone
    for (qint64 t = 0; t <= 11 * 60; ++t)
        add(t * 1000, double(t % 100));
    EXPECT_EQ(recorder.samples().front().timeMs, 60 * 1000);
    EXPECT_EQ(recorder.samples().size(), 601u);
    add(5000, 1.0); // older than the newest: refused
    EXPECT_EQ(recorder.samples().back().timeMs, 11 * 60 * 1000);

    // a fast burst stays bounded in number too
    for (int i = 1; i <= TrendRecorder::MaxSamples + 10; ++i)
        add(11 * 60 * 1000 + i, i == 30000 ? 500.0 : 1.0);
    EXPECT_EQ(recorder.samples().size(), size_t(TrendRecorder::MaxSamples));

    // reduced to about two points a bucket, the peak kept
    const qint64 end = recorder.samples().back().timeMs;
    const QList<QPointF> points = recorder.points(joy, end - 60000, end, 400);
    EXPECT_LE(points.size(), 2 * 400 + 4);
    double top = 0;
    for (const QPointF &p : points)
        top = std::max(top, p.y());
    EXPECT_EQ(top, 500.0);
    EXPECT_TRUE(recorder.points(recorder.columns().columnOf(KRV_JOY1_VALUE), end - 60000, end, 400).isEmpty());
}
