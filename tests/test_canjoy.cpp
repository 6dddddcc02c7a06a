// The CAN joystick and digital settings window on the shipped variable list:
// what activation shows, the change rules, the numbers, Ok and Cancel.

#include "frmconfig.h"
#include "frmjoycan.h"
#include "joycanwords.h"
#include "pagetestbed.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace JoyCanWords;

// Every variable the window reads or writes.
const KrvId AllVariables[] = {
    KRV_JOY_NODE_ID, KRV_JOY_TIMEOUT, KRV_FLOAT_CURRENT_1, KRV_FLOAT_CURRENT_2, KRV_FLOAT_CURRENT_3,
    KRV_FLOAT_CURRENT_4, KRV_FLOAT_MAG_SIDE, KRV_FLOAT_CONFIG_1, KRV_FLOAT_CONFIG_2, KRV_DGT_CONFIG_1,
    KRV_DGT_CONFIG_2, KRV_DGT_CONFIG_3, KRV_DGT_CONFIG_4, KRV_DGT_CONFIG_5, KRV_DGT_CONFIG_6, KRV_DGT_CONFIG_7,
    KRV_DGT_CONFIG_8, KRV_JOY_0_CONFIG, KRV_JOY_1_CONFIG, KRV_JOY_2_CONFIG, KRV_JOY_3_CONFIG, KRV_JOY_0_ID,
    KRV_JOY_1_ID, KRV_JOY_2_ID, KRV_JOY_3_ID, KRV_JOY_0_INV, KRV_JOY_1_INV, KRV_JOY_2_INV, KRV_JOY_3_INV,
    KRV_SP_0_MACRO, KRV_SP_1_MACRO, KRV_SP_2_MACRO, KRV_SP_3_MACRO,
};

class CanJoystickWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // a controller as read: every variable its default, then a few set
        for (KrvId id : AllVariables)
            read(id, bed.session.catalogue.data(id)->QelValueDefault);
        bed.session.catalogue.ConfigSaved = true;
        window = std::make_unique<FrmJoyCan>(bed.session);
        window->setConfigDrawJoy([this] { ++drawJoys; });
    }

    void read(KrvId id, int32_t value) { bed.session.catalogue.entry(id)->ReadE2FromQEL(value); }
    int32_t download(KrvId id) const { return bed.session.catalogue.data(id)->KrvDownloadValueE2; }
    int32_t display(KrvId id) const { return bed.session.catalogue.data(id)->KrvDisplayValueE2; }

    template <typename T> T *widget(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QComboBox *combo(const char *array, int index) const
    {
        return widget<QComboBox>(QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index));
    }
    QCheckBox *check(const QString &name) const { return widget<QCheckBox>(name); }
    QLineEdit *text(const char *name) const { return widget<QLineEdit>(QLatin1String(name)); }
    QScrollBar *bar(const char *name) const { return widget<QScrollBar>(QLatin1String(name)); }

    void showWindow()
    {
        window->open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void click(const char *name) { QTest::mouseClick(widget<QPushButton>(QLatin1String(name)), Qt::LeftButton); }
    void choose(QComboBox *box, const QString &item)
    {
        const int index = box->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        box->setCurrentIndex(index);
    }
    void type(QLineEdit *box, const QString &keys)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, keys);
    }

    PageTestBed bed;
    std::unique_ptr<FrmJoyCan> window;
    int drawJoys = 0;
};

TEST(JoyCanWords, PackAndSplitTheControllerWords)
{
    // DI_03 sensed on EDGE at byte 2, bit 5; DI_04 off
    EXPECT_EQ(inputByte({2, 2, 5}), 170);
    EXPECT_EQ(inputWord(170, 0), 0x00AA);
    EXPECT_EQ(splitInputByte(170), (DigitalInput{2, 2, 5}));
    EXPECT_EQ(inputWord(0, 0xE1), asWord(0xE100));
    EXPECT_LT(inputWord(0, 0xE1), 0); // a high byte of 128 or more sets bit 15
    EXPECT_EQ(highByte(inputWord(0x12, 0xE1)), 0xE1);
    EXPECT_EQ(lowByte(inputWord(0x12, 0xE1)), 0x12);

    EXPECT_EQ(channelWord({1, 1, 0, 0}), 0x0011);
    EXPECT_EQ(channelWord({2, 7, 3, 5}), 0x5372);
    EXPECT_EQ(channelWord({2, 7, 3, 9}), asWord(0x9372));
    EXPECT_EQ(splitChannelWord(asWord(0x9372)), (Channel{2, 7, 3, 9}));
    EXPECT_EQ(channelPicture({0, 7, 0, 0}), 8);
    EXPECT_EQ(channelPicture({1, 0, 0, 0}), 0);
    EXPECT_EQ(channelPicture({1, 1, 0, 0}), 1);
    EXPECT_EQ(channelPicture({1, 4, 0, 0}), 2);
    EXPECT_EQ(channelPicture({3, 7, 1, 2}), 5);
    EXPECT_EQ(channelPicture({4, 7, 1, 2}), 5);

    const FunctionInputs f{1, 2, 3, 9, 14, 5};
    EXPECT_EQ(functionWord1(f) & 0xFFFF, 0x9321);
    EXPECT_EQ(functionWord1(f), -27871);
    EXPECT_EQ(functionWord2(f), 14 + 16 * 5);
    EXPECT_EQ(splitFunctionWords(functionWord1(f), functionWord2(f)), f);
}

TEST_F(CanJoystickWindow, ListsAndCaptions)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Configure Joystick Can"));
    EXPECT_EQ(widget<QLabel>(QStringLiteral("LblGgtName_1"))->text(), QStringLiteral("DI_01"));
    EXPECT_EQ(widget<QLabel>(QStringLiteral("LblGgtName_14"))->text(), QStringLiteral("DI_14"));
    EXPECT_EQ(widget<QLabel>(QStringLiteral("LblJoyName_3"))->text(), QStringLiteral("Joy 4"));
    for (QComboBox *box : {combo("CmbDgtIndex", 5), combo("CmbJoyDgtA", 0), combo("CmbJoyDgtB", 3)}) {
        ASSERT_EQ(box->count(), 15);
        EXPECT_EQ(box->itemText(0), QStringLiteral("OFF"));
        EXPECT_EQ(box->itemText(5), QStringLiteral("DI_05"));
        EXPECT_EQ(box->itemText(14), QStringLiteral("DI_14"));
    }
    QStringList types;
    for (int i = 0; i < combo("CmbJoyType", 2)->count(); ++i)
        types << combo("CmbJoyType", 2)->itemText(i);
    EXPECT_EQ(types, (QStringList{"OFF", "Propotional", "Digial Reg.", "Digial Not Reg.", "ON/OFF Indipendent"}));
    EXPECT_EQ(combo("CmbJoyWord", 1)->count(), 8);
    EXPECT_EQ(combo("CmbJoyWord", 1)->itemText(4), QStringLiteral("W"));
    EXPECT_EQ(combo("CmbJoyWord", 1)->itemText(7), QStringLiteral(" "));
    EXPECT_EQ(combo("CmbDgtType", 14)->itemText(2), QStringLiteral("EDGE"));
    EXPECT_EQ(combo("CmbByteNum", 7)->count(), 8);
    EXPECT_EQ(combo("CmbBitNum", 7)->itemText(7), QStringLiteral("7"));
    EXPECT_EQ(combo("CmbJoyInversion", 0)->itemText(1), QStringLiteral("YES"));
    EXPECT_EQ(check(QStringLiteral("ChkFloat_4"))->text(), QStringLiteral("On Side B"));
    EXPECT_NE(window->findChild<QScrollBar *>(QStringLiteral("HscCurrentFloat4")), nullptr);
    EXPECT_NE(window->findChild<QScrollBar *>(QStringLiteral("hscCurrentFloat3")), nullptr);
}

TEST_F(CanJoystickWindow, ActivationShowsTheCatalogue)
{
    read(KRV_JOY_NODE_ID, 7);
    read(KRV_JOY_TIMEOUT, 350);
    read(KRV_FLOAT_CURRENT_2, 750);
    read(KRV_FLOAT_MAG_SIDE, 0b0101);
    read(KRV_DGT_CONFIG_2, 0x00AA);
    read(KRV_JOY_0_CONFIG, 0x0011);
    read(KRV_JOY_2_CONFIG, 0x5372);
    read(KRV_JOY_3_CONFIG, 0x0000);
    read(KRV_FLOAT_CONFIG_1, asWord(0x9321));
    read(KRV_FLOAT_CONFIG_2, 0x0004);
    read(KRV_JOY_1_INV, 0);
    read(KRV_JOY_2_INV, 85);
    read(KRV_SP_1_MACRO, 5);
    showWindow();

    EXPECT_EQ(text("TxtJoyID")->text(), QStringLiteral("7"));
    EXPECT_EQ(bar("hscJoyID")->minimum(), 1);
    EXPECT_EQ(bar("hscJoyID")->maximum(), 127);
    EXPECT_EQ(bar("hscJoyID")->value(), 7);
    EXPECT_EQ(text("TxtJoyTimeout")->text(), QStringLiteral("350"));
    EXPECT_EQ(bar("hscJoyTimeout")->maximum(), 2000);
    EXPECT_EQ(text("TxtCurrentFloat2")->text(), QStringLiteral("750"));
    EXPECT_EQ(bar("hscCurrentFloat2")->value(), 750);
    for (const char *box : {"TxtCurrentFloat2", "TxtJoyTimeout"}) {
        QLineEdit *edit = text(box);
        const int room = edit->contentsRect().width() - edit->textMargins().left() - edit->textMargins().right();
        EXPECT_GE(room, edit->fontMetrics().horizontalAdvance(QStringLiteral("15000"))) << box << " shows five digits whole";
    }
    EXPECT_TRUE(check(QStringLiteral("ChkFloat_1"))->isChecked());
    EXPECT_FALSE(check(QStringLiteral("ChkFloat_2"))->isChecked());
    EXPECT_TRUE(check(QStringLiteral("ChkFloat_3"))->isChecked());

    // DI_03 EDGE, byte 2, bit 5; DI_04 off with its pair cleared and locked
    EXPECT_EQ(combo("CmbDgtType", 3)->currentText(), QStringLiteral("EDGE"));
    EXPECT_EQ(combo("CmbByteNum", 3)->currentText(), QStringLiteral("2"));
    EXPECT_EQ(combo("CmbBitNum", 3)->currentText(), QStringLiteral("5"));
    EXPECT_TRUE(combo("CmbByteNum", 3)->isEnabled());
    EXPECT_EQ(combo("CmbDgtType", 4)->currentText(), QStringLiteral("OFF"));
    EXPECT_FALSE(combo("CmbByteNum", 4)->isEnabled());
    EXPECT_FALSE(combo("CmbBitNum", 4)->isEnabled());

    EXPECT_EQ(combo("CmbJoyType", 0)->currentText(), QStringLiteral("Propotional"));
    EXPECT_EQ(combo("CmbJoyWord", 0)->currentText(), QStringLiteral("Y"));
    EXPECT_TRUE(combo("CmbJoyWord", 0)->isEnabled());
    EXPECT_FALSE(combo("CmbJoyDgtA", 0)->isEnabled());
    EXPECT_EQ(combo("CmbJoyType", 2)->currentText(), QStringLiteral("Digial Reg."));
    EXPECT_EQ(combo("CmbJoyWord", 2)->currentIndex(), 7);
    EXPECT_FALSE(combo("CmbJoyWord", 2)->isEnabled());
    EXPECT_EQ(combo("CmbJoyDgtA", 2)->currentText(), QStringLiteral("DI_03"));
    EXPECT_EQ(combo("CmbJoyDgtB", 2)->currentText(), QStringLiteral("DI_05"));
    EXPECT_TRUE(combo("CmbJoyDgtB", 2)->isEnabled());
    EXPECT_EQ(combo("CmbJoyType", 3)->currentText(), QStringLiteral("OFF"));
    EXPECT_FALSE(combo("CmbJoyWord", 3)->isEnabled());
    EXPECT_FALSE(combo("CmbJoyDgtA", 3)->isEnabled());

    // 0x9321 and 0x04: dead-man DI_01, fast/slow DI_02, floats DI_03, DI_09, DI_04 and off
    const QStringList functions{"DI_01", "DI_02", "DI_03", "DI_09", "DI_04", "OFF"};
    for (int j = 0; j < 6; ++j)
        EXPECT_EQ(combo("CmbDgtIndex", j)->currentText(), functions[j]) << j;
    EXPECT_TRUE(text("TxtCurrentFloat3")->isEnabled());
    EXPECT_FALSE(text("TxtCurrentFloat4")->isEnabled());
    EXPECT_FALSE(bar("HscCurrentFloat4")->isEnabled());
    EXPECT_FALSE(check(QStringLiteral("ChkFloat_4"))->isEnabled());

    EXPECT_EQ(combo("CmbJoyInversion", 1)->currentText(), QStringLiteral("YES")); // 0 is not NO
    EXPECT_EQ(combo("CmbJoyInversion", 2)->currentText(), QStringLiteral("NO"));
    EXPECT_TRUE(check(QStringLiteral("ChkUpEn_1"))->isChecked());
    EXPECT_FALSE(check(QStringLiteral("ChkUpJoyNeutral_1"))->isChecked());
    EXPECT_TRUE(check(QStringLiteral("ChkNeutralNeed_1"))->isChecked());
    EXPECT_TRUE(bed.session.catalogue.ConfigSaved); // showing changes nothing
}

TEST_F(CanJoystickWindow, OkWritesTheWordsOfTheRows)
{
    read(KRV_JOY_1_INV, 0);
    showWindow();
    choose(combo("CmbDgtType", 3), QStringLiteral("EDGE"));
    choose(combo("CmbByteNum", 3), QStringLiteral("2"));
    choose(combo("CmbBitNum", 3), QStringLiteral("5"));
    choose(combo("CmbDgtType", 4), QStringLiteral("OFF"));

    choose(combo("CmbJoyType", 0), QStringLiteral("Propotional"));
    choose(combo("CmbJoyWord", 0), QStringLiteral("Y"));
    choose(combo("CmbJoyType", 1), QStringLiteral("Propotional"));
    choose(combo("CmbJoyWord", 1), QStringLiteral("W"));
    choose(combo("CmbJoyType", 2), QStringLiteral("Digial Reg."));
    choose(combo("CmbJoyDgtA", 2), QStringLiteral("DI_03"));
    choose(combo("CmbJoyDgtB", 2), QStringLiteral("DI_05"));
    choose(combo("CmbJoyType", 3), QStringLiteral("OFF"));

    const QStringList functions{"DI_01", "DI_02", "DI_03", "DI_09", "DI_14", "DI_05"};
    for (int j = 0; j < 6; ++j)
        choose(combo("CmbDgtIndex", j), functions[j]);
    check(QStringLiteral("ChkFloat_2"))->setChecked(true);
    check(QStringLiteral("ChkFloat_4"))->setChecked(true);
    choose(combo("CmbJoyInversion", 3), QStringLiteral("YES"));
    check(QStringLiteral("ChkUpJoyNeutral_2"))->setChecked(true);
    type(text("TxtJoyID"), QStringLiteral("42"));
    type(text("TxtCurrentFloat3"), QStringLiteral("1234"));

    // nothing reaches the catalogue before Ok
    EXPECT_EQ(download(KRV_JOY_NODE_ID), 1);
    EXPECT_TRUE(bed.session.catalogue.ConfigSaved);

    click("CmdOk");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(drawJoys, 1);
    EXPECT_FALSE(bed.session.catalogue.ConfigSaved);
    EXPECT_EQ(display(KRV_JOY_NODE_ID), 42);
    EXPECT_EQ(download(KRV_JOY_NODE_ID), 42);
    EXPECT_EQ(download(KRV_FLOAT_CURRENT_3), 1234);
    EXPECT_EQ(download(KRV_FLOAT_MAG_SIDE), 2 + 8);
    EXPECT_EQ(download(KRV_DGT_CONFIG_2), 0x00AA);
    EXPECT_EQ(download(KRV_DGT_CONFIG_8), 0);
    EXPECT_EQ(download(KRV_JOY_0_CONFIG), 0x0011);
    EXPECT_EQ(download(KRV_JOY_0_ID), 1);
    EXPECT_EQ(download(KRV_JOY_1_CONFIG), 0x0041);
    EXPECT_EQ(download(KRV_JOY_1_ID), 2);
    EXPECT_EQ(download(KRV_JOY_2_CONFIG), 0x5372);
    EXPECT_EQ(download(KRV_JOY_2_ID), 5);
    EXPECT_EQ(download(KRV_JOY_3_CONFIG), 0x0070);
    EXPECT_EQ(download(KRV_JOY_3_ID), 8);
    EXPECT_EQ(download(KRV_FLOAT_CONFIG_1) & 0xFFFF, 0x9321);
    EXPECT_EQ(download(KRV_FLOAT_CONFIG_1), -27871); // the same 16 bits, as the list's range holds them
    EXPECT_EQ(download(KRV_FLOAT_CONFIG_2), 14 + 16 * 5);
    EXPECT_EQ(download(KRV_JOY_0_INV), 85);
    EXPECT_EQ(download(KRV_JOY_1_INV), 170); // shown as YES, written as YES
    EXPECT_EQ(download(KRV_JOY_3_INV), 170);
    EXPECT_EQ(download(KRV_SP_2_MACRO), 2);
}

TEST_F(CanJoystickWindow, ChannelTypeRules)
{
    read(KRV_JOY_1_CONFIG, 0x5372);
    showWindow();
    QComboBox *type = combo("CmbJoyType", 1);
    QComboBox *word = combo("CmbJoyWord", 1);
    QComboBox *a = combo("CmbJoyDgtA", 1);
    QComboBox *b = combo("CmbJoyDgtB", 1);

    choose(type, QStringLiteral("Propotional"));
    EXPECT_EQ(word->currentIndex(), 7);
    EXPECT_TRUE(word->isEnabled());
    EXPECT_EQ(a->currentText(), QStringLiteral("OFF"));
    EXPECT_EQ(b->currentText(), QStringLiteral("OFF"));
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());

    choose(word, QStringLiteral("X"));
    choose(type, QStringLiteral("ON/OFF Indipendent"));
    EXPECT_EQ(word->currentIndex(), 7); // every type change puts the word on its blank item
    EXPECT_FALSE(word->isEnabled());
    EXPECT_TRUE(a->isEnabled());
    EXPECT_TRUE(b->isEnabled());
    choose(a, QStringLiteral("DI_12"));

    choose(type, QStringLiteral("OFF"));
    EXPECT_EQ(a->currentText(), QStringLiteral("OFF"));
    EXPECT_FALSE(word->isEnabled());
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());
}

TEST_F(CanJoystickWindow, DigitalTypeAndFloatInputRules)
{
    read(KRV_DGT_CONFIG_7, inputWord(inputByte({1, 6, 3}), 0));
    read(KRV_FLOAT_CONFIG_2, 0x0003);
    showWindow();
    EXPECT_EQ(combo("CmbByteNum", 13)->currentText(), QStringLiteral("6"));
    choose(combo("CmbDgtType", 13), QStringLiteral("OFF"));
    EXPECT_EQ(combo("CmbByteNum", 13)->currentText(), QStringLiteral("0"));
    EXPECT_EQ(combo("CmbBitNum", 13)->currentText(), QStringLiteral("0"));
    EXPECT_FALSE(combo("CmbBitNum", 13)->isEnabled());
    choose(combo("CmbDgtType", 13), QStringLiteral("LEVEL"));
    EXPECT_TRUE(combo("CmbByteNum", 13)->isEnabled());
    EXPECT_TRUE(combo("CmbBitNum", 13)->isEnabled());

    // float section 3 has an input, section 2 none
    EXPECT_TRUE(text("TxtCurrentFloat3")->isEnabled());
    EXPECT_FALSE(text("TxtCurrentFloat2")->isEnabled());
    choose(combo("CmbDgtIndex", 4), QStringLiteral("OFF"));
    EXPECT_FALSE(text("TxtCurrentFloat3")->isEnabled());
    EXPECT_FALSE(bar("hscCurrentFloat3")->isEnabled());
    EXPECT_FALSE(check(QStringLiteral("ChkFloat_3"))->isEnabled());
    choose(combo("CmbDgtIndex", 3), QStringLiteral("DI_07"));
    EXPECT_TRUE(text("TxtCurrentFloat2")->isEnabled());
    EXPECT_TRUE(bar("hscCurrentFloat2")->isEnabled());
    EXPECT_TRUE(check(QStringLiteral("ChkFloat_2"))->isEnabled());
    // dead-man and fast/slow touch no float row
    choose(combo("CmbDgtIndex", 0), QStringLiteral("OFF"));
    EXPECT_TRUE(text("TxtCurrentFloat2")->isEnabled());
}

TEST_F(CanJoystickWindow, UncheckingAnOptionKeepsOnlyTheOtherOptionBits)
{
    read(KRV_SP_0_MACRO, 0x1F); // a word with bits beyond the three options
    read(KRV_SP_3_MACRO, 0);
    showWindow();
    check(QStringLiteral("ChkUpEn_0"))->setChecked(false);
    check(QStringLiteral("ChkNeutralNeed_3"))->setChecked(true);
    click("CmdOk");
    EXPECT_EQ(download(KRV_SP_0_MACRO), 0x1F & 14);
    EXPECT_EQ(download(KRV_SP_3_MACRO), 4);

    showWindow();
    check(QStringLiteral("ChkUpJoyNeutral_0"))->setChecked(false);
    check(QStringLiteral("ChkUpEn_0"))->setChecked(true);
    click("CmdOk");
    EXPECT_EQ(download(KRV_SP_0_MACRO), (14 & 13) | 1);
}

TEST_F(CanJoystickWindow, CancelWritesNothingAndTheNextShowReloads)
{
    std::vector<int32_t> before;
    for (KrvId id : AllVariables)
        before.push_back(download(id));
    showWindow();
    type(text("TxtJoyTimeout"), QStringLiteral("900"));
    bar("hscJoyID")->setValue(99);
    choose(combo("CmbJoyType", 0), QStringLiteral("OFF"));
    choose(combo("CmbDgtType", 1), QStringLiteral("EDGE"));
    check(QStringLiteral("ChkUpEn_2"))->setChecked(true);
    click("CmdCancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(drawJoys, 0);
    EXPECT_TRUE(bed.session.catalogue.ConfigSaved);
    std::vector<int32_t> after;
    for (KrvId id : AllVariables)
        after.push_back(download(id));
    EXPECT_EQ(after, before);

    showWindow();
    EXPECT_EQ(text("TxtJoyTimeout")->text(), QStringLiteral("200"));
    EXPECT_EQ(text("TxtJoyID")->text(), QStringLiteral("1"));
    EXPECT_EQ(combo("CmbJoyType", 0)->currentText(), QStringLiteral("Propotional"));
    EXPECT_EQ(combo("CmbDgtType", 1)->currentText(), QStringLiteral("OFF"));
    EXPECT_FALSE(check(QStringLiteral("ChkUpEn_2"))->isChecked());

    // closing the window is a Cancel too
    type(text("TxtJoyTimeout"), QStringLiteral("901"));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(download(KRV_JOY_TIMEOUT), 200);
}

TEST_F(CanJoystickWindow, AConfirmedEditIsShownAgainAndNotUndoneByTheNextOk)
{
    showWindow();
    type(text("TxtJoyID"), QStringLiteral("5"));
    choose(combo("CmbJoyType", 3), QStringLiteral("OFF"));
    click("CmdOk");
    showWindow();
    EXPECT_EQ(text("TxtJoyID")->text(), QStringLiteral("5"));
    EXPECT_EQ(combo("CmbJoyType", 3)->currentText(), QStringLiteral("OFF"));
    click("CmdOk");
    EXPECT_EQ(download(KRV_JOY_NODE_ID), 5);
    EXPECT_EQ(download(KRV_JOY_3_CONFIG), 0x0070);
}

TEST_F(CanJoystickWindow, NumberFieldsFollowTheSharedRule)
{
    showWindow();
    QLineEdit *id = text("TxtJoyID");
    type(id, QStringLiteral("5x-0"));
    EXPECT_EQ(id->text(), QStringLiteral("50"));
    EXPECT_EQ(bar("hscJoyID")->value(), 50);

    type(id, QStringLiteral("500"));
    EXPECT_EQ(bar("hscJoyID")->value(), 50); // out of range moves nothing
    bed.messages.answers.push_back(MessageService::Answer::No);
    QTest::keyClick(id, Qt::Key_Return);
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("Value Not Correct : Restore With '1' ?"));
    EXPECT_EQ(id->text(), QStringLiteral("500"));
    bed.messages.answers.push_back(MessageService::Answer::Yes);
    QTest::keyClick(id, Qt::Key_Return);
    EXPECT_EQ(id->text(), QStringLiteral("1"));
    EXPECT_EQ(bar("hscJoyID")->value(), 1);

    // the bar writes the box and runs the Enter test, which passes
    bar("hscJoyTimeout")->setValue(300);
    EXPECT_EQ(text("TxtJoyTimeout")->text(), QStringLiteral("300"));
    EXPECT_EQ(bed.messages.shown.size(), 2);
    EXPECT_EQ(download(KRV_JOY_TIMEOUT), 200);
    click("CmdOk");
    EXPECT_EQ(download(KRV_JOY_TIMEOUT), 300);
}

TEST_F(CanJoystickWindow, OkWithANumberLeftOutOfRangeKeepsTheWindowOpen)
{
    showWindow();
    type(text("TxtJoyTimeout"), QStringLiteral("5"));
    // leaving the box for Ok asks once, Ok itself asks again; No both times
    bed.messages.answers = {MessageService::Answer::No, MessageService::Answer::No};
    click("CmdOk");
    EXPECT_TRUE(window->isVisible());
    EXPECT_GE(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("Value Not Correct : Restore With '200' ?"));
    EXPECT_EQ(download(KRV_JOY_TIMEOUT), 200);
    EXPECT_TRUE(bed.session.catalogue.ConfigSaved);
    EXPECT_EQ(drawJoys, 0);

    // Yes restores the controller value and lets Ok through
    bed.messages.answers = {MessageService::Answer::Yes, MessageService::Answer::Yes};
    click("CmdOk");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(download(KRV_JOY_TIMEOUT), 200);
    EXPECT_EQ(drawJoys, 1);
}

TEST_F(CanJoystickWindow, StoredFieldsTheListsDoNotOfferAreShownAndKept)
{
    read(KRV_JOY_3_CONFIG, 0xF097);                             // type 7, word 9, switch B 15
    read(KRV_DGT_CONFIG_1, inputWord(inputByte({3, 1, 2}), 0)); // DI_01 sensed type 3
    read(KRV_FLOAT_CONFIG_2, 0x00F0);                           // float 4 on input 15
    showWindow();
    EXPECT_EQ(combo("CmbJoyType", 3)->currentText(), QStringLiteral("[7]"));
    EXPECT_EQ(combo("CmbJoyWord", 3)->currentText(), QStringLiteral("[9]"));
    EXPECT_EQ(combo("CmbJoyDgtB", 3)->currentText(), QStringLiteral("[15]"));
    EXPECT_EQ(combo("CmbDgtType", 1)->currentText(), QStringLiteral("[3]"));
    EXPECT_EQ(combo("CmbDgtIndex", 5)->currentText(), QStringLiteral("[15]"));
    EXPECT_TRUE(text("TxtCurrentFloat4")->isEnabled());

    click("CmdOk");
    EXPECT_EQ(download(KRV_JOY_3_CONFIG) & 0xFFFF, 0xF097);
    EXPECT_EQ(download(KRV_JOY_3_ID), 5);
    EXPECT_EQ(lowByte(download(KRV_DGT_CONFIG_1)), inputByte({3, 1, 2}));
    EXPECT_EQ(download(KRV_FLOAT_CONFIG_2), 0x00F0);

    // with ordinary values again, the extra items are gone
    read(KRV_JOY_3_CONFIG, 0x0011);
    showWindow();
    EXPECT_EQ(combo("CmbJoyType", 3)->count(), 5);
    EXPECT_EQ(combo("CmbJoyWord", 3)->count(), 8);
    EXPECT_EQ(combo("CmbJoyDgtB", 3)->count(), 15);
}

} // namespace

namespace {

// The window as the configuration page opens it: Ok redraws the input pictures.
TEST(CanJoystickWindowOnThePage, SettingsButtonOpensItAndOkRedrawsTheJoystickPictures)
{
    PageTestBed bed;
    bed.session.catalogue.entry(KRV_JOY_2_CONFIG)->ReadE2FromQEL(0x0011);
    bed.session.catalogue.entry(KRV_JOY_2_ID)->ReadE2FromQEL(1);
    FrmConfig page(bed.context());
    page.show();
    EXPECT_EQ(page.findChild<FrmJoyCan *>(), nullptr); // made on first use
    QTest::mouseClick(page.findChild<QPushButton *>(QStringLiteral("CmdCanSettings")), Qt::LeftButton);
    auto *window = page.findChild<FrmJoyCan *>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    auto *joy = page.findChild<QLabel *>(QStringLiteral("JoySel_2"));
    const QImage before = joy->pixmap().toImage();
    auto *type = window->findChild<QComboBox *>(QStringLiteral("CmbJoyType_2"));
    type->setCurrentIndex(type->findText(QStringLiteral("Digial Reg.")));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("CmdOk")), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(bed.session.catalogue.data(KRV_JOY_2_ID)->KrvDownloadValueE2, 5);
    const QImage digital = page.joyCatalogue().picture(5);
    ASSERT_FALSE(digital.isNull());
    EXPECT_EQ(joy->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              digital.convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(joy->pixmap().toImage(), before);

    // the same window comes back, filled anew
    QTest::mouseClick(page.findChild<QPushButton *>(QStringLiteral("CmdCanSettings")), Qt::LeftButton);
    EXPECT_EQ(page.findChildren<FrmJoyCan *>().size(), 1);
    EXPECT_EQ(type->currentText(), QStringLiteral("Digial Reg."));
}

} // namespace
