// The main window's commands when the line to krv-sim dies in the middle of
// them: one "Operation Failed :FAILED!", the state "not connected", the window
// usable again, and Connect works once the controller is back.
#include "faultrecord.h"
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
        outcome = QStringLiteral("%1 message box(es), the last %2; state %3; window %4, wait window %5")
                      .arg(messages.shown.size())
                      .arg(quoted(messages.lastText()))
                      .arg(state())
                      .arg(window->isEnabled() ? "enabled" : "disabled")
                      .arg(window->waitWindow()->isVisible() ? "shown" : "closed");
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
        outcome += QStringLiteral("; Connect again: state %1, %2 message box(es)").arg(state()).arg(messages.shown.size());
    }

    SimProcess sim;
    QString outcome; // what the test saw, for the fault table
};

} // namespace

TEST_F(ShellLinkFaults, LineDiesDuringTheConnectSequence)
{
    hangUpAfter(2); // in the middle of the reset-marker words
    connectButton();
    expectGivenUp();
    expectReconnect();
    recordFault(QStringLiteral("line hung up during the connect sequence"), outcome);
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
    recordFault(QStringLiteral("line hung up during the Read All command"), outcome);
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
    recordFault(QStringLiteral("line hung up during the Write All command"),
                outcome + QStringLiteral("; Write All again: state %1").arg(state()));
}
