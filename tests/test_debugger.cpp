// The electronic debugger page: variable list, address forms, single-word
// commands with their traffic, refused inputs, the monitor toggle, the dither
// rows, RESET and the login dependency.
#include "pagetestbed.h"

#include "debuginput.h"
#include "frmdebug.h"
#include "keycommands.h"
#include "servicehistory.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Catalogue entries of the shipped list used below.
constexpr int ProgVersion = 1;        // 0020.00, no unit
constexpr int VbbLow = 9;             // 0020.10, mV, X*10
constexpr int VbbLive = 128;          // 0040.30, V, X/100
constexpr int32_t VbbLowAddress = 0x002010;
constexpr int32_t VbbLiveAddress = 0x004030;

class DebugPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_GT(bed.session.catalogue.VarCount, VbbLive) << "shipped variable list not loaded";
        page = std::make_unique<FrmDebug>(bed.context());
    }

    template<typename T = QWidget>
    T *w(const QString &name) const
    {
        T *found = page->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QString text(const QString &label) const { return w<QLabel>(label)->text(); }
    void click(const QString &button) { w<QPushButton>(button)->click(); }
    void select(int index) { w<QComboBox>(QStringLiteral("cmbVariablesList"))->setCurrentIndex(index); }
    void type(const QString &edit, const QString &value, bool enter = false)
    {
        QLineEdit *e = w<QLineEdit>(edit);
        e->selectAll();
        QTest::keyClicks(e, value);
        if (enter)
            QTest::keyClick(e, Qt::Key_Return);
    }
    int selected() const { return w<QComboBox>(QStringLiteral("cmbVariablesList"))->currentIndex(); }
    FakeController &ctl() { return bed.controller(); }
    CVarDataS &var(int index) { return *bed.session.catalogue.data(index); }
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const auto &m : bed.messages.shown)
            texts << m.text;
        return texts;
    }

    PageTestBed bed;
    std::unique_ptr<FrmDebug> page;
};

const QStringList SevenLocked = {"cmbVariablesList", "txtAddress", "TxtData", "cmdDisplay",
                                 "cmdRead",          "cmdSet",     "cmdWrite"};

} // namespace

TEST(DebugInputText, AddressFormsAndRefusals)
{
    int32_t a = 0, b = 0;
    ASSERT_TRUE(DebugInput::parseAddress(QStringLiteral("1234.AB"), a));
    ASSERT_TRUE(DebugInput::parseAddress(QStringLiteral("1234AB"), b));
    EXPECT_EQ(a, 0x1234AB);
    EXPECT_EQ(b, a);
    ASSERT_TRUE(DebugInput::parseAddress(QStringLiteral(" 12.34.ab "), a));
    EXPECT_EQ(a, 0x1234AB);
    EXPECT_EQ(DebugInput::addressText(0x1234AB), QStringLiteral("1234.AB"));
    EXPECT_EQ(DebugInput::addressText(0x30), QStringLiteral("0000.30"));
    EXPECT_EQ(DebugInput::addressText(0x7123456), QStringLiteral("1234.56"));   // last six digits only

    a = 77;
    for (const char *bad : {"", ".", "12G4", "0x1234", "-12", "1234567", "12 34", "Address", "-------"})
        EXPECT_FALSE(DebugInput::parseAddress(QString::fromLatin1(bad), a)) << bad;
    EXPECT_EQ(a, 77);
}

TEST(DebugInputText, WordValuesAndIntegerTest)
{
    int32_t v = 0;
    for (const auto &[textValue, expected] :
         {std::pair{"0", 0}, {"-32768", -32768}, {"65535", 65535}, {" 42 ", 42}, {"+7", 7}}) {
        ASSERT_TRUE(DebugInput::parseWordValue(QString::fromLatin1(textValue), v)) << textValue;
        EXPECT_EQ(v, expected);
    }
    for (const char *bad : {"", "-", "1.5", "12,0", "abc", "65536", "-32769", "0x10", "&H10", "1e3", "1 2"})
        EXPECT_FALSE(DebugInput::parseWordValue(QString::fromLatin1(bad), v)) << bad;

    EXPECT_EQ(FrmDebug::TextStringIsInteger(QStringLiteral("123")), 1);
    EXPECT_EQ(FrmDebug::TextStringIsInteger(QStringLiteral("12345")), 1);
    EXPECT_EQ(FrmDebug::TextStringIsInteger(QStringLiteral("-1234")), 1);
    EXPECT_EQ(FrmDebug::TextStringIsInteger(QStringLiteral("123456")), 0);   // six characters
    EXPECT_EQ(FrmDebug::TextStringIsInteger(QStringLiteral("1.5")), 0);
    EXPECT_EQ(FrmDebug::TextStringIsInteger(QStringLiteral("1,5")), 0);
    EXPECT_EQ(FrmDebug::TextStringIsInteger(QStringLiteral("abc")), 0);
    EXPECT_EQ(FrmDebug::TextStringIsInteger(QString()), 0);
}

TEST(DebugInputText, DitherEntries)
{
    int32_t v = 0;
    ASSERT_TRUE(DebugInput::parseDitherValue(QStringLiteral("12,6"), 0, 50, v));
    EXPECT_EQ(v, 13);
    ASSERT_TRUE(DebugInput::parseDitherValue(QStringLiteral("12.5"), 0, 50, v));
    EXPECT_EQ(v, 12);   // halves to the even number
    ASSERT_TRUE(DebugInput::parseDitherValue(QStringLiteral("99"), 0, 50, v));
    EXPECT_EQ(v, 50);
    ASSERT_TRUE(DebugInput::parseDitherValue(QStringLiteral("-3"), 40, 250, v));
    EXPECT_EQ(v, 40);
    EXPECT_FALSE(DebugInput::parseDitherValue(QStringLiteral("abc"), 0, 50, v));
    EXPECT_FALSE(DebugInput::parseDitherValue(QStringLiteral("1,2,3"), 0, 50, v));
}

TEST_F(DebugPage, ListFollowsTheCatalogueAndShowsTheSelection)
{
    auto *list = w<QComboBox>(QStringLiteral("cmbVariablesList"));
    const Catalogue &catalogue = bed.session.catalogue;
    ASSERT_EQ(list->count(), catalogue.VarCount);   // "-------" plus one item per entry
    EXPECT_EQ(list->itemText(0), QStringLiteral("-------"));
    EXPECT_EQ(list->itemText(VbbLow), var(VbbLow).Name);
    EXPECT_EQ(list->itemText(catalogue.VarCount - 1), var(catalogue.VarCount - 1).Name);
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(list->placeholderText(), QStringLiteral("(variables list)"));

    select(VbbLow);
    EXPECT_EQ(w<QLineEdit>(QStringLiteral("txtAddress"))->text(), QStringLiteral("0020.10"));
    EXPECT_EQ(w<QLineEdit>(QStringLiteral("txtAddress"))->selectedText(), QStringLiteral("0020.10"));
    EXPECT_EQ(text("lblName"), var(VbbLow).Name);
    EXPECT_EQ(text("LblAddress"), QStringLiteral("0020.10"));
    EXPECT_EQ(text("LblTooltip"), var(VbbLow).TooltipDecription);
    EXPECT_EQ(text("LblMonitorName"), var(VbbLow).MonitorName);
    for (const char *unit : {"LblUnit", "LblUnitE2", "LblUnitRam"})
        EXPECT_EQ(text(unit), QStringLiteral("mV"));
    EXPECT_EQ(text("LblDisplayE2"), QStringLiteral("0"));
    EXPECT_EQ(text("LblDisplayRAM"), QStringLiteral("0"));
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("0"));

    select(ProgVersion);   // no unit: no engineering value
    EXPECT_EQ(text("LblDisplayE2"), QString());
    EXPECT_EQ(text("LblDisplayRAM"), QString());

    select(0);
    EXPECT_EQ(text("lblName"), QString());
    EXPECT_EQ(text("LblAddress"), QStringLiteral("-------"));
    EXPECT_EQ(text("LblTooltip"), QStringLiteral("-------"));
    EXPECT_EQ(text("LblMonitorName"), QStringLiteral("-------"));
    EXPECT_EQ(text("LblUnit"), QStringLiteral("---"));
    EXPECT_EQ(ctl().accessCount(), 0);
}

TEST_F(DebugPage, TypedAddressSelectsItsVariableInBothForms)
{
    type(QStringLiteral("txtAddress"), QStringLiteral("0040.30"), true);
    EXPECT_EQ(selected(), VbbLive);
    select(ProgVersion);
    type(QStringLiteral("txtAddress"), QStringLiteral("004030"), true);
    EXPECT_EQ(selected(), VbbLive);
    EXPECT_EQ(w<QLineEdit>(QStringLiteral("txtAddress"))->text(), QStringLiteral("0040.30"));

    // Typing the selected variable's address again still shows it afresh.
    w<QLabel>(QStringLiteral("lblE2Data"))->setText(QStringLiteral("x"));
    type(QStringLiteral("txtAddress"), QStringLiteral("4030"), true);
    EXPECT_EQ(selected(), VbbLive);
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("0"));

    EXPECT_TRUE(bed.messages.shown.isEmpty());

    // No variable there: said so, and nothing stays selected for a command to work on.
    type(QStringLiteral("txtAddress"), QStringLiteral("1234AB"), true);
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Address not in the variable list")});
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(text("LblAddress"), QStringLiteral("-------"));
    EXPECT_EQ(w<QLineEdit>(QStringLiteral("txtAddress"))->text(), QStringLiteral("1234AB"));
    click(QStringLiteral("cmdRead"));
    EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Address Not Valid")));
    EXPECT_EQ(bed.links.created, 0);
}

TEST_F(DebugPage, AddressThatIsNotHexadecimalIsRefused)
{
    select(VbbLow);
    type(QStringLiteral("txtAddress"), QStringLiteral("12G4"), true);
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Address Not Valid : '12G4'")));
    EXPECT_EQ(selected(), VbbLow);   // selection unchanged
    EXPECT_EQ(text("LblAddress"), QStringLiteral("0020.10"));

    type(QStringLiteral("txtAddress"), QStringLiteral("1234567"), true);   // more than 24 bits
    EXPECT_EQ(bed.messages.shown.size(), 2);
    EXPECT_EQ(selected(), VbbLow);
    EXPECT_EQ(bed.links.created, 0);
}

TEST_F(DebugPage, ReadShowsTheEepromWordAndStoresIt)
{
    select(VbbLow);
    ctl().setWord(VbbLowAddress, 95);
    click(QStringLiteral("cmdRead"));

    ASSERT_EQ(ctl().accessCount(), 1);
    const FakeController::Access &a = ctl().log.first();
    EXPECT_FALSE(a.write);
    EXPECT_EQ(a.a, 0x20);
    EXPECT_EQ(a.b, 0x10);
    EXPECT_EQ(a.t, 2);
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("95"));
    EXPECT_EQ(text("LblDisplayE2"), QStringLiteral("950"));   // X*10
    EXPECT_EQ(var(VbbLow).QelValueE2, 95);
    EXPECT_EQ(var(VbbLow).KrvDisplayValueE2, 950);
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);
    EXPECT_EQ(bed.session.StatusText, QStringLiteral("Debug: Reading..."));
    EXPECT_TRUE(bed.mainWindow.progress.history.contains(100));
    EXPECT_EQ(bed.session.ProgressPercent, 0);
    EXPECT_TRUE(bed.messages.shown.isEmpty());
    EXPECT_EQ(bed.controller().lastConnection, QStringLiteral("GDB:1,1000,#COM:1,9600,N,8,1"));
}

TEST_F(DebugPage, DisplayShowsTheRamWordWithItsFraction)
{
    select(VbbLive);
    ctl().setWord(VbbLiveAddress, 1234);
    const int32_t e2Before = var(VbbLive).QelValueE2;
    click(QStringLiteral("cmdDisplay"));
    EXPECT_EQ(text("lblRAMData"), QStringLiteral("1234"));
    EXPECT_EQ(text("LblDisplayRAM"), QStringLiteral("12.34"));   // X/100, kept fractional
    EXPECT_EQ(var(VbbLive).QelValueRAM, 1234);
    EXPECT_EQ(var(VbbLive).QelValueE2, e2Before);
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("0"));
    EXPECT_EQ(bed.session.StatusText, QStringLiteral("Debug: Displaying..."));

    ctl().setWord(VbbLiveAddress, 0xFFFF);   // a word arrives signed
    click(QStringLiteral("cmdDisplay"));
    EXPECT_EQ(text("lblRAMData"), QStringLiteral("-1"));
}

TEST_F(DebugPage, FailedReadKeepsTheCatalogueAndShowsTheFailure)
{
    select(VbbLow);
    var(VbbLow).QelValueE2 = 321;
    ctl().setWord(VbbLowAddress, 95);
    ctl().failAt = 1;
    click(QStringLiteral("cmdRead"));
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("Operation Failed :FAILED!\rno answer from the control unit"));
    EXPECT_EQ(bed.messages.shown.last().buttons, MessageService::Buttons::Ok);
    EXPECT_EQ(var(VbbLow).QelValueE2, 321);
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("---"));
    // not the green "Connected" of a link that works
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::NotConnected);
    FakeStatusBar status;
    FakeProgressBar progress;
    page->DrawBar(status, progress, QString());
    EXPECT_EQ(status.icons[1], StateIcon::Red);

    // A later command that succeeds brings the state back to connected.
    click(QStringLiteral("cmdRead"));
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("95"));
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);
}

TEST_F(DebugPage, WriteSendsTheWordToBothColumnsAndSetOnlyToRam)
{
    select(VbbLow);
    type(QStringLiteral("TxtData"), QStringLiteral("40000"));
    click(QStringLiteral("cmdWrite"));
    ASSERT_EQ(ctl().accessCount(), 1);
    EXPECT_TRUE(ctl().log[0].write);
    EXPECT_EQ(ctl().log[0].t, 3);
    EXPECT_EQ(ctl().log[0].value.toDouble(), -25536.0);   // the low 16 bits, signed
    EXPECT_EQ(ctl().word(VbbLowAddress), -25536);
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("40000"));
    EXPECT_EQ(text("lblRAMData"), QStringLiteral("40000"));
    EXPECT_EQ(var(VbbLow).QelValueE2, 40000);
    EXPECT_EQ(var(VbbLow).QelValueRAM, 40000);
    EXPECT_EQ(text("LblDisplayE2"), QStringLiteral("400000"));
    EXPECT_EQ(bed.session.StatusText, QStringLiteral("Debug: Writing..."));
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);

    type(QStringLiteral("TxtData"), QStringLiteral("-5"));
    click(QStringLiteral("cmdSet"));
    ASSERT_EQ(ctl().accessCount(), 2);
    EXPECT_EQ(ctl().word(VbbLowAddress), -5);
    EXPECT_EQ(text("lblRAMData"), QStringLiteral("-5"));
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("40000"));
    EXPECT_EQ(var(VbbLow).QelValueRAM, -5);
    EXPECT_EQ(var(VbbLow).QelValueE2, 40000);
    EXPECT_EQ(bed.session.StatusText, QStringLiteral("Debug: Setting..."));

    ctl().failAt = 3;
    type(QStringLiteral("TxtData"), QStringLiteral("7"));
    click(QStringLiteral("cmdWrite"));
    EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Operation Failed :FAILED!\r")));
    EXPECT_EQ(var(VbbLow).QelValueE2, 40000);
    EXPECT_EQ(var(VbbLow).QelValueRAM, -5);
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::NotConnected);
}

TEST_F(DebugPage, ValueThatIsNotAWholeWordIsRefusedAndNothingSent)
{
    select(VbbLow);
    for (const char *bad : {"", "1.5", "12,0", "abc", "70000", "-32769"}) {
        for (const char *button : {"cmdWrite", "cmdSet"}) {
            bed.messages.shown.clear();
            type(QStringLiteral("TxtData"), QString::fromLatin1(bad));
            click(QString::fromLatin1(button));
            ASSERT_EQ(bed.messages.shown.size(), 1) << bad << " " << button;
            EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Value Not Valid")));
            EXPECT_TRUE(bed.messages.lastText().contains(QStringLiteral("-32768 to 65535")));
        }
    }
    EXPECT_EQ(bed.links.created, 0);   // not even the link was opened
    EXPECT_EQ(ctl().accessCount(), 0);
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("0"));
}

TEST_F(DebugPage, CommandsWithoutAnAddressAreRefused)
{
    // Nothing selected yet, then the "-------" item: no address to work on.
    for (int index : {-1, 0}) {
        select(index);
        type(QStringLiteral("TxtData"), QStringLiteral("5"));
        for (const char *button : {"cmdRead", "cmdDisplay", "cmdWrite", "cmdSet", "cmdMonitor"}) {
            bed.messages.shown.clear();
            click(QString::fromLatin1(button));
            ASSERT_EQ(bed.messages.shown.size(), 1) << button;
            EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Address Not Valid")));
        }
    }
    EXPECT_FALSE(page->tmrDebug()->isActive());
    EXPECT_EQ(ctl().accessCount(), 0);
    EXPECT_EQ(bed.links.created, 0);
}

TEST_F(DebugPage, LinkThatCannotBeOpenedMakesTheCommandDoNothing)
{
    select(VbbLow);
    ctl().refuseOpen = true;
    click(QStringLiteral("cmdRead"));
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Can't Open COM 1: port refused (")))
        << bed.messages.lastText().toStdString();
    EXPECT_EQ(text("lblE2Data"), QStringLiteral("0"));
    EXPECT_EQ(ctl().accessCount(), 0);
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::NotConnected);
}

TEST_F(DebugPage, MonitorTogglesPollingAndTheSevenWidgets)
{
    FakePageSet pages;
    FakePage front(QStringLiteral("A5"), 0, 0);
    QList<bool> busyDuringRefresh;
    front.onDrawBar = [&] { busyDuringRefresh << page->StatusTimerForm(); };
    pages.current = &front;
    bed.session.pages = &pages;

    select(VbbLive);
    ctl().setWord(VbbLiveAddress, 1200);
    click(QStringLiteral("cmdMonitor"));
    ASSERT_TRUE(page->tmrDebug()->isActive());
    EXPECT_EQ(page->tmrDebug()->interval(), 20);
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::DebuggerBusy);
    for (const QString &name : SevenLocked)
        EXPECT_FALSE(w(name)->isEnabled()) << name.toStdString();
    EXPECT_TRUE(w(QStringLiteral("cmdMonitor"))->isEnabled());

    PageTestBed::runEvents(150);
    const int reads = ctl().accessCount();
    EXPECT_GE(reads, 3);
    for (const auto &access : ctl().log) {
        EXPECT_FALSE(access.write);
        EXPECT_EQ(access.a * 256 + access.b, VbbLiveAddress);
    }
    EXPECT_EQ(text("lblRAMData"), QStringLiteral("1200"));
    EXPECT_EQ(text("LblDisplayRAM"), QStringLiteral("12"));
    EXPECT_EQ(bed.session.StatusText, QStringLiteral("Debug: Monitoring..."));
    EXPECT_GT(bed.session.ProgressPercent, 0);   // the running progress
    EXPECT_TRUE(busyDuringRefresh.contains(true));
    EXPECT_FALSE(page->StatusTimerForm());         // between ticks

    ctl().setWord(VbbLiveAddress, 500);   // the monitor follows the controller
    PageTestBed::runEvents(60);
    EXPECT_EQ(text("lblRAMData"), QStringLiteral("500"));
    EXPECT_EQ(var(VbbLive).QelValueRAM, 500);

    click(QStringLiteral("cmdMonitor"));   // second press stops
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);
    EXPECT_TRUE(page->MonitorStop);
    for (const QString &name : SevenLocked)
        EXPECT_TRUE(w(name)->isEnabled()) << name.toStdString();
    PageTestBed::runEvents(60);
    EXPECT_FALSE(page->tmrDebug()->isActive());
    EXPECT_EQ(bed.session.StatusText, QStringLiteral("Debug..."));
    EXPECT_EQ(bed.session.ProgressPercent, 0);
    const int after = ctl().accessCount();
    PageTestBed::runEvents(60);
    EXPECT_EQ(ctl().accessCount(), after);
    EXPECT_TRUE(bed.messages.shown.isEmpty());
    bed.session.pages = nullptr;
}

TEST_F(DebugPage, FailedMonitorReadEndsMonitoringDisconnected)
{
    select(VbbLive);
    click(QStringLiteral("cmdMonitor"));
    PageTestBed::runEvents(60);
    ctl().failAt = ctl().accessCount() + 1;
    ctl().failFromThen = true;
    PageTestBed::runEvents(100);
    EXPECT_FALSE(page->tmrDebug()->isActive());
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Operation Failed :FAILED!\rno answer from the control unit")});
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_FALSE(page->StatusTimerForm());
    for (const QString &name : SevenLocked)
        EXPECT_TRUE(w(name)->isEnabled()) << name.toStdString();
}

TEST_F(DebugPage, LeavingThePageOrDisableTimerStopsTheMonitor)
{
    select(VbbLive);
    click(QStringLiteral("cmdMonitor"));
    PageTestBed::runEvents(50);
    page->Deactivate();
    EXPECT_TRUE(page->MonitorStop);
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);
    PageTestBed::runEvents(50);
    EXPECT_FALSE(page->tmrDebug()->isActive());

    page->Activate();
    EXPECT_FALSE(page->MonitorStop);
    click(QStringLiteral("cmdMonitor"));
    ASSERT_TRUE(page->tmrDebug()->isActive());
    page->DisableTimer();
    PageTestBed::runEvents(50);
    EXPECT_FALSE(page->tmrDebug()->isActive());
    EXPECT_FALSE(page->StatusTimerForm());
}

TEST_F(DebugPage, LoggedOutDisablesEveryWidgetWhateverTheConnection)
{
    for (int16_t state : {ConnectionState::NotConnected, ConnectionState::Connected}) {
        bed.session.IsConnectObj = state;
        bed.loggedIn = false;
        page->applyLoginDependency();
        const auto widgets = page->findChildren<QWidget *>();
        ASSERT_GT(widgets.size(), 30);
        for (QWidget *child : widgets)
            EXPECT_FALSE(child->isEnabled()) << child->objectName().toStdString();
        bed.loggedIn = true;
        page->Activate();
        for (QWidget *child : widgets)
            EXPECT_TRUE(child->isEnabled()) << child->objectName().toStdString();
    }

    // Logout while monitoring stops the timer at once.
    select(VbbLive);
    click(QStringLiteral("cmdMonitor"));
    ASSERT_TRUE(page->tmrDebug()->isActive());
    bed.loggedIn = false;
    page->applyLoginDependency();
    EXPECT_FALSE(page->tmrDebug()->isActive());
    EXPECT_FALSE(w(QStringLiteral("cmdMonitor"))->isEnabled());
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);
}

TEST_F(DebugPage, DrawBarFollowsLoginAndConnection)
{
    FakeStatusBar status;
    FakeProgressBar progress;
    bed.loggedIn = false;
    bed.session.IsConnectObj = ConnectionState::Connected;
    page->DrawBar(status, progress, QString());
    EXPECT_TRUE(bed.mainWindow.buttons[12].enabled);
    EXPECT_FALSE(bed.mainWindow.buttons[13].enabled);
    EXPECT_TRUE(bed.mainWindow.menus[QStringLiteral("mnuSet_Login")].enabled);
    EXPECT_FALSE(bed.mainWindow.menus[QStringLiteral("mnuSet_Logout")].enabled);
    EXPECT_EQ(status.icons[1], StateIcon::Green);
    for (const char *menu : {"mnuHW_ReadAll", "mnuHW_WriteAll", "mnuHw_Reset", "mnuHw_Read", "mnuHW_Write",
                             "mnuSet_ComID"})
        EXPECT_FALSE(bed.mainWindow.menus[QString::fromLatin1(menu)].enabled) << menu;
    for (int button : {4, 5, 7, 9, 10})
        EXPECT_FALSE(bed.mainWindow.buttons[button].enabled) << button;
    EXPECT_TRUE(bed.mainWindow.buttons[19].enabled);
    EXPECT_TRUE(bed.mainWindow.buttons[19].pressed);

    bed.loggedIn = true;
    bed.session.IsConnectObj = ConnectionState::NotConnected;
    bed.session.ProgressPercent = 40;
    page->DrawBar(status, progress, QString());
    EXPECT_FALSE(bed.mainWindow.buttons[12].enabled);
    EXPECT_TRUE(bed.mainWindow.buttons[13].enabled);
    EXPECT_EQ(status.icons[1], StateIcon::Red);
    EXPECT_EQ(bed.session.ProgressPercent, 0);
}

TEST_F(DebugPage, ResetAsksThenSendsLoadAndClosesTheLink)
{
    const QString question = QStringLiteral("Restore every parameter of the control unit to its default values?");
    bed.session.IsConnectObj = ConnectionState::Connected;
    bed.messages.answers.push_back(MessageService::Answer::No);
    click(QStringLiteral("cmdReset"));
    EXPECT_EQ(shownTexts(), QStringList{question});
    EXPECT_EQ(bed.messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(bed.links.created, 0) << "No: not even the link is opened";
    EXPECT_EQ(ctl().accessCount(), 0);
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);

    bed.messages.shown.clear();
    click(QStringLiteral("cmdReset"));
    ASSERT_EQ(ctl().accessCount(), 1);
    EXPECT_EQ(ctl().log[0].a, 1024);
    EXPECT_EQ(ctl().log[0].t, 19);
    EXPECT_EQ(ctl().longs.value(1024), 1145130828);
    ASSERT_EQ(bed.messages.shown.size(), 2);
    EXPECT_EQ(bed.messages.shown[0].text, question);
    EXPECT_EQ(bed.messages.lastText(),
              QStringLiteral("POWER RESET Needed For Default Parameters Configuration To Be Effective !!!"));
    EXPECT_EQ(bed.messages.shown.last().icon, MessageService::Icon::Information);
    EXPECT_EQ(bed.session.devLink.LinkState, DevLink::State::Close);
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_TRUE(page->isEnabled());

    bed.messages.shown.clear();
    bed.session.IsConnectObj = ConnectionState::Connected;
    ctl().failAt = 2;
    click(QStringLiteral("cmdReset"));
    EXPECT_EQ(shownTexts(), (QStringList{question, QStringLiteral("Operation Failed!\rno answer from the control unit")}));
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_TRUE(page->isEnabled());
}

TEST_F(DebugPage, DitherRowsReadLimitAndUpdate)
{
    auto *amp = w<QLineEdit>(QStringLiteral("TxtDataD_0"));
    auto *perc = w<QLineEdit>(QStringLiteral("TxtDataD_1"));
    auto *freq = w<QLineEdit>(QStringLiteral("TxtDataD_2"));
    auto *percSlider = w<QScrollBar>(QStringLiteral("hscData_1"));
    EXPECT_EQ(percSlider->maximum(), 50);
    EXPECT_EQ(w<QScrollBar>(QStringLiteral("hscData_2"))->minimum(), 40);
    // Until DISPLAY the rows show what the catalogue holds (the list's defaults here).
    EXPECT_EQ(amp->text(), QString::number(var(bed.session.catalogue.index(KRV_DITHER_AMP)).QelValueE2));
    EXPECT_EQ(perc->text(), QStringLiteral("10"));
    EXPECT_EQ(freq->text(), QStringLiteral("100"));

    ctl().setWord(0x0020C2, 120);   // amplitude
    ctl().setWord(0x0020C0, 150);   // frequency
    ctl().setWord(0x0020C4, 25);    // percentage
    click(QStringLiteral("CmdDitherRead"));
    ASSERT_EQ(ctl().accessCount(), 3);
    EXPECT_EQ(ctl().log[0].b, 0xC2);   // amplitude, frequency, percentage
    EXPECT_EQ(ctl().log[1].b, 0xC0);
    EXPECT_EQ(ctl().log[2].b, 0xC4);
    EXPECT_EQ(amp->text(), QStringLiteral("120"));
    EXPECT_EQ(perc->text(), QStringLiteral("25"));
    EXPECT_EQ(freq->text(), QStringLiteral("150"));
    EXPECT_EQ(percSlider->value(), 25);

    type(QStringLiteral("TxtDataD_1"), QStringLiteral("12,6"), true);
    EXPECT_EQ(percSlider->value(), 13);
    EXPECT_EQ(perc->text(), QStringLiteral("13"));
    type(QStringLiteral("TxtDataD_1"), QStringLiteral("99.0"), true);
    EXPECT_EQ(percSlider->value(), 50);   // limited to the variable's maximum
    EXPECT_EQ(perc->text(), QStringLiteral("50"));
    percSlider->setValue(30);             // the slider writes back as if typed
    EXPECT_EQ(perc->text(), QStringLiteral("30"));

    type(QStringLiteral("TxtDataD_0"), QStringLiteral("abc"), true);
    EXPECT_TRUE(bed.messages.lastText().startsWith(QStringLiteral("Value Not Valid : 'abc'")));
    EXPECT_EQ(amp->text(), QStringLiteral("120"));

    type(QStringLiteral("TxtDataD_2"), QStringLiteral("200"));   // typed, Enter not pressed
    ctl().log.clear();
    click(QStringLiteral("CmdUpdate"));
    ASSERT_EQ(ctl().accessCount(), 4);
    const int32_t expected[][2] = {{0x0020C2, 120}, {0x0020C4, 30}, {0x0020C0, 200}, {0x004080, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(ctl().log[i].write);
        EXPECT_EQ(ctl().log[i].a * 256 + ctl().log[i].b, expected[i][0]) << i;
        EXPECT_EQ(ctl().log[i].value.toInt(), expected[i][1]) << i;
    }
    EXPECT_EQ(bed.session.IsConnectObj.value(), ConnectionState::Connected);

    // A row that is not a number stops the update before anything is sent.
    ctl().log.clear();
    type(QStringLiteral("TxtDataD_0"), QStringLiteral("x1"));
    click(QStringLiteral("CmdUpdate"));
    EXPECT_EQ(ctl().accessCount(), 0);
}

TEST_F(DebugPage, HelpKeyOpensTheManualAtPage33)
{
    page->show();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    w(QStringLiteral("txtAddress"))->setFocus();
    QTest::keyClick(w(QStringLiteral("txtAddress")), Qt::Key_F1);
    ASSERT_EQ(bed.viewer.calls.size(), 1);
    EXPECT_TRUE(bed.viewer.calls[0].second.startsWith(QStringLiteral("/A \"page=33&")));
}

TEST_F(DebugPage, WriteSetAndUpdateAreRecordedWithTheUnitsOldValues)
{
    QTemporaryDir folder;
    ServiceHistory store(folder.filePath(QStringLiteral("history.sqlite")));
    bed.session.history.setStore(&store);
    ctl().longs[KeyCommands::ProductionAddress] = 0x00A1B2C3;
    ctl().setWord(VbbLowAddress, 900);
    select(VbbLow);
    click(QStringLiteral("cmdRead"));
    type(QStringLiteral("TxtData"), QStringLiteral("950"));
    click(QStringLiteral("cmdWrite"));
    type(QStringLiteral("TxtData"), QStringLiteral("-5"));
    click(QStringLiteral("cmdSet"));
    ctl().failAt = ctl().accessCount() + 1;
    type(QStringLiteral("TxtData"), QStringLiteral("7"));
    click(QStringLiteral("cmdWrite"));
    EXPECT_EQ(ctl().word(VbbLowAddress), -5);
    ctl().failAt = 0;
    click(QStringLiteral("CmdUpdate"));

    const QList<ServiceHistory::Row> rows = store.rows();
    ASSERT_EQ(rows.size(), 7);
    const QString name = var(VbbLow).Name;
    // newest first: the four words of UPDATE, the failed WRITE, SET, WRITE
    const QStringList expected[] = {
        {"Debugger UPDATE", "DITHER_UPDATE", "", "1", "done"},
        {"Debugger WRITE", name, "-50 mV", "70 mV", "failed"},
        {"Debugger SET", name, "9500 mV", "-50 mV", "done"},
        {"Debugger WRITE", name, "9000 mV", "9500 mV", "done"},
    };
    for (int k = 0; k < 4; ++k) {
        const int r = k == 0 ? 0 : k + 3;
        const QStringList f = rows[r].fields();
        EXPECT_EQ(QStringList({f[6], f[7], f[8], f[9], f[11]}).join('|'), expected[k].join('|')) << r;
    }
    EXPECT_EQ(rows[6].production, QStringLiteral("0xA1B2C3"));
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(rows[r].action, QStringLiteral("Debugger UPDATE")) << r;
    bed.session.history.setStore(nullptr);
}
