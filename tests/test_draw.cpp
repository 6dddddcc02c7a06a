#include "faketextbox.h"
#include "transferfixture.h"
#include "windowview.h"

namespace {

const QStringList List = {
    "Version\t0x0020\t0x00\tKRV_PROG_VERS\tSoftware version\t0\t0\t10\t0\t32767",
    "Sections\t0x0020\t0x02\tKRV_NUM_PROP_REG\tNumber of sections\t4\t0\t11\t1\t4",
};

class FakeWindow : public WindowView
{
public:
    explicit FakeWindow(QRect r) : rect(r) {}
    QRect frameGeometry() const override { return rect; }
    void moveTo(const QPoint &p) override { rect.moveTopLeft(p); }
    QRect rect;
};

class DrawTest : public TransferFixture
{
protected:
    void SetUp() override { loadList(List); }

    // Every element of the command table in a known "wrong" state first.
    void scramble()
    {
        for (int b : {4, 5, 7, 9, 10, 12, 13, 15, 16, 19}) {
            window.buttons[b] = {b % 2 == 0, true, "x"};
        }
        for (const char *m : {"mnuHW_Connect", "mnuHw_Read", "mnuHW_Write", "mnuHW_ReadAll", "mnuHW_WriteAll",
                              "mnuHw_Reset", "mnuSet_Login", "mnuSet_Logout", "mnuSet_ComID", "mnuSet_ComBauldID",
                              "mnuHelp_Help", "mnuHelp_Info"})
            window.menus[m] = {false, "Disconnect"};
        window.menus["mnuSet_ComBauldID"].enabled = true;
        window.menus["mnuSet_Login"].enabled = true;
    }

    bool button(int b) { return window.buttons[b].enabled; }
    bool menu(const char *m) { return window.menus[m].enabled; }

    void expectHardwareOff()
    {
        for (int b : {4, 5, 7, 9, 10})
            EXPECT_FALSE(button(b)) << b;
        for (const char *m : {"mnuHW_ReadAll", "mnuHW_WriteAll", "mnuHw_Read", "mnuHW_Write", "mnuHw_Reset"})
            EXPECT_FALSE(menu(m)) << m;
        EXPECT_FALSE(menu("mnuSet_ComBauldID"));
        EXPECT_TRUE(button(15) && button(16) && menu("mnuHelp_Help") && menu("mnuHelp_Info"));
        EXPECT_EQ(window.buttons[19].toolTip, "Connect");
    }
};

} // namespace

TEST_F(DrawTest, ResetCommandsIsTheStartState)
{
    scramble();
    session.draw.ResetCommands();
    expectHardwareOff();
    EXPECT_FALSE(button(12) || button(13) || menu("mnuSet_Login") || menu("mnuSet_Logout"));
    EXPECT_TRUE(menu("mnuHW_Connect") && button(19) && menu("mnuSet_ComID"));
    EXPECT_FALSE(window.buttons[19].pressed);
}

TEST_F(DrawTest, CommandStateFollowsTheConnection)
{
    scramble();
    session.IsConnectObj = 0;
    session.draw.UpdateCommandState();
    expectHardwareOff();
    EXPECT_TRUE(menu("mnuHW_Connect") && button(19) && menu("mnuSet_ComID"));
    EXPECT_FALSE(window.buttons[19].pressed);
    EXPECT_EQ(window.menus["mnuHW_Connect"].caption, "Connect");
    EXPECT_TRUE(menu("mnuSet_Login"));  // login is left as it was
    EXPECT_FALSE(button(13));

    scramble();
    session.IsConnectObj = 2;
    session.draw.UpdateCommandState();
    expectHardwareOff();
    EXPECT_FALSE(menu("mnuHW_Connect") || button(19) || menu("mnuSet_ComID"));
    EXPECT_TRUE(window.buttons[19].pressed);

    // connected or polling: only help and info; the rest is the page's
    for (int16_t state : {1, 3, 4, 5}) {
        scramble();
        session.IsConnectObj = state;
        session.draw.UpdateCommandState();
        EXPECT_TRUE(button(15) && button(16) && menu("mnuHelp_Help") && menu("mnuHelp_Info"));
        EXPECT_TRUE(button(4) && !button(5) && menu("mnuSet_ComBauldID") && !menu("mnuHW_Connect"));
        EXPECT_EQ(window.buttons[19].toolTip, "x");
    }
}

TEST_F(DrawTest, StatusBarPanelsShowProgressVersionAndSize)
{
    QString drawn;
    config.onDrawBar = [&] { drawn = window.status.panelText(5); };
    session.ProgressPercent = 37;
    session.draw.UpdateStatusBar(window.status, window.progress, "Reading...");
    EXPECT_EQ(config.drawBars, 1);
    EXPECT_EQ(config.lastDrawBarText, "Reading...");
    EXPECT_EQ(drawn, QString()); // the page draws first
    EXPECT_EQ(window.progress.value(), 37);
    EXPECT_EQ(window.status.panelText(5), "37%");
    EXPECT_EQ(window.status.panelText(7), "----");
    EXPECT_EQ(window.status.panelText(6), "400W");

    var(1).KrvDisplayValueE2 = 123;
    var(2).KrvDisplayValueE2 = 5;
    session.draw.UpdateStatusBar(QString());
    EXPECT_EQ(window.status.panelText(7), "v001.23");
    EXPECT_EQ(window.status.panelText(6), "---");

    EXPECT_EQ(Draw::versionText(10203), "v102.03");
    const char *sizes[] = {"---", "100W", "200W", "300W", "400W", "---"};
    for (int n = 0; n <= 5; ++n)
        EXPECT_EQ(Draw::systemSizeText(n), sizes[n]) << n;
}

TEST_F(DrawTest, ParameterStatusAndTextBoxHelpers)
{
    FakeTextBox box;
    session.IsConnectObj = 3;
    session.draw.ShowParamStatus(box);
    EXPECT_EQ(box.value, "---");
    EXPECT_EQ(box.colour, 0x8000000Fu);
    session.IsConnectObj = 1;
    session.ParamDiff = true;
    session.draw.ShowParamStatus(box);
    EXPECT_EQ(box.value, "PARAMETER DIFF.");
    EXPECT_EQ(box.colour, 0x0080FFFFu);
    session.ParamDiff = false;
    session.draw.ShowParamStatus(box);
    EXPECT_EQ(box.value, "PARAMETER OK");
    EXPECT_EQ(box.colour, 0x0000C000u);

    Draw::SelectAllText(box);
    EXPECT_EQ(box.selStart, 0);
    EXPECT_EQ(box.selLength, 12);

    FakeWindow dialog(QRect(0, 0, 100, 50));
    const FakeWindow main(QRect(200, 100, 400, 300));
    Draw::CenterWindow(dialog, main);
    EXPECT_EQ(dialog.rect.center(), main.rect.center());
}

TEST_F(DrawTest, ExitAsksOnlyAboutAnUnsavedFile)
{
    EXPECT_EQ(session.draw.ExitProgram(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(window.unloads, 1);
    EXPECT_EQ(config.timerStops, 1);
    EXPECT_EQ(info.timerStops, 1);
}

TEST_F(DrawTest, ExitWithUnsavedFileAnsweredNoIsRefused)
{
    session.FileState = Session::FileToSave;
    messages.answers.push_back(MessageService::Answer::No);
    EXPECT_EQ(session.draw.ExitProgram(), 1);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(),
              "Configuration file Not Saved.\rNo saved settings will be lost.\r\rCONTINUE ANYWAY?");
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Warning);
    EXPECT_FALSE(session.ExitRequested);
    EXPECT_EQ(config.timerStops, 0);
    EXPECT_EQ(window.unloads, 0);
}

TEST_F(DrawTest, BusyPageDelaysExitUntilTheNinthAttempt)
{
    session.FileState = Session::FileToSave;
    diagnostic.timerBusy = true;
    for (int attempt = 1; attempt <= 8; ++attempt)
        EXPECT_EQ(session.draw.ExitProgram(), 1) << attempt;
    EXPECT_TRUE(session.ExitRequested);
    EXPECT_EQ(messages.shown.size(), 1); // asked once, not at every retry
    EXPECT_EQ(diagnostic.timerStops, 8);
    EXPECT_EQ(window.ends, 0);

    EXPECT_EQ(session.draw.ExitProgram(), 0);
    EXPECT_EQ(window.ends, 1);
    EXPECT_EQ(diagnostic.timerStops, 8); // the pages are not asked again
    EXPECT_EQ(window.unloads, 0);
}

TEST(ConnectionState, AnnouncesEveryAssignment)
{
    ConnectionState state;
    QList<int16_t> seen;
    QObject::connect(&state, &ConnectionState::assigned, [&](int16_t v) { seen.append(v); });
    state = 0;
    state = 2;
    state = 2;
    EXPECT_EQ(seen, (QList<int16_t>{0, 2, 2}));
    EXPECT_EQ(state.value(), 2);
    EXPECT_FALSE(state.isConnected());
    for (int16_t v : {1, 3, 4, 5}) {
        state = v;
        EXPECT_TRUE(state.isConnected()) << v;
    }
}
