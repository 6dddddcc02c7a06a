// The main window's commands when the line to krv-sim dies in the middle of
// them: one "Operation Failed :FAILED!" (with where a transfer stopped), the
// state "not connected", the window usable again, and Connect works once the
// controller is back. A read that stops puts back what memory, screen and
// Save had; a write that stops says the unit holds a mix. Each case runs with
// a controller that takes block commands and with one that does not.
#include "linkmodes.h"
#include "faultrecord.h"
#include "shellfixture.h"
#include "simprocess.h"

#include "frmwait.h"

#include <QAction>
#include <QRegularExpression>

namespace {

class ShellLinkFaults : public ShellTest, public ::testing::WithParamInterface<bool>
{
protected:
    bool blocks() const { return GetParam(); }
    // Accesses of a transfer answered before the hang-up: entries, or runs of them.
    int transferAccesses() const { return blocks() ? 2 : 30; }
    // Entries moved by those accesses, as the stop line counts them.
    void expectDoneBefore(int done, int accesses)
    {
        if (blocks())
            EXPECT_GT(done, accesses) << "whole runs were moved";
        else
            EXPECT_EQ(done, accesses);
    }

    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        ShellTest::SetUp();
    }

    void connectButton() { window->toolButton(19)->trigger(); }

    // The line hangs up after `requests` more answers, in the middle of a reply.
    void hangUpAfter(int requests) { sim.set(QStringLiteral("disconnect-after"), QString::number(requests)); }

    // `stop`: the pattern of the line that says where a transfer stopped, if one did.
    void expectGivenUp(const QString &stop = QString())
    {
        ASSERT_EQ(messages.shown.size(), 1) << messages.lastText().toStdString();
        // the link's cause of the failure, when it knows one, comes on the second line
        const QString failed = QStringLiteral("^Operation Failed :FAILED!(?:\r[^\r]+)?");
        if (stop.isEmpty()) {
            EXPECT_TRUE(QRegularExpression(failed + QLatin1Char('$')).match(messages.lastText()).hasMatch())
                << messages.lastText().toStdString();
        } else {
            stopLine = QRegularExpression(failed + QStringLiteral("\r(") + stop + QStringLiteral(")$"))
                           .match(messages.lastText());
            EXPECT_TRUE(stopLine.hasMatch()) << messages.lastText().toStdString();
            EXPECT_EQ(session.StatusText, stopLine.captured(1));
        }
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

    // The configuration file Save writes now.
    QByteArray saved(const QString &name)
    {
        const QString path = folder.file(name);
        dialogs.answers.push_back(path);
        commands().Save();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The maximum current of coil 1A as the configuration page shows it.
    QString coil1AMaxOnScreen() const
    {
        const QWidget *section = window->findChild<QWidget *>(QStringLiteral("MagA_0"));
        const QLineEdit *box = section ? section->findChild<QLineEdit *>(QStringLiteral("txtTMax")) : nullptr;
        return box ? box->text() : QStringLiteral("(no box)");
    }

    SimProcess sim{SimProcess::withBlocks(GetParam())};
    QString outcome; // what the test saw, for the fault table
    QRegularExpressionMatch stopLine; // 1 the whole line, then the pattern's own captures
};

const QString ReadStopped = QStringLiteral("Read stopped at (\\S+) \\((\\d+) of (\\d+) read\\): the values from before the "
                                           "read are kept\\.");
const QString WriteStopped = QStringLiteral("Write stopped at (\\S+) \\((\\d+) of (\\d+) written\\): the control unit now "
                                            "holds a mix of old and new values\\.");

} // namespace

TEST_P(ShellLinkFaults, LineDiesDuringTheConnectSequence)
{
    hangUpAfter(2); // in the middle of the reset-marker words
    connectButton();
    expectGivenUp();
    expectReconnect();
    recordFault(QStringLiteral("line hung up during the connect sequence"), outcome);
}

TEST_P(ShellLinkFaults, LineDiesDuringTheConnectReadAllPutsBackWhatWasThere)
{
    connectButton();
    ASSERT_EQ(state(), ConnectionState::Connected);
    tick();
    connectButton(); // disconnect: the values stay in memory
    ASSERT_EQ(state(), ConnectionState::NotConnected);
    // the unit of the last session, and an edit not written to it
    session.catalogue.entry(KRV_PROG_VERS)->ReadE2FromQEL(1);
    session.catalogue.entry(KRV_NUM_DIGIT)->KRVSetVar(3);
    const Catalogue::E2Snapshot before = session.catalogue.saveE2Values();
    messages.shown.clear();

    // (the block probe,) marker words, version, then ten entries or two runs of the read-all
    const int readAccesses = blocks() ? 2 : 10;
    hangUpAfter((blocks() ? 1 : 0) + 5 + 1 + readAccesses);
    connectButton();
    expectGivenUp(ReadStopped);
    expectDoneBefore(stopLine.captured(3).toInt(), readAccesses);
    EXPECT_EQ(var(KRV_PROG_VERS).QelValueE2, 1);
    EXPECT_EQ(var(KRV_NUM_DIGIT).KrvDownloadValueE2, 3);
    int differ = 0;
    const Catalogue::E2Snapshot after = session.catalogue.saveE2Values();
    for (size_t i = 1; i < before.size(); ++i) {
        differ += before[i].qel != after[i].qel || before[i].download != after[i].download
                  || before[i].display != after[i].display;
    }
    EXPECT_EQ(differ, 0);
    recordFault(QStringLiteral("line hung up during the read-all of Connect"),
                outcome + QStringLiteral("; %1 entries differ from before the connect").arg(differ));
}

TEST_P(ShellLinkFaults, LineDiesDuringReadAllAndMemoryScreenAndSaveAgree)
{
    connectButton();
    ASSERT_EQ(state(), ConnectionState::Connected);
    tick();
    const int32_t version = var(KRV_PROG_VERS).QelValueE2;
    // an edit on screen, and a unit changed behind the program's back: the
    // read would take both over within its first accesses
    CVarDataS &onOff = var(KRV_NUM_PROP_REGNOT);
    const int32_t onOffBefore = onOff.QelValueE2;
    ASSERT_EQ(session.rs232.WriteVar(onOff.Address, onOffBefore == 2 ? 1 : 2), QString());
    const int32_t edited = var(KRV_I0_MAX).KrvDisplayValueE2 == 900 ? 910 : 900;
    window->findChild<QWidget *>(QStringLiteral("MagA_0"))
        ->findChild<QLineEdit *>(QStringLiteral("txtTMax"))
        ->setText(QString::number(edited));
    ASSERT_EQ(var(KRV_I0_MAX).KrvDisplayValueE2, edited);
    const QByteArray before = saved(QStringLiteral("before.txt"));
    ASSERT_FALSE(before.isEmpty());
    messages.shown.clear();

    hangUpAfter(transferAccesses());
    window->commands().ReadAll();
    expectGivenUp(ReadStopped);
    expectDoneBefore(stopLine.captured(3).toInt(), transferAccesses());
    EXPECT_EQ(var(KRV_PROG_VERS).QelValueE2, version);
    EXPECT_EQ(onOff.QelValueE2, onOffBefore);
    EXPECT_EQ(var(KRV_I0_MAX).KrvDisplayValueE2, edited);
    EXPECT_EQ(coil1AMaxOnScreen(), QString::number(edited));
    EXPECT_EQ(saved(QStringLiteral("after.txt")), before);
    expectReconnect();
    EXPECT_EQ(var(KRV_PROG_VERS).QelValueE2, version);
    recordFault(QStringLiteral("line hung up during the Read All command"),
                outcome + QStringLiteral("; memory, screen and Save as before the read"));
}

TEST_P(ShellLinkFaults, LineDiesDuringWriteAllAndSaysTheUnitHoldsAMix)
{
    connectButton();
    ASSERT_EQ(state(), ConnectionState::Connected);
    tick();
    // one edit early in the write, one late
    const int16_t mask = session.e2Image.AllPagesWriteMask();
    int late = 0;
    for (int i = session.catalogue.VarCount - 1; i > 0 && late == 0; --i) {
        if (session.e2Image.writeSelects(mask, i) && session.e2Image.qualifiesForTransfer(i))
            late = i;
    }
    CVarDataS &lateVar = *session.catalogue.data(late);
    const int32_t lateBefore = lateVar.QelValueE2;
    lateVar.KrvDownloadValueE2 = lateBefore == lateVar.QelValE2Min ? lateBefore + 1 : lateVar.QelValE2Min;
    const int32_t digits = var(KRV_NUM_DIGIT).QelValueE2 == 3 ? 4 : 3;
    session.catalogue.entry(KRV_NUM_DIGIT)->KRVSetVar(digits);
    tick();
    ASSERT_EQ(fileBox(), QStringLiteral("FILE TO SAVE"));

    hangUpAfter(transferAccesses());
    window->commands().WriteAll();
    expectGivenUp(WriteStopped);
    expectDoneBefore(stopLine.captured(3).toInt(), transferAccesses());
    EXPECT_GT(stopLine.captured(4).toInt(), stopLine.captured(3).toInt());
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("FILE TO SAVE"));
    // sent and recorded; not sent and not recorded
    EXPECT_EQ(var(KRV_NUM_DIGIT).QelValueE2, digits);
    EXPECT_EQ(lateVar.QelValueE2, lateBefore);

    messages.answers.push_back(MessageService::Answer::Yes); // connect despite the unsaved file
    EXPECT_TRUE(sim.waitForExit(3000));
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    sim.clearSettings();
    messages.shown.clear();
    connectButton();
    ASSERT_EQ(state(), ConnectionState::Connected) << messages.lastText().toStdString();
    EXPECT_EQ(var(KRV_NUM_DIGIT).QelValueE2, digits) << "the unit holds the new value sent";
    EXPECT_EQ(lateVar.QelValueE2, lateBefore) << "and the old value of the entry never sent";
    window->commands().WriteAll();
    EXPECT_EQ(state(), ConnectionState::Connected) << messages.lastText().toStdString();
    recordFault(QStringLiteral("line hung up during the Write All command"),
                outcome + QStringLiteral("; the unit holds the new value before the stop and the old one after"));
}

INSTANTIATE_TEST_SUITE_P(Modes, ShellLinkFaults, ::testing::Bool(), linkModeName);
