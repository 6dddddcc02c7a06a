// The diagnostics page against the in-memory controller: the list file, the
// rows, the option groups, polling, the active error list, and the busy flags
// it shares with the monitor page.
#include "activeerrorlist.h"
#include "diagnosticerror.h"
#include "frmdiagnostic.h"
#include "frmmonitor.h"
#include "pagefixture.h"
#include "pagepoller.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

namespace {

class DiagnosticTest : public PageFixture
{
protected:
    void SetUp() override
    {
        loadShippedList();
        var(KRV_NUM_PROP_REG).KrvDisplayValueE2 = 4;
        page = std::make_unique<FrmDiagnostic>(context);
        page->setTag(QStringLiteral("A3"));
        usePage(page.get());
    }

    void connectAndActivate()
    {
        connectLink();
        session.IsConnectObj = ConnectionState::Connected;
        page->Activate();
    }

    void tick() { page->poller().tick(); }

    QString bitCaption(int row, int bit) const
    {
        return page->row(row)->findChild<QLabel *>(QStringLiteral("lblErrorBit_%1").arg(bit))->text();
    }

    QStringList listed() const
    {
        QStringList texts;
        for (int i = 0; i < page->ListView1()->topLevelItemCount(); ++i)
            texts << page->ListView1()->topLevelItem(i)->text(0);
        return texts;
    }

    bool selected(FrmDiagnostic::OptionGroup g, int i) const { return page->option(g, i)->isChecked(); }

    std::unique_ptr<FrmDiagnostic> page;
};

TEST_F(DiagnosticTest, RowsAreBoundToTheErrorWordsWithTheirDescriptions)
{
    const KrvId words[] = {KRV_ERROR_CODE,  KRV_VBB_ERROR,   KRV_HSD_ERROR,  KRV_ERROR_SEC_1,
                           KRV_ERROR_SEC_2, KRV_ERROR_SEC_3, KRV_ERROR_SEC_4};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(page->row(i)->VarID(), session.catalogue.index(words[i])) << i;
        EXPECT_FALSE(page->row(i)->isHidden());
        EXPECT_EQ(page->row(i)->MsgID(), i);
        EXPECT_EQ(page->row(i)->findChild<QGroupBox *>("FrameDiagnostic")->title(), var(words[i]).MonitorName);
    }
    for (int i = 7; i < 11; ++i)
        EXPECT_TRUE(page->row(i)->isHidden()) << i;
    // only the last two bound rows are polled from the start
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(page->row(i)->Enable(), i == 5 || i == 6) << i;

    EXPECT_EQ(bitCaption(3, 0), "Coil 1A open");
    EXPECT_EQ(bitCaption(0, 7), "Overtemperature");
    EXPECT_EQ(bitCaption(1, 6), ""); // no entry for that bit
    EXPECT_EQ(page->diagnosticList().rowCount(), 11);
    EXPECT_EQ(page->row(10)->MsgID(), 10);
}

TEST_F(DiagnosticTest, ListWithOnlyItsHeaderGivesNoDescriptions)
{
    const QString path = folder.write("DiagnosticList.ini", "Row\tBit\tNumber\tCode\r\n");
    FrmDiagnostic empty(context, nullptr, path);
    EXPECT_EQ(empty.diagnosticList().rowCount(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(empty.row(0)->findChild<QLabel *>("lblErrorBit_0")->text(), "------");
    EXPECT_EQ(empty.row(3)->MsgID(), 0);
}

TEST_F(DiagnosticTest, MissingOrDamagedListIsReported)
{
    FrmDiagnostic missing(context, nullptr, folder.path("none.ini"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), "'Diagnostic.ini' file NOT FOUND or CORRUPTED");
    EXPECT_EQ(missing.diagnosticList().rowCount(), 0);

    const QString bad = folder.write("bad.ini", "Header\r\n0\t0\t100\tA\r\n12\t0\t1\tB\r\n");
    FrmDiagnostic damaged(context, nullptr, bad);
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(damaged.diagnosticList().rowCount(), 0);
}

TEST_F(DiagnosticTest, OptionGroupsFollowTheSectionCount)
{
    var(KRV_NUM_PROP_REG).KrvDisplayValueE2 = 2;
    page->DrawOptSelct();
    for (auto g : {FrmDiagnostic::Joystick, FrmDiagnostic::Current, FrmDiagnostic::Setpoint}) {
        EXPECT_TRUE(page->option(g, 0)->isEnabled());
        EXPECT_TRUE(page->option(g, 1)->isEnabled());
        EXPECT_FALSE(page->option(g, 2)->isEnabled());
        EXPECT_FALSE(page->option(g, 3)->isEnabled());
        EXPECT_TRUE(selected(g, 0));
    }

    // a selection that stays enabled is kept
    page->option(FrmDiagnostic::Current, 1)->setChecked(true);
    page->DrawOptSelct();
    EXPECT_TRUE(selected(FrmDiagnostic::Current, 1));
    EXPECT_FALSE(selected(FrmDiagnostic::Current, 0));

    // a selected button that becomes disabled is dropped; item 0 takes over
    var(KRV_NUM_PROP_REG).KrvDisplayValueE2 = 3;
    page->DrawOptSelct();
    page->option(FrmDiagnostic::Setpoint, 2)->setChecked(true);
    var(KRV_NUM_PROP_REG).KrvDisplayValueE2 = 2;
    page->DrawOptSelct();
    EXPECT_FALSE(selected(FrmDiagnostic::Setpoint, 2));
    EXPECT_TRUE(selected(FrmDiagnostic::Setpoint, 0));

    // only items 0 to 2 count as a selection: item 3 gives way to item 0
    var(KRV_NUM_PROP_REG).KrvDisplayValueE2 = 4;
    page->DrawOptSelct();
    page->option(FrmDiagnostic::Joystick, 3)->setChecked(true);
    page->DrawOptSelct();
    EXPECT_TRUE(selected(FrmDiagnostic::Joystick, 0));
    EXPECT_FALSE(selected(FrmDiagnostic::Joystick, 3));
}

TEST_F(DiagnosticTest, WidgetsCarryTheirNamesAndCaptions)
{
    EXPECT_EQ(page->objectName(), "frmDiagnostic");
    EXPECT_EQ(page->windowTitle(), "Diagnostic");
    EXPECT_EQ(page->ReadKey(), 0);
    EXPECT_EQ(page->WriteKey(), 0);
    EXPECT_EQ(page->CheckDataToWrite(), "");
    EXPECT_EQ(page->helpPage(), 29);
    EXPECT_EQ(page->findChild<QRadioButton *>("optSelectjoy_2")->text(), "Joystick 3");
    EXPECT_EQ(page->findChild<QRadioButton *>("optSelectCur_0")->text(), "Current 1");
    EXPECT_EQ(page->findChild<QRadioButton *>("optSelectSP_3")->text(), "Setpoint 4");
    EXPECT_NE(page->findChild<QGroupBox *>("FrameSptSel"), nullptr);
    EXPECT_EQ(page->TabStrip1()->count(), 1);
    EXPECT_EQ(page->TabStrip1()->tabText(0), "Message");
    QTreeWidgetItem *header = page->ListView1()->headerItem();
    EXPECT_EQ(header->text(0), "VarKey");
    EXPECT_EQ(header->text(1), "Error ID");
    EXPECT_EQ(header->text(2), "Description");
    EXPECT_EQ(page->TimerDiagnostic()->objectName(), "TimerDiagnostic");
    EXPECT_EQ(page->TimerDiagnostic()->interval(), 100);
    EXPECT_FALSE(page->TimerDiagnostic()->isActive());
}

TEST_F(DiagnosticTest, PollingReadsTheEnabledRowsOnly)
{
    connectAndActivate();
    ASSERT_TRUE(page->TimerDiagnostic()->isActive());
    tick();
    EXPECT_EQ(readsOf(KRV_ERROR_SEC_3), 1);
    EXPECT_EQ(readsOf(KRV_ERROR_SEC_4), 1);
    EXPECT_EQ(controller().accessCount(), 2);
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::DiagnosticPolling);
    EXPECT_EQ(session.StatusText, "Diagnostic...");

    page->row(0)->setEnable(true);
    window.progress.history.clear();
    tick();
    EXPECT_EQ(readsOf(KRV_ERROR_CODE), 1);
    EXPECT_EQ(window.progress.history, (QList<int>{33, 67, 100}));
    for (const FakeController::Access &a : controller().log)
        EXPECT_FALSE(a.write);
}

TEST_F(DiagnosticTest, NotConnectedActivationLeavesTheTimerOff)
{
    page->Activate();
    EXPECT_FALSE(page->TimerDiagnostic()->isActive());
    session.IsConnectObj = ConnectionState::MonitorPolling; // still the monitor's
    page->Activate();
    EXPECT_FALSE(page->TimerDiagnostic()->isActive());
}

TEST_F(DiagnosticTest, SetBitsAreListedAndClearedOnesRemoved)
{
    page->row(3)->setEnable(true);
    connectAndActivate();
    setWord(KRV_ERROR_SEC_1, 0x0005);
    tick();
    EXPECT_EQ(listed(), (QStringList{"1 - Section 1", "4 - Section 1"}));
    QTreeWidgetItem *first = page->ListView1()->topLevelItem(0);
    EXPECT_EQ(first->text(1), "E400");
    EXPECT_EQ(first->text(2), "Coil 1A open circuit");
    EXPECT_EQ(first->toolTip(2), "Coil 1A open circuit") << "a description cut by its column stays readable";

    setWord(KRV_ERROR_SEC_1, 0x0004);
    tick();
    EXPECT_EQ(listed(), (QStringList{"4 - Section 1"}));

    // the same bit of another row is a different item
    setWord(KRV_ERROR_SEC_3, 0x0004);
    tick();
    EXPECT_EQ(listed(), (QStringList{"4 - Section 1", "4 - Section 3"}));
    setWord(KRV_ERROR_SEC_1, 0);
    tick();
    EXPECT_EQ(listed(), (QStringList{"4 - Section 3"}));

    // unticking a row takes its errors off the list
    page->row(5)->setEnable(false);
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(DiagnosticTest, ReadyBitOfTheShippedListIsNoError)
{
    // bit 6 of the controller status word is the unit saying it is ready
    page->row(0)->setEnable(true);
    connectAndActivate();
    setWord(KRV_ERROR_CODE, 0x0040);
    tick();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(bitCaption(0, 6), "Ready");

    setWord(KRV_ERROR_CODE, 0x0041);
    tick();
    EXPECT_EQ(listed(), (QStringList{"1 - Controller"}));
}

TEST_F(DiagnosticTest, BitWithoutFirstDescriptionLineIsNotListed)
{
    const QString path = folder.write("DiagnosticList.ini",
                                      "Header\r\n0\t0\t1\tFirst\tWord\tE1\tText\r\n0\t1\t2\tSecond\r\n"
                                      "1\t0\t3\tThird\tPower\r\n1\t1\t4\tFourth\tPower\tE4\r\n"
                                      "2\t0\t5\t\r\n3\t0\t6\t\r\n4\t0\t7\t\r\n5\t0\t8\tBlank\r\n");
    usePage(&diagnostic); // the stand-in again while the page is replaced
    page = std::make_unique<FrmDiagnostic>(context, nullptr, path);
    page->setTag(QStringLiteral("A3"));
    usePage(page.get());
    page->row(5)->setEnable(false);
    page->row(6)->setEnable(false);
    page->row(0)->setEnable(true);
    page->row(1)->setEnable(true);
    connectAndActivate();
    setWord(KRV_ERROR_CODE, 0x0003);
    setWord(KRV_VBB_ERROR, 0x0003);
    tick();
    EXPECT_EQ(listed(), (QStringList{"1 - Word", "1 - Power", "2 - Power"}));
    EXPECT_EQ(page->ListView1()->topLevelItem(1)->text(1), "");
    EXPECT_EQ(bitCaption(0, 1), "Second");
}

TEST_F(DiagnosticTest, FailedReadEndsPollingAndDropsTheLink)
{
    connectAndActivate();
    controller().failAt = 2;
    tick();
    EXPECT_FALSE(page->TimerDiagnostic()->isActive());
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_FALSE(session.devLink.isOpen());
    EXPECT_FALSE(page->StatusTimerForm());
    page->DrawBar(window.status, window.progress, "");
    EXPECT_EQ(txtConnect.value, "Link Lost");
    EXPECT_EQ(session.ProgressPercent, 0);
}

TEST_F(DiagnosticTest, LeavingThePageTurnsStateFourBackToOne)
{
    connectAndActivate();
    ASSERT_TRUE(waitFor([&] { return readsOf(KRV_ERROR_SEC_4) >= 2; }));
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::DiagnosticPolling);
    EXPECT_TRUE(page->StatusTimerForm());
    page->Deactivate();
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
    // the busy flag lasts until the first tick after leaving
    EXPECT_TRUE(page->StatusTimerForm());
    ASSERT_TRUE(waitFor([&] { return !page->TimerDiagnostic()->isActive(); }, 1000));
    EXPECT_FALSE(page->StatusTimerForm());
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
}

TEST_F(DiagnosticTest, ExitWhileThePageIsInFrontStopsThePollAndEndsAtOnce)
{
    connectAndActivate();
    tick();
    ASSERT_TRUE(page->StatusTimerForm()); // set from one cycle to the next
    EXPECT_EQ(session.draw.ExitProgram(), 0);
    EXPECT_FALSE(page->TimerDiagnostic()->isActive());
    EXPECT_FALSE(page->StatusTimerForm());
    EXPECT_EQ(window.unloads, 1);
    EXPECT_EQ(window.ends, 0);
}

TEST_F(DiagnosticTest, DrawBarWhileConnected)
{
    connectAndActivate();
    tick();
    page->DrawBar(window.status, window.progress, "Diagnostic...");
    EXPECT_EQ(window.status.icons[1], StateIcon::Green);
    EXPECT_EQ(txtConnect.value, "Connected");
    EXPECT_EQ(txtConnect.colour, 0x0000C000u);
    for (int b : {4, 5, 7, 9, 10, 12, 13})
        EXPECT_FALSE(window.buttons[b].enabled) << b;
    EXPECT_TRUE(window.buttons[19].pressed);
    EXPECT_EQ(window.buttons[19].toolTip, "Disconnect");
    EXPECT_EQ(window.menus["mnuHW_Connect"].caption, "Disconnect");
    EXPECT_FALSE(window.menus["mnuSet_ComID"].enabled);
    EXPECT_FALSE(window.menus["mnuSet_Login"].enabled);
}

// Both polling pages in one page set, as the main window has them.
class PollingPagesTest : public DiagnosticTest
{
protected:
    void SetUp() override
    {
        DiagnosticTest::SetUp();
        monitor = std::make_unique<FrmMonitor>(context);
        monitor->setTag(QStringLiteral("A2"));
        usePage(monitor.get());
        pages.current = page.get();
    }

    // The main window's tab change: the old page leaves, the new one comes.
    void switchTo(PageBase *next, PageBase *previous)
    {
        previous->Deactivate();
        pages.current = next;
        next->Activate();
    }

    std::unique_ptr<FrmMonitor> monitor;
};

TEST_F(PollingPagesTest, PageInFrontPollsAtOnceAndTheLeftOneStopsWithoutReading)
{
    connectAndActivate();
    tick();
    ASSERT_TRUE(page->StatusTimerForm());
    switchTo(monitor.get(), page.get());
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
    ASSERT_TRUE(monitor->TmrMonitor()->isActive());

    // the link is free between two cycles: the monitor reads with its first tick
    int before = controller().accessCount();
    monitor->poller().tick();
    EXPECT_GT(controller().accessCount(), before);
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::MonitorPolling);
    before = controller().accessCount();
    page->poller().tick(); // the diagnostics page notices it was left
    EXPECT_EQ(controller().accessCount(), before);
    EXPECT_FALSE(page->StatusTimerForm());
    EXPECT_FALSE(page->TimerDiagnostic()->isActive());

    // and the other way round
    switchTo(page.get(), monitor.get());
    const int reads = readsOf(KRV_ERROR_SEC_3);
    page->poller().tick();
    EXPECT_EQ(readsOf(KRV_ERROR_SEC_3), reads + 1);
    before = controller().accessCount();
    monitor->poller().tick();
    EXPECT_EQ(controller().accessCount(), before);
    EXPECT_FALSE(monitor->TmrMonitor()->isActive());
}

TEST_F(PollingPagesTest, MonitorInFrontStopsTheDiagnosticsPoll)
{
    connectAndActivate();
    tick();
    // the monitor activated without the diagnostics page being told it left
    monitor->Activate();
    EXPECT_TRUE(page->poller().deactivated());
    page->poller().tick();
    EXPECT_FALSE(page->TimerDiagnostic()->isActive());
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::Connected);
}

TEST_F(PollingPagesTest, BothPagesPollInTurnWithRealTimers)
{
    connectAndActivate();
    ASSERT_TRUE(waitFor([&] { return readsOf(KRV_ERROR_SEC_4) >= 1; }));
    switchTo(monitor.get(), page.get());
    ASSERT_TRUE(waitFor([&] { return readsOf(KRV_VBB_400) >= 2; }));
    EXPECT_FALSE(page->TimerDiagnostic()->isActive());
    const int diagnosticReads = readsOf(KRV_ERROR_SEC_4);
    switchTo(page.get(), monitor.get());
    ASSERT_TRUE(waitFor([&] { return readsOf(KRV_ERROR_SEC_4) >= diagnosticReads + 2; }));
    EXPECT_FALSE(monitor->TmrMonitor()->isActive());
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::DiagnosticPolling);
}

TEST_F(PollingPagesTest, LinkDroppedWhileInFrontDoesNotBlockTheOtherPage)
{
    connectAndActivate();
    tick();
    ASSERT_TRUE(page->StatusTimerForm());
    // disconnect as the main window does it, with the diagnostics page in front
    page->DisableTimer();
    session.rs232.Disconnect();
    session.IsConnectObj = ConnectionState::NotConnected;
    // connect again; the main window shows the first page
    connectLink();
    session.IsConnectObj = ConnectionState::Connected;
    page->Deactivate();
    EXPECT_FALSE(page->StatusTimerForm());
    pages.current = monitor.get();
    monitor->Activate();
    monitor->poller().tick();
    EXPECT_GT(readsOf(KRV_ERROR_CODE), 0);
}

TEST_F(DiagnosticTest, HelpKeyOpensTheManualAtPage29)
{
    page->show();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    QWidget *option = page->option(FrmDiagnostic::Current, 0);
    option->setFocus();
    QTest::keyClick(option, Qt::Key_F1);
    ASSERT_EQ(viewer.calls.size(), 1);
    EXPECT_TRUE(viewer.calls[0].second.startsWith("/A \"page=29&")) << viewer.calls[0].second.toStdString();
    page->hide();
}

TEST_F(DiagnosticTest, PageLooksRight)
{
    for (int i = 0; i < 7; ++i)
        page->row(i)->setEnable(true);
    connectAndActivate();
    setWord(KRV_ERROR_CODE, 0x0081);
    setWord(KRV_ERROR_SEC_1, 0x0005);
    setWord(KRV_HSD_ERROR, 0x0002);
    tick();
    page->resize(764, 452);
    page->show();
    QCoreApplication::processEvents();
    saveShot(*page, "diagnostic");
    EXPECT_EQ(page->ListView1()->topLevelItemCount(), 5);
    // the rows fit the page's width: every bit can be seen without scrolling sideways
    for (int i = 0; i < 7; ++i) {
        EXPECT_LE(page->row(i)->x() + page->row(i)->width(), page->width()) << i;
        // and every word of every caption fits its caption's width, over at most three lines
        for (QLabel *caption : page->row(i)->findChildren<QLabel *>()) {
            if (!caption->objectName().startsWith("lblErrorBit_"))
                continue;
            const QFontMetrics metrics(caption->font());
            for (const QString &word : caption->text().split(' ', Qt::SkipEmptyParts))
                EXPECT_LE(metrics.horizontalAdvance(word), caption->width()) << word.toStdString();
            const QRect needed = metrics.boundingRect(QRect(0, 0, caption->width(), 1000), Qt::TextWordWrap,
                                                      caption->text());
            EXPECT_LE(needed.height(), caption->height()) << caption->text().toStdString();
        }
    }
    page->hide();
}

} // namespace
