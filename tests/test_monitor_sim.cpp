// The monitor page against krv-sim over a pseudo-terminal, through the real
// device-link component, with its own 100 ms timer.
#include "frmmonitor.h"
#include "joymonitor.h"
#include "monitordrawing.h"
#include "pagefixture.h"
#include "pagepoller.h"
#include "simprocess.h"

#include <QLabel>
#include <QTimer>
#include <memory>

namespace {

class MonitorOverSim : public PageFixture
{
protected:
    MonitorOverSim() : PageFixture(true) {}

    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        loadShippedList();
        session.e2Image.CountAllPageVars();
        page = std::make_unique<FrmMonitor>(context);
        page->setTag(QStringLiteral("A2"));
        usePage(page.get());
        draw = &page->drawing();
        QObject::connect(draw->JoyMonitorVbb, &JoyMonitor::UpdateValue, [this](qint16 &) { ++supplyReadings; });
        // connect as the main window does: open the link, read every page's parameters
        connectLink();
        ASSERT_EQ(session.e2Image.ReadE2All(session.e2Image.AllPagesMask()), QString());
        session.IsConnectObj = ConnectionState::Connected;
    }

    // Waits for a number of whole polling cycles (the supply is read last).
    bool cycles(int n)
    {
        const int target = supplyReadings + n;
        return waitFor([&] { return supplyReadings >= target; }, 10000);
    }

    SimProcess sim;
    std::unique_ptr<FrmMonitor> page;
    MonitorDrawing *draw = nullptr;
    int supplyReadings = 0;
};

TEST_F(MonitorOverSim, HeldJoystickDrivesItsBarCoilAndDigitalInput)
{
    sim.set("joy.0", "90");
    var(KRV_FLOAT_CONFIG_1).QelValueE2 = 0x0100; // float 1 on DI_01, which joystick 1 closes near its end
    page->Activate();
    ASSERT_TRUE(page->TmrMonitor()->isActive());
    ASSERT_TRUE(waitFor([&] { return draw->JoyMonitorVal[0]->Value() == 90; }, 10000));
    ASSERT_TRUE(waitFor([&] { return MonitorDrawing::isLit(draw->lblValveA[0]); }, 10000));
    EXPECT_TRUE(MonitorDrawing::isLit(draw->lblHSDA[0]));
    EXPECT_FALSE(MonitorDrawing::isLit(draw->lblValveB[0]));
    EXPECT_TRUE(MonitorDrawing::isLit(draw->LblFL[0]));
    EXPECT_EQ(draw->LblErr->text(), "READY");
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::MonitorPolling);
    // the supply near 24 V
    EXPECT_NEAR(var(KRV_VBB_400).KrvDisplayValueRAM, 24.0, 1.5);
    // the coil current rises towards the coil's maximum
    ASSERT_TRUE(waitFor([&] { return draw->IMeasure[0]->Value() > 0; }, 10000));

    sim.set("joy.0", "10"); // the other way: coil B
    ASSERT_TRUE(waitFor([&] { return MonitorDrawing::isLit(draw->lblValveB[0]); }, 10000));
    EXPECT_FALSE(MonitorDrawing::isLit(draw->LblFL[0]));
}

TEST_F(MonitorOverSim, RaisedStatusBitShowsNotReady)
{
    page->Activate();
    ASSERT_TRUE(waitFor([&] { return draw->LblErr->text() == "READY"; }, 10000));
    sim.set("fault.KRV_ERROR_CODE", "1");
    ASSERT_TRUE(waitFor([&] { return draw->LblErr->text() == "NOT READY"; }, 10000));
    sim.set("fault.KRV_ERROR_CODE", "64"); // bit 6 alone is still ready
    ASSERT_TRUE(waitFor([&] { return draw->LblErr->text() == "READY"; }, 10000));
}

TEST_F(MonitorOverSim, LeavingThePageStopsPollingAndKeepsTheLink)
{
    page->Activate();
    ASSERT_TRUE(cycles(2));
    page->Deactivate();
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
    ASSERT_TRUE(waitFor([&] { return !page->TmrMonitor()->isActive(); }, 3000));
    EXPECT_FALSE(page->StatusTimerForm());
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
    int32_t word = 0;
    EXPECT_EQ(session.rs232.ReadVar(var(KRV_PROG_VERS).Address, word), QString());
}

TEST_F(MonitorOverSim, SilentControllerEndsPollingAndDropsTheLink)
{
    page->Activate();
    ASSERT_TRUE(cycles(1));
    sim.set("silent", "1");
    ASSERT_TRUE(waitFor([&] { return !page->TmrMonitor()->isActive(); }, 15000));
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_FALSE(session.devLink.isOpen());
    EXPECT_FALSE(page->StatusTimerForm());
}

} // namespace
