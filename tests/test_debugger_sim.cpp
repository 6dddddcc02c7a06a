// The debugger and key pages against krv-sim over a pseudo-terminal, through
// the real device-link component.
#include "pagetestbed.h"
#include "simprocess.h"

#include "frmdebug.h"
#include "frmservice.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int VbbLow = 9;        // 0020.10, EEPROM, X*10 mV
constexpr int VbbLive = 128;     // 0040.30, live supply, X/100 V
constexpr int32_t VbbLowAddress = 0x002010;

class PagesOverSim : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        ASSERT_GT(bed.session.catalogue.VarCount, VbbLive);
        bed.session.IsConnectObj = ConnectionState::Connected;
    }

    template<typename T = QWidget>
    static T *w(QWidget *page, const QString &name)
    {
        T *found = page->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    static void setText(QWidget *page, const QString &edit, const QString &text)
    {
        w<QLineEdit>(page, edit)->setText(text);
    }
    static void click(QWidget *page, const QString &button) { w<QPushButton>(page, button)->click(); }
    static QString label(QWidget *page, const QString &name) { return w<QLabel>(page, name)->text(); }

    // A word as the controller holds it, read on a link of its own.
    int32_t controllerWord(int32_t address)
    {
        int32_t v = -99999;
        EXPECT_TRUE(bed.session.rs232.Connect());
        EXPECT_EQ(bed.session.rs232.ReadVar(address, v), QString());
        return v;
    }

    SimProcess sim;
    PageTestBed bed{true};
};

} // namespace

TEST_F(PagesOverSim, DebuggerWritesReadsSetsAndMonitors)
{
    FrmDebug page(bed.context());
    w<QComboBox>(&page, QStringLiteral("cmbVariablesList"))->setCurrentIndex(VbbLow);

    setText(&page, QStringLiteral("TxtData"), QStringLiteral("1234"));
    click(&page, QStringLiteral("cmdWrite"));
    ASSERT_TRUE(bed.messages.shown.isEmpty()) << bed.messages.lastText().toStdString();
    EXPECT_EQ(controllerWord(VbbLowAddress), 1234);

    w<QLabel>(&page, QStringLiteral("lblE2Data"))->clear();
    click(&page, QStringLiteral("cmdRead"));
    EXPECT_EQ(label(&page, QStringLiteral("lblE2Data")), QStringLiteral("1234"));
    EXPECT_EQ(label(&page, QStringLiteral("LblDisplayE2")), QStringLiteral("12340"));
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);

    setText(&page, QStringLiteral("TxtData"), QStringLiteral("1300"));
    click(&page, QStringLiteral("cmdSet"));
    click(&page, QStringLiteral("cmdDisplay"));
    EXPECT_EQ(label(&page, QStringLiteral("lblRAMData")), QStringLiteral("1300"));

    // A value that is no word reaches nothing.
    setText(&page, QStringLiteral("TxtData"), QStringLiteral("1.5"));
    click(&page, QStringLiteral("cmdWrite"));
    EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Value Not Valid")));
    EXPECT_EQ(controllerWord(VbbLowAddress), 1300);

    // The live supply voltage cannot be written, only watched.
    bed.messages.shown.clear();
    w<QLineEdit>(&page, QStringLiteral("txtAddress"))->setText(QStringLiteral("0040.30"));
    QTest::keyClick(w(&page, QStringLiteral("txtAddress")), Qt::Key_Return);
    ASSERT_EQ(w<QComboBox>(&page, QStringLiteral("cmbVariablesList"))->currentIndex(), VbbLive);
    setText(&page, QStringLiteral("TxtData"), QStringLiteral("5"));
    click(&page, QStringLiteral("cmdSet"));
    EXPECT_EQ(bed.messages.lastText(),
              QStringLiteral("Operation Failed :FAILED!\rrefused by the control unit: read-only address"));
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::NotConnected);

    click(&page, QStringLiteral("cmdMonitor"));
    ASSERT_TRUE(page.tmrDebug()->isActive());
    PageTestBed::runEvents(400);
    click(&page, QStringLiteral("cmdMonitor"));
    PageTestBed::runEvents(60);
    EXPECT_FALSE(page.tmrDebug()->isActive());
    EXPECT_EQ(bed.messages.shown.size(), 1);   // only the refused write above
    const double volts = bed.session.catalogue.data(VbbLive)->KrvDisplayValueRAM;
    EXPECT_GT(volts, 5.0);
    EXPECT_LT(volts, 40.0);
    EXPECT_EQ(label(&page, QStringLiteral("lblRAMData")).toInt(),
              bed.session.catalogue.data(VbbLive)->QelValueRAM);
}

TEST_F(PagesOverSim, DebuggerDitherUpdateAndReset)
{
    FrmDebug page(bed.context());
    click(&page, QStringLiteral("CmdDitherRead"));
    EXPECT_EQ(w<QLineEdit>(&page, QStringLiteral("TxtDataD_2"))->text(), QStringLiteral("100"));   // default Hz

    setText(&page, QStringLiteral("TxtDataD_0"), QStringLiteral("150"));
    setText(&page, QStringLiteral("TxtDataD_1"), QStringLiteral("20"));
    setText(&page, QStringLiteral("TxtDataD_2"), QStringLiteral("180"));
    click(&page, QStringLiteral("CmdUpdate"));
    ASSERT_TRUE(bed.messages.shown.isEmpty()) << bed.messages.lastText().toStdString();
    EXPECT_EQ(controllerWord(0x0020C2), 150);
    EXPECT_EQ(controllerWord(0x0020C4), 20);
    EXPECT_EQ(controllerWord(0x0020C0), 180);

    // answered No, the unit keeps its parameters
    bed.messages.answers.push_back(MessageService::Answer::No);
    click(&page, QStringLiteral("cmdReset"));
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("Restore every parameter of the control unit to its default values?"));
    EXPECT_EQ(controllerWord(0x0020C0), 180);

    click(&page, QStringLiteral("cmdReset"));
    ASSERT_EQ(bed.messages.shown.size(), 3);
    EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("POWER RESET Needed")));
    EXPECT_EQ(bed.session.devLink.LinkState, DevLink::State::Close);
    EXPECT_TRUE(bed.session.rs232.Connect());
    bool marker = false;
    EXPECT_EQ(bed.session.e2Image.ReadResetMarker(marker), QString());
    EXPECT_TRUE(marker);
    EXPECT_EQ(controllerWord(0x0020C0), 100);   // defaults again
}

TEST_F(PagesOverSim, KeyWriteReadLockAndRefusedKey)
{
    ASSERT_TRUE(bed.session.rs232.Connect());
    FrmService page(bed.context());
    setText(&page, QStringLiteral("TxtKey"), QStringLiteral("0x1A2B3C4D"));
    click(&page, QStringLiteral("CmdWriteKey"));
    ASSERT_EQ(bed.messages.lastText(), QStringLiteral("Write Done!"));

    click(&page, QStringLiteral("CmdReadKey"));
    EXPECT_EQ(w<QLineEdit>(&page, QStringLiteral("TxtKey"))->text(), QStringLiteral("0x1A2B3C4D"));
    EXPECT_EQ(w<QLineEdit>(&page, QStringLiteral("lbProductionNumber"))->text(), QStringLiteral("0x24150317"));

    // A typo is refused; the unit keeps its key.
    bed.messages.shown.clear();
    setText(&page, QStringLiteral("TxtKey"), QStringLiteral("0x1A2B3C4"));
    click(&page, QStringLiteral("CmdWriteKey"));
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Key Not Valid")));
    click(&page, QStringLiteral("CmdReadKey"));
    EXPECT_EQ(w<QLineEdit>(&page, QStringLiteral("TxtKey"))->text(), QStringLiteral("0x1A2B3C4D"));

    click(&page, QStringLiteral("cmdLock"));
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("Control unit Locked!"));
    click(&page, QStringLiteral("CmdReadKey"));
    EXPECT_EQ(w<QLineEdit>(&page, QStringLiteral("TxtKey"))->text(), QStringLiteral("0x0"));
}
