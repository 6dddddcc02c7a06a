// The debugger's monitor when krv-sim goes away between two of its reads:
// the monitor stops with "Operation Failed :FAILED!" and the lost line as
// its cause, the state is "not connected", the catalogue keeps the last word
// that arrived, and the next command connects again.
#include "faultrecord.h"
#include "pagetestbed.h"
#include "simprocess.h"

#include "frmdebug.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int VbbLive = 128; // 0040.30, live supply voltage

QPushButton *button(QWidget *page, const char *name)
{
    auto *b = page->findChild<QPushButton *>(QLatin1String(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

} // namespace

TEST(LinkFaultsPages, SimulatorKilledDuringTheDebuggerMonitor)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
    PageTestBed bed{true};
    ASSERT_GT(bed.session.catalogue.VarCount, VbbLive);
    bed.session.IsConnectObj = ConnectionState::Connected;
    FrmDebug page(bed.context());
    page.findChild<QComboBox *>(QStringLiteral("cmbVariablesList"))->setCurrentIndex(VbbLive);

    button(&page, "cmdMonitor")->click();
    ASSERT_TRUE(page.tmrDebug()->isActive());
    PageTestBed::runEvents(300);
    const int32_t lastGood = bed.session.catalogue.data(VbbLive)->QelValueRAM;
    EXPECT_GT(lastGood, 0) << "the monitor read the supply";

    sim.stop();
    PageTestBed::runEvents(1500);
    EXPECT_FALSE(page.tmrDebug()->isActive());
    EXPECT_FALSE(page.StatusTimerForm());
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.shown[0].text,
              QStringLiteral("Operation Failed :FAILED!\rthe line to the control unit is lost"));
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_EQ(bed.session.catalogue.data(VbbLive)->QelValueRAM, lastGood) << "nothing taken from a dead line";
    EXPECT_TRUE(button(&page, "cmdRead")->isEnabled());
    const QString given = QStringLiteral("monitor timer %1, message %2, state %3, last reading %4")
                              .arg(page.tmrDebug()->isActive() ? "running" : "stopped")
                              .arg(quoted(bed.messages.lastText()))
                              .arg(bed.session.IsConnectObj.value())
                              .arg(bed.session.catalogue.data(VbbLive)->QelValueRAM == lastGood ? "kept" : "changed");

    // the controller is back: the next command opens the link again
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    bed.messages.shown.clear();
    button(&page, "cmdDisplay")->click();
    EXPECT_TRUE(bed.messages.shown.isEmpty()) << bed.messages.lastText().toStdString();
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);
    const int32_t again = bed.session.catalogue.data(VbbLive)->QelValueRAM;
    EXPECT_NEAR(again, lastGood, lastGood / 10) << "the supply read again";
    recordFault(QStringLiteral("controller killed during the debugger monitor"),
                given + QStringLiteral("; next command: state %1, supply read %2 (was %3)")
                            .arg(bed.session.IsConnectObj.value())
                            .arg(again)
                            .arg(lastGood));
}
