// The key page: production number and key read, key written after the
// question, the unit locked after its question, key texts that are refused
// before anything is written, and failed accesses that say so and show what
// the unit holds (against krv-sim hanging up).
#include "pagetestbed.h"
#include "simprocess.h"

#include "frmservice.h"
#include "keycommands.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class KeyPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page = std::make_unique<FrmService>(bed.context());
        bed.session.rs232.Connect();
        bed.session.IsConnectObj = ConnectionState::Connected;
    }

    template<typename T = QWidget>
    T *w(const QString &name) const
    {
        T *found = page->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    void click(const QString &button) { w<QPushButton>(button)->click(); }
    QString key() const { return w<QLineEdit>(QStringLiteral("TxtKey"))->text(); }
    QString production() const { return w<QLineEdit>(QStringLiteral("lbProductionNumber"))->text(); }
    void typeKey(const QString &text)
    {
        QLineEdit *e = w<QLineEdit>(QStringLiteral("TxtKey"));
        e->clear();
        QTest::keyClicks(e, text);
    }
    FakeController &ctl() { return bed.controller(); }

    PageTestBed bed;
    std::unique_ptr<FrmService> page;
};

} // namespace

TEST(KeyText, HexDisplayAndKeyEntry)
{
    EXPECT_EQ(KeyCommands::hexText(0), QStringLiteral("0x0"));
    EXPECT_EQ(KeyCommands::hexText(0x00A1B2C3), QStringLiteral("0xA1B2C3"));
    EXPECT_EQ(KeyCommands::hexText(-1), QStringLiteral("0xFFFFFFFF"));

    qint64 k = 0;
    ASSERT_TRUE(KeyCommands::parseKeyText(QStringLiteral("0x12345678"), k));
    EXPECT_EQ(k, 305419896);
    ASSERT_TRUE(KeyCommands::parseKeyText(QStringLiteral("12345678"), k));
    EXPECT_EQ(k, 305419896);
    ASSERT_TRUE(KeyCommands::parseKeyText(QStringLiteral(" 0xabcdef01 "), k));
    // The key written is the pattern typed, whatever its groups of four digits.
    ASSERT_TRUE(KeyCommands::parseKeyText(QStringLiteral("0x12348000"), k));
    EXPECT_EQ(k, 0x12348000);
    ASSERT_TRUE(KeyCommands::parseKeyText(QStringLiteral("0000FFFF"), k));
    EXPECT_EQ(k, 0xFFFF);
    ASSERT_TRUE(KeyCommands::parseKeyText(QStringLiteral("0xFFFFFFFF"), k));
    EXPECT_EQ(k, -1);
    ASSERT_TRUE(KeyCommands::parseKeyText(QStringLiteral("0x80000000"), k));
    EXPECT_EQ(k, -2147483647 - 1);

    k = 99;
    for (const char *bad : {"", "0x", "0x0", "0x1234567", "0x123456789", "0x1234567G", "1234 5678", "x12345678",
                            "0x-1234567", "00x12345678"})
        EXPECT_FALSE(KeyCommands::parseKeyText(QString::fromLatin1(bad), k)) << bad;
    EXPECT_EQ(k, 99);
}

TEST_F(KeyPage, ReadShowsProductionNumberAndKeyWithProgress)
{
    ctl().longs[92] = 0x00A1B2C3;
    ctl().longs[88] = 0x11223344;
    QElapsedTimer clock;
    clock.start();
    click(QStringLiteral("CmdReadKey"));
    EXPECT_GE(clock.elapsed(), 1000);   // a pause after each value

    EXPECT_EQ(production(), QStringLiteral("0xA1B2C3"));
    EXPECT_EQ(key(), QStringLiteral("0x11223344"));
    ASSERT_EQ(ctl().accessCount(), 2);
    EXPECT_EQ(ctl().log[0].a, 92);
    EXPECT_EQ(ctl().log[0].b, 0);
    EXPECT_EQ(ctl().log[0].t, 3);
    EXPECT_EQ(ctl().log[1].a, 88);
    const QList<int> &bar = bed.mainWindow.progress.history;
    ASSERT_GE(bar.size(), 3);
    EXPECT_EQ(bar.indexOf(50) < bar.indexOf(100), true);
    EXPECT_EQ(bar.last(), 0);
    EXPECT_EQ(bed.session.ProgressPercent, 0);
    EXPECT_TRUE(bed.messages.shown.isEmpty());
}

TEST_F(KeyPage, FailedReadShowsTheValueLastReadAndGoesOn)
{
    ctl().longs[92] = 0x24150317;
    ctl().longs[88] = 0x11223344;
    click(QStringLiteral("CmdReadKey"));
    ctl().longs[88] = 0x5A5A;
    ctl().failAt = 3;   // the production number of the second read
    bed.mainWindow.progress.history.clear();
    click(QStringLiteral("CmdReadKey"));
    EXPECT_EQ(production(), QStringLiteral("0x24150317"));
    EXPECT_EQ(key(), QStringLiteral("0x5A5A"));
    EXPECT_FALSE(bed.mainWindow.progress.history.contains(50));
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("Operation Failed :FAILED!"));
}

TEST_F(KeyPage, LockAsksFirstThenReadShowsKeyZero)
{
    ctl().longs[88] = 0x11223344;
    ctl().longs[92] = 7;
    bed.messages.answers.push_back(MessageService::Answer::No);
    click(QStringLiteral("cmdLock"));
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.shown[0].text, KeyCommands::LockQuestion);
    EXPECT_EQ(bed.messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(ctl().accessCount(), 0);

    bed.messages.shown.clear();
    click(QStringLiteral("cmdLock"));
    ASSERT_EQ(ctl().accessCount(), 1);
    EXPECT_TRUE(ctl().log[0].write);
    EXPECT_EQ(ctl().log[0].a, 88);
    EXPECT_EQ(ctl().log[0].b, 4);
    EXPECT_EQ(ctl().log[0].t, 19);
    EXPECT_EQ(ctl().log[0].value.toString(), QStringLiteral("0"));
    ASSERT_EQ(bed.messages.shown.size(), 2);
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("Control unit Locked!"));
    EXPECT_EQ(key(), QStringLiteral("0x0"));
    EXPECT_EQ(bed.messages.shown.last().icon, MessageService::Icon::Warning);

    click(QStringLiteral("CmdReadKey"));
    EXPECT_EQ(key(), QStringLiteral("0x0"));
}

TEST_F(KeyPage, WriteKeyAsksThenWrites)
{
    typeKey(QStringLiteral("0x12345678"));
    click(QStringLiteral("CmdWriteKey"));
    ASSERT_EQ(bed.messages.shown.size(), 2);
    EXPECT_EQ(bed.messages.shown[0].text, QStringLiteral("Write a new Key, Are yoy sure?"));
    EXPECT_EQ(bed.messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(bed.messages.shown[0].icon, MessageService::Icon::Information);
    EXPECT_EQ(bed.messages.shown[1].text, QStringLiteral("Write Done!"));
    EXPECT_EQ(bed.messages.shown[1].icon, MessageService::Icon::Warning);
    ASSERT_EQ(ctl().accessCount(), 1);
    EXPECT_EQ(ctl().log[0].a, 88);
    EXPECT_EQ(ctl().log[0].t, 19);
    EXPECT_EQ(ctl().log[0].value.toString(), QStringLiteral("305419896"));
    EXPECT_EQ(ctl().longs.value(88), 0x12345678);
    EXPECT_EQ(ctl().timeout, 1000);

    // A last group of 8000 or above still writes exactly the key typed.
    typeKey(QStringLiteral("0x12348000"));
    click(QStringLiteral("CmdWriteKey"));
    ASSERT_EQ(ctl().accessCount(), 2);
    EXPECT_EQ(ctl().log[1].value.toString(), QStringLiteral("305430528"));
    EXPECT_EQ(KeyCommands::hexText(ctl().longs.value(88)), QStringLiteral("0x12348000"));
}

TEST_F(KeyPage, WriteKeyAnsweredNoSendsNothing)
{
    typeKey(QStringLiteral("0x12345678"));
    bed.messages.answers.push_back(MessageService::Answer::No);
    click(QStringLiteral("CmdWriteKey"));
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(ctl().accessCount(), 0);
}

TEST_F(KeyPage, KeyThatIsNotEightHexDigitsIsRefused)
{
    for (const char *bad : {"", "0x1234", "0x1234567", "0x123456789", "0x1234567Z", "locked"}) {
        bed.messages.shown.clear();
        typeKey(QString::fromLatin1(bad));
        click(QStringLiteral("CmdWriteKey"));
        ASSERT_EQ(bed.messages.shown.size(), 1) << bad;   // no question, no "Write Done!"
        EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Key Not Valid"))) << bad;
    }
    EXPECT_EQ(ctl().accessCount(), 0);
}

// A Read, Write Key and Lock the unit never answers: each says so, and the
// boxes show what the unit holds, which a Read after power-up confirms.
TEST(KeyPageOverSim, FailedAccessesSaySoAndShowWhatTheUnitHolds)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
    PageTestBed bed(true);
    ASSERT_TRUE(bed.session.rs232.Connect());
    bed.session.IsConnectObj = ConnectionState::Connected;
    FrmService page(bed.context());
    auto *txtKey = page.findChild<QLineEdit *>(QStringLiteral("TxtKey"));
    auto *production = page.findChild<QLineEdit *>(QStringLiteral("lbProductionNumber"));
    const auto click = [&](const char *button) { page.findChild<QPushButton *>(QLatin1String(button))->click(); };
    const QString failed = QStringLiteral("Operation Failed :FAILED!");

    txtKey->setText(QStringLiteral("0x1A2B3C4D"));
    click("CmdWriteKey");
    ASSERT_EQ(bed.messages.lastText(), QStringLiteral("Write Done!"));
    click("CmdReadKey");
    ASSERT_EQ(production->text(), QStringLiteral("0x24150317"));

    // one more answer (the production number), then the line goes dead in
    // the middle of the key's reply
    bed.messages.shown.clear();
    sim.set(QStringLiteral("disconnect-after"), QStringLiteral("1"));
    txtKey->setText(QStringLiteral("typed"));
    click("CmdReadKey");
    EXPECT_EQ(production->text(), QStringLiteral("0x24150317"));
    EXPECT_EQ(txtKey->text(), QStringLiteral("0x1A2B3C4D"));
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.lastText(), failed);

    // a new key the unit never receives is not shown as its key
    bed.messages.shown.clear();
    txtKey->setText(QStringLiteral("0xCAFE0001"));
    click("CmdWriteKey");
    ASSERT_EQ(bed.messages.shown.size(), 2);   // the question, then the failure
    EXPECT_EQ(bed.messages.lastText(), failed);
    EXPECT_EQ(txtKey->text(), QStringLiteral("0x1A2B3C4D"));

    bed.messages.shown.clear();
    click("cmdLock");
    ASSERT_EQ(bed.messages.shown.size(), 2);
    EXPECT_EQ(bed.messages.shown[0].text, KeyCommands::LockQuestion);
    EXPECT_EQ(bed.messages.lastText(), failed);
    EXPECT_EQ(txtKey->text(), QStringLiteral("0x1A2B3C4D"));

    // power up again: the unit holds the key the page showed
    sim.unset(QStringLiteral("disconnect-after"));
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    ASSERT_TRUE(bed.session.rs232.Connect());
    bed.messages.shown.clear();
    txtKey->clear();
    click("CmdReadKey");
    EXPECT_EQ(txtKey->text(), QStringLiteral("0x1A2B3C4D"));
    EXPECT_TRUE(bed.messages.shown.isEmpty()) << bed.messages.lastText().toStdString();
}

TEST_F(KeyPage, PageMembersAndLayout)
{
    EXPECT_EQ(page->ReadKey(), 10000);
    EXPECT_EQ(page->WriteKey(), 10001);
    EXPECT_FALSE(page->StatusTimerForm());
    EXPECT_EQ(page->CheckDataToWrite(), QString());
    EXPECT_EQ(page->windowTitle(), QStringLiteral("Key"));

    w(QStringLiteral("CmdReadKey"))->setEnabled(false);
    w(QStringLiteral("CmdWriteKey"))->setEnabled(false);
    page->RefreshObject();
    EXPECT_TRUE(w(QStringLiteral("CmdReadKey"))->isEnabled());
    EXPECT_TRUE(w(QStringLiteral("CmdWriteKey"))->isEnabled());

    for (int i = 0; i < FrmService::ProductionDataLabels; ++i)
        EXPECT_EQ(w<QLabel>(QStringLiteral("lblService_%1").arg(i))->text(), QStringLiteral("0"));
    EXPECT_EQ(w<QPushButton>(QStringLiteral("CmdWriteKey"))->text(), QStringLiteral("Write Key"));
}

TEST_F(KeyPage, DrawBarAllowsReadAndResetOnly)
{
    FakeStatusBar status;
    FakeProgressBar progress;
    bed.session.ProgressPercent = 60;
    page->DrawBar(status, progress, QString());
    EXPECT_EQ(bed.session.ProgressPercent, 0);
    EXPECT_EQ(status.icons[1], StateIcon::Green);
    for (int button : {12, 13})
        EXPECT_FALSE(bed.mainWindow.buttons[button].enabled) << button;
    for (int button : {1, 2, 7, 9, 19})
        EXPECT_TRUE(bed.mainWindow.buttons[button].enabled) << button;
    for (int button : {4, 5, 10})
        EXPECT_FALSE(bed.mainWindow.buttons[button].enabled) << button;
    EXPECT_EQ(bed.mainWindow.buttons[19].toolTip, QStringLiteral("Disconnect"));
    EXPECT_EQ(bed.mainWindow.menus[QStringLiteral("mnuHW_Connect")].caption, QStringLiteral("Disconnect"));
    EXPECT_FALSE(bed.mainWindow.menus[QStringLiteral("mnuSet_ComBauldID")].enabled);

    bed.session.IsConnectObj = ConnectionState::NotConnected;
    page->DrawBar(status, progress, QString());
    EXPECT_EQ(status.icons[1], StateIcon::Red);
}

TEST_F(KeyPage, HelpKeyOpensTheManualAtPage32)
{
    page->show();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    w(QStringLiteral("TxtKey"))->setFocus();
    QTest::keyClick(w(QStringLiteral("TxtKey")), Qt::Key_F1);
    ASSERT_EQ(bed.viewer.calls.size(), 1);
    EXPECT_TRUE(bed.viewer.calls[0].second.startsWith(QStringLiteral("/A \"page=32&")));
}
