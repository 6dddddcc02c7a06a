// The polling pages in the real main window when krv-sim goes away in the
// middle of one of their read cycles: the polling stops once, without a
// message box; every live value on the page shows at once that it is stale;
// the next draw tick shows "Link Lost"; the catalogue keeps what it held
// before the failed read; no busy flag is left set to hold off the other
// pages; and after Connect the page polls fresh values again. And an exit
// while the monitor polls ends at once.
#include "linkmodes.h"
#include "faultrecord.h"
#include "shellfixture.h"
#include "simprocess.h"
#include "waituntil.h"

#include "diagnosticerror.h"
#include "frmdiagnostic.h"
#include "frmmonitor.h"
#include "joymonitor.h"
#include "mainstatusbar.h"
#include "monitordrawing.h"
#include "pagepoller.h"
#include "shapewidget.h"
#include "vbcolor.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <tuple>

namespace {

constexpr int MonitorTab = 2;
constexpr int DiagnosticTab = 3;

// Every value field of every catalogue entry.
using Values = QList<std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, double>>;

// Each case runs with a controller that takes block commands and with one that does not.
class PollingLinkFaults : public ShellTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        pages.standIns = false;
        ShellTest::SetUp();
        monitor = window->findChild<FrmMonitor *>();
        diagnostic = window->findChild<FrmDiagnostic *>();
        ASSERT_NE(monitor, nullptr);
        ASSERT_NE(diagnostic, nullptr);
        QObject::connect(&monitor->poller(), &PagePoller::pollFailed, [this] { ++monitorFailures; });
        QObject::connect(&diagnostic->poller(), &PagePoller::pollFailed, [this] { ++diagnosticFailures; });
    }

    void connectButton()
    {
        window->toolButton(19)->trigger();
        ASSERT_EQ(state(), ConnectionState::Connected) << messages.lastText().toStdString();
        messages.shown.clear();
    }

    Values values() const
    {
        Values out;
        const Catalogue &c = session.catalogue;
        for (int i = 1; i < c.VarCount; ++i) {
            const CVarDataS *d = c.data(i);
            out.append({d->QelValueE2, d->QelValueRAM, d->KrvDownloadValueE2, d->KrvDownloadValueRAM,
                        d->KrvDisplayValueE2, d->KrvDisplayValueRAM});
        }
        return out;
    }

    template <typename Condition>
    static bool waitFor(Condition condition, int milliseconds = 10000) { return waitUntil(condition, milliseconds); }

    // The simulator dies at the next `signal` of `sender` (inside a read
    // cycle); the catalogue as it stood at that moment is kept in `atKill`.
    template <typename Sender, typename Signal>
    void killAtNext(Sender *sender, Signal signal)
    {
        killed = false;
        auto link = std::make_shared<QMetaObject::Connection>();
        *link = QObject::connect(sender, signal, [this, link] {
            QObject::disconnect(*link);
            EXPECT_TRUE(inCycle()) << "the kill falls inside a read cycle";
            atKill = values();
            sim.stop();
            killed = true;
        });
    }

    bool inCycle() const { return monitor->poller().inCycle() || diagnostic->poller().inCycle(); }

    // What the user sees once the poll has given up, and what is left running.
    void expectGivenUp(PollingPage *page, const int &failures)
    {
        EXPECT_FALSE(page->poller().timerEnabled());
        EXPECT_FALSE(monitor->StatusTimerForm()) << "a busy flag left set would hold off every poll";
        EXPECT_FALSE(diagnostic->StatusTimerForm());
        EXPECT_EQ(state(), ConnectionState::NotConnected);
        EXPECT_FALSE(session.devLink.isOpen());
        // a failed read leaves the catalogue as it was
        const Values now = values();
        ASSERT_EQ(now.size(), atKill.size());
        int changed = 0;
        for (int i = 0; i < now.size(); ++i) {
            EXPECT_EQ(now[i], atKill[i]) << session.catalogue.data(i + 1)->Name.toStdString();
            changed += now[i] != atKill[i] ? 1 : 0;
        }

        // the program goes on: draw ticks run, the dead line is not tried again
        const int ticksBefore = drawTicks;
        EXPECT_TRUE(waitFor([&] { return drawTicks >= ticksBefore + 2; }, 5000));
        EXPECT_EQ(failures, 1);
        EXPECT_TRUE(messages.shown.isEmpty()) << messages.lastText().toStdString();
        EXPECT_EQ(window->TxtConnect()->text(), QStringLiteral("Link Lost"));
        EXPECT_EQ(session.StatusText, QStringLiteral("Link Lost :FAILED!"));
        EXPECT_EQ(window->mainStatusBar()->panelIcon(1), StateIcon::Red);
        EXPECT_EQ(window->menuItem(QStringLiteral("mnuHW_Connect"))->text(), QStringLiteral("Connect"));
        EXPECT_TRUE(window->menuItem(QStringLiteral("mnuHW_Connect"))->isEnabled());
        EXPECT_TRUE(window->isEnabled());
        outcome = QStringLiteral("polling stopped after %1 failed cycle(s), state %2, next draw tick shows %3, "
                                 "%4 message box(es), busy flags %5, %6 catalogue entries changed")
                      .arg(failures)
                      .arg(state())
                      .arg(quoted(window->TxtConnect()->text()))
                      .arg(messages.shown.size())
                      .arg(monitor->StatusTimerForm() || diagnostic->StatusTimerForm() ? "left set" : "clear")
                      .arg(changed);
    }

    // A new simulator (on a pseudo-terminal whose path the system may hand out
    // again), reached through the same COM port.
    void reconnect()
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        connectButton();
    }

    void countDrawTicks()
    {
        auto *timer = window->findChild<QTimer *>(QStringLiteral("TmrDraw"));
        ASSERT_NE(timer, nullptr);
        QObject::connect(timer, &QTimer::timeout, [this] { ++drawTicks; });
    }

    // What a monitor control shows: its text and how far its bar is filled.
    static QString shown(const JoyMonitor *control)
    {
        return control->findChild<QLabel *>(QStringLiteral("lblInputValue"))->text();
    }
    static int filled(const JoyMonitor *control)
    {
        const auto *bar = control->findChild<QProgressBar *>(QStringLiteral("ProgressBar"));
        return bar->value() - bar->minimum();
    }

    // Every live value of the monitor marked stale: no number, no bar, no lamp lit.
    void expectMonitorStale()
    {
        const MonitorDrawing &draw = monitor->drawing();
        for (const JoyMonitor *control : draw.monitors()) {
            if (!control->MonitorEnable())
                continue;
            EXPECT_EQ(shown(control), QStringLiteral("---")) << control->objectName().toStdString();
            EXPECT_EQ(filled(control), 0) << control->objectName().toStdString();
        }
        EXPECT_EQ(draw.LblErr->text(), QStringLiteral("---"));
        EXPECT_EQ(draw.ShpErr->fillColor(), VbColor::ButtonFace);
        QList<QLabel *> lamps = draw.digitalInputLabels();
        for (int k = 0; k < MonitorDrawing::Sections; ++k)
            lamps << draw.lblValveA[k] << draw.lblValveB[k] << draw.lblHSDA[k] << draw.lblHSDB[k];
        for (const QLabel *lamp : lamps)
            EXPECT_TRUE(MonitorDrawing::isStale(lamp)) << lamp->objectName().toStdString();
    }

    // The monitor is polling with the exit path held as it is between two
    // cycles or, with `insideCycle`, in the middle of one; the time from the
    // user's Exit to the windows unloaded, in ms.
    qint64 exitWhileMonitorPolls(bool insideCycle)
    {
        connectButton();
        window->selectTab(MonitorTab);
        EXPECT_TRUE(waitFor([&] { return monitor->drawing().JoyMonitorVal[0]->Value() == 30; }));
        EXPECT_TRUE(monitor->StatusTimerForm()) << "busy from one cycle to the next";
        QElapsedTimer clock;
        const auto exit = [&] {
            clock.start();
            window->menuItem(QStringLiteral("mnuFile_Exit"))->trigger();
        };
        auto link = std::make_shared<QMetaObject::Connection>();
        if (insideCycle) {
            *link = QObject::connect(monitor->drawing().JoyMonitorVal[0], &JoyMonitor::UpdateValue, [&, link] {
                QObject::disconnect(*link);
                EXPECT_TRUE(monitor->poller().inCycle());
                exit();
            });
        } else {
            EXPECT_FALSE(monitor->poller().inCycle());
            exit();
        }
        EXPECT_TRUE(waitFor([&] { return window->windowsUnloaded(); }, 10000));
        const qint64 elapsed = clock.elapsed();
        QObject::disconnect(*link);
        EXPECT_FALSE(window->programEnded()) << "ended by the exit routine, not forced after eight refusals";
        EXPECT_FALSE(monitor->TmrMonitor()->isActive());
        EXPECT_FALSE(monitor->StatusTimerForm());
        EXPECT_FALSE(window->isVisible());
        std::printf("exit while the monitor polls (%s): %lld ms, %d attempt(s)\n",
                    insideCycle ? "inside a cycle" : "between cycles", static_cast<long long>(elapsed),
                    session.draw.exitAttempts());
        return elapsed;
    }

    QStringList listed() const
    {
        QStringList texts;
        for (int i = 0; i < diagnostic->ListView1()->topLevelItemCount(); ++i)
            texts << diagnostic->ListView1()->topLevelItem(i)->text(0);
        return texts;
    }

    SimProcess sim{SimProcess::withBlocks(GetParam())};
    FrmMonitor *monitor = nullptr;
    FrmDiagnostic *diagnostic = nullptr;
    int monitorFailures = 0;
    int diagnosticFailures = 0;
    int drawTicks = 0;
    bool killed = false;
    Values atKill;
    QString outcome; // what the test saw, for the fault table
};

} // namespace

TEST_P(PollingLinkFaults, SimulatorKilledInTheMiddleOfAMonitorCycle)
{
    countDrawTicks();
    sim.set("joy.0", "30");
    connectButton();
    ASSERT_GE(var(KRV_NUM_PROP_REG).QelValueE2, 2) << "the kill must fall between two joystick reads";
    window->selectTab(MonitorTab);
    MonitorDrawing &draw = monitor->drawing();
    ASSERT_TRUE(monitor->TmrMonitor()->isActive());
    ASSERT_TRUE(waitFor([&] { return draw.JoyMonitorVal[0]->Value() == 30; }));
    const int32_t firstJoystick = var(KRV_JOY0_VALUE).QelValueRAM;

    // joystick 1 is the first control of a cycle: its reading is taken, the
    // next read (joystick 2) finds the line dead; with blocks the joysticks
    // come in one run, so the kill follows the last of them and the next run
    // finds the line dead
    const int lastJoystick = GetParam() ? var(KRV_NUM_PROP_REG).QelValueE2 - 1 : 0;
    killAtNext(draw.JoyMonitorVal[lastJoystick], &JoyMonitor::UpdateValue);
    ASSERT_TRUE(waitFor([&] { return killed; }));
    ASSERT_TRUE(waitFor([&] { return !monitor->TmrMonitor()->isActive(); }, 5000));
    expectGivenUp(monitor, monitorFailures);
    EXPECT_EQ(var(KRV_JOY0_VALUE).QelValueRAM, firstJoystick);
    expectMonitorStale();

    // another page does not wait on a poll that has ended
    window->selectTab(DiagnosticTab);
    EXPECT_FALSE(diagnostic->poller().timerEnabled()) << "not connected: no polling";
    window->selectTab(MonitorTab);
    EXPECT_FALSE(monitor->TmrMonitor()->isActive());
    expectMonitorStale(); // coming back does not show the old readings as live

    sim.set("joy.0", "70");
    reconnect();
    window->selectTab(MonitorTab);
    ASSERT_TRUE(monitor->TmrMonitor()->isActive());
    ASSERT_TRUE(waitFor([&] { return draw.JoyMonitorVal[0]->Value() == 70; }));
    EXPECT_NE(var(KRV_JOY0_VALUE).QelValueRAM, firstJoystick) << "fresh values in the catalogue";
    EXPECT_EQ(state(), ConnectionState::MonitorPolling);
    EXPECT_EQ(shown(draw.JoyMonitorVal[0]), QStringLiteral("70"));
    EXPECT_GT(filled(draw.JoyMonitorVal[0]), 0);
    ASSERT_TRUE(waitFor([&] { return draw.LblErr->text() == QStringLiteral("READY"); }));
    const int ticksBefore = drawTicks;
    ASSERT_TRUE(waitFor([&] { return drawTicks > ticksBefore; }, 5000));
    EXPECT_EQ(window->TxtConnect()->text(), QStringLiteral("Monitor..."));
    EXPECT_EQ(monitorFailures, 1);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.lastText().toStdString();
    recordFault(QStringLiteral("controller killed in the middle of a monitor cycle"),
                outcome + QStringLiteral("; Connect again: state %1, joystick 1 shows %2 (held at 70)")
                              .arg(state())
                              .arg(draw.JoyMonitorVal[0]->Value()));
}

TEST_P(PollingLinkFaults, SimulatorKilledInTheMiddleOfADiagnosticsCycle)
{
    countDrawTicks();
    connectButton();
    window->selectTab(DiagnosticTab);
    diagnostic->row(3)->setEnable(true); // rows 3, 5 and 6 are polled, in that order
    ASSERT_TRUE(diagnostic->TimerDiagnostic()->isActive());
    sim.set("fault.KRV_ERROR_SEC_3", "2");
    ASSERT_TRUE(waitFor([&] { return listed() == QStringList{"2 - Section 3"}; })) << listed().join(", ").toStdString();
    ASSERT_EQ(state(), ConnectionState::DiagnosticPolling);

    // the change of row 3 comes with the first read of a cycle; the next read
    // (row 5) finds the line dead, so the section 3 error stays listed
    killAtNext(diagnostic->row(3), &DiagnosticError::UpdateErrorMessage);
    sim.set("fault.KRV_ERROR_SEC_1", "5");
    sim.unset("fault.KRV_ERROR_SEC_3");
    ASSERT_TRUE(waitFor([&] { return killed; }));
    ASSERT_TRUE(waitFor([&] { return !diagnostic->TimerDiagnostic()->isActive(); }, 5000));
    expectGivenUp(diagnostic, diagnosticFailures);
    // no error word is known any more: nothing listed, no lamp red or clear
    EXPECT_EQ(listed(), QStringList());
    for (int row : {3, 5, 6})
        for (int bit = 0; bit < DiagnosticError::BitCount; ++bit)
            EXPECT_EQ(diagnostic->row(row)->findChild<ShapeWidget *>(QStringLiteral("shpBit_%1").arg(bit))->fillColor(),
                      VbColor::ButtonFace)
                << row << "/" << bit;

    // back on the monitor, nothing waits on the diagnostics poll that died
    reconnect();
    sim.set("joy.0", "60");
    window->selectTab(MonitorTab);
    ASSERT_TRUE(waitFor([&] { return monitor->drawing().JoyMonitorVal[0]->Value() == 60; }));

    // and the diagnostics page polls fresh words again
    sim.set("fault.KRV_ERROR_SEC_1", "4");
    window->selectTab(DiagnosticTab);
    ASSERT_TRUE(waitFor([&] { return listed() == QStringList{"4 - Section 1"}; })) << listed().join(", ").toStdString();
    EXPECT_EQ(state(), ConnectionState::DiagnosticPolling);
    EXPECT_EQ(diagnosticFailures, 1);
    EXPECT_EQ(monitorFailures, 0);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.lastText().toStdString();
    recordFault(QStringLiteral("controller killed in the middle of a diagnostics cycle"),
                outcome + QStringLiteral("; Connect again: the monitor polls, then the diagnostics list shows %1, state %2")
                              .arg(quoted(listed().join(QStringLiteral(", "))))
                              .arg(state()));
}

TEST_P(PollingLinkFaults, ExitBetweenTwoMonitorCyclesEndsWithinHalfASecond)
{
    sim.set("joy.0", "30");
    EXPECT_LT(exitWhileMonitorPolls(false), 500);
}

TEST_P(PollingLinkFaults, ExitInTheMiddleOfAMonitorCycleEndsWithinHalfASecond)
{
    sim.set("joy.0", "30");
    EXPECT_LT(exitWhileMonitorPolls(true), 500);
}

// A click, a page switch and timer ticks that arrive while a monitor cycle
// reads, and the same plus a close while a Read All reads: no second user
// gets the link, the Read All clicked during the cycle runs whole once the
// cycle has returned, the one clicked during the transfer is refused, the
// values shown are the values read, and the windows are gone at once.
TEST_P(PollingLinkFaults, EventsDuringATransferOrAMonitorCycleNeverReEnter)
{
    LinkWatch &link = components.watch;
    int deepest = 0;          // most users of the link seen at one access
    int transferAccesses = 0; // a whole-set transfer disables the main window for its length
    link.onAccess = [&] {
        const bool transfer = !window->isEnabled();
        transferAccesses += transfer ? 1 : 0;
        deepest = std::max(deepest, int(transfer) + int(monitor->poller().inCycle())
                                        + int(diagnostic->poller().inCycle()));
    };
    // handled the next time the program lets events run
    const auto arriveLater = [this](int tab, bool close, qint64 *closeMs) {
        QTimer::singleShot(0, window.get(), [this, tab, close, closeMs] {
            commands().buttonClicked(QStringLiteral("Read All"));
            window->selectTab(tab);
            monitor->poller().tick();
            diagnostic->poller().tick();
            if (!close)
                return;
            QElapsedTimer clock;
            clock.start();
            window->menuItem(QStringLiteral("mnuFile_Exit"))->trigger();
            EXPECT_TRUE(window->windowsUnloaded());
            *closeMs = clock.elapsed();
        });
    };

    sim.set("joy.0", "30");
    connectButton();
    window->selectTab(MonitorTab);
    MonitorDrawing &draw = monitor->drawing();
    ASSERT_TRUE(waitFor([&] { return draw.JoyMonitorVal[0]->Value() == 30; }));
    int before = transferAccesses;
    commands().buttonClicked(QStringLiteral("Read All")); // between two cycles: at once
    const int wholeReadAll = transferAccesses - before;
    ASSERT_GT(wholeReadAll, 2);

    // during a monitor cycle
    sim.set("joy.0", "55");
    bool arrived = false;
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(draw.JoyMonitorVal[0], &JoyMonitor::UpdateValue, [&, once] {
        QObject::disconnect(*once);
        EXPECT_TRUE(monitor->poller().inCycle());
        arriveLater(DiagnosticTab, false, nullptr);
        arrived = true;
    });
    before = transferAccesses;
    ASSERT_TRUE(waitFor([&] { return arrived; }));
    ASSERT_TRUE(waitFor([&] { return transferAccesses - before == wholeReadAll && window->isEnabled(); }));
    EXPECT_EQ(draw.JoyMonitorVal[0]->Value(), 55);
    EXPECT_EQ(draw.JoyMonitorVal[0]->Value(), var(KRV_JOY0_VALUE).KrvDisplayValueRAM) << "shown as read";
    ASSERT_TRUE(waitFor([&] { return state() == ConnectionState::DiagnosticPolling; }));
    EXPECT_TRUE(waitFor([&] { return !monitor->TmrMonitor()->isActive(); })) << "the left page stops";

    // during a Read All, with a close
    qint64 closeMs = -1;
    before = transferAccesses;
    link.onAccess = [&, inner = link.onAccess] {
        inner();
        if (transferAccesses - before == wholeReadAll / 2)
            arriveLater(MonitorTab, true, &closeMs);
    };
    commands().buttonClicked(QStringLiteral("Read All"));
    EXPECT_EQ(transferAccesses - before, wholeReadAll) << "one whole Read All, the second click refused";
    EXPECT_TRUE(window->windowsUnloaded());
    EXPECT_GE(closeMs, 0);
    EXPECT_LT(closeMs, 500);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(link.mostInFlight, 1);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.lastText().toStdString();
    std::printf("link users at once: %d, accesses in flight at once: %d, Read All of %d accesses, close to windows "
                "gone: %lld ms\n",
                deepest, link.mostInFlight, wholeReadAll, static_cast<long long>(closeMs));
}

INSTANTIATE_TEST_SUITE_P(Modes, PollingLinkFaults, ::testing::Bool(), linkModeName);
