// The main window's commands when the line to krv-sim dies in the middle of
// them: one "Operation Failed :FAILED!", the state "not connected", the window
// usable again, and Connect works once the controller is back.
#include "shellfixture.h"
#include "simprocess.h"

#include "frmwait.h"

#include <QAction>

namespace {

class ShellLinkFaults : public ShellTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        ShellTest::SetUp();
    }

    void connectButton() { window->toolButton(19)->trigger(); }

    // The line hangs up after `requests` more answers, in the middle of a reply.
    void hangUpAfter(int requests) { sim.set(QStringLiteral("disconnect-after"), QString::number(requests)); }

    void expectGivenUp()
    {
        EXPECT_EQ(messageCount(QStringLiteral("Operation Failed :FAILED!")), 1);
        EXPECT_EQ(messages.shown.size(), 1) << messages.lastText().toStdString();
        EXPECT_EQ(state(), ConnectionState::NotConnected);
        EXPECT_TRUE(window->isEnabled());
        EXPECT_FALSE(window->waitWindow()->isVisible());
    }

    void expectReconnect()
    {
        EXPECT_TRUE(sim.waitForExit(3000));
        ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
        sim.clearSettings();
        messages.shown.clear();
        tick();
        connectButton();
        EXPECT_EQ(state(), ConnectionState::Connected) << messages.lastText().toStdString();
        EXPECT_TRUE(messages.shown.isEmpty());
    }

    SimProcess sim;
};

} // namespace

TEST_F(ShellLinkFaults, LineDiesDuringTheConnectSequence)
{
    hangUpAfter(2); // in the middle of the reset-marker words
    connectButton();
    expectGivenUp();
    expectReconnect();
}

TEST_F(ShellLinkFaults, LineDiesDuringReadAll)
{
    connectButton();
    ASSERT_EQ(state(), ConnectionState::Connected);
    tick();
    const int32_t version = var(KRV_PROG_VERS).QelValueE2;
    hangUpAfter(30);
    window->commands().ReadAll();
    expectGivenUp();
    EXPECT_EQ(var(KRV_PROG_VERS).QelValueE2, version);
    expectReconnect();
    EXPECT_EQ(var(KRV_PROG_VERS).QelValueE2, version);
}

TEST_F(ShellLinkFaults, LineDiesDuringWriteAll)
{
    connectButton();
    ASSERT_EQ(state(), ConnectionState::Connected);
    tick();
    hangUpAfter(30);
    window->commands().WriteAll();
    expectGivenUp();
    expectReconnect();
    window->commands().WriteAll();
    EXPECT_EQ(state(), ConnectionState::Connected) << messages.lastText().toStdString();
}
