// The numeric-field rule shared by the ramp fields, the dither dialog and the
// CAN joystick window, and the pin captions of the configuration page.
#include "cvardatas.h"
#include "fakemessageservice.h"
#include "joyinputcaption.h"
#include "numericfield.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class NumericFieldTest : public ::testing::Test
{
protected:
    NumericFieldTest()
    {
        record.QelValueE2 = 1200;
        record.QelValE2Min = 10;
        record.QelValE2Max = 5000;
        record.KrvDownloadValueE2 = 1200;
        box->setGeometry(0, 0, 80, 22);
        other->setGeometry(0, 30, 80, 22);
        field.setOnStored([this] { ++stored; });
        field.load();
        stored = 0;
    }

    void clearBox()
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
    }
    void leaveBox()
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
    }

    CVarDataS record;
    FakeMessageService messages;
    QWidget window;
    QLineEdit *box = new QLineEdit(&window);
    QLineEdit *other = new QLineEdit(&window);
    QScrollBar *bar = new QScrollBar(Qt::Horizontal, &window);
    NumericField field{box, bar, [this] { return &record; }, &messages};
    int stored = 0;
};

TEST_F(NumericFieldTest, LoadTakesLimitsAndControllerValue)
{
    EXPECT_EQ(bar->minimum(), 10);
    EXPECT_EQ(bar->maximum(), 5000);
    EXPECT_EQ(bar->value(), 1200);
    EXPECT_EQ(box->text(), "1200");

    // A second load of the same value still stores it (the box does not
    // report an unchanged text by itself).
    record.KrvDownloadValueE2 = 77;
    field.load();
    EXPECT_EQ(record.KrvDownloadValueE2, 1200);
    EXPECT_EQ(stored, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(NumericFieldTest, ControllerValueOutsideItsRangeIsShownNotStored)
{
    record.QelValueE2 = 9000;
    record.KrvDownloadValueE2 = 9000;
    field.load();
    EXPECT_EQ(box->text(), "9000");
    EXPECT_EQ(bar->value(), 1200); // the bar cannot hold it and stays
    EXPECT_EQ(record.KrvDownloadValueE2, 9000);
    EXPECT_EQ(stored, 0);

    // Narrowing the range clamps the bar quietly: no stale value is stored.
    record.QelValueE2 = 300;
    record.QelValE2Max = 400;
    record.KrvDownloadValueE2 = 300;
    field.load();
    EXPECT_EQ(bar->maximum(), 400);
    EXPECT_EQ(bar->value(), 300);
    EXPECT_EQ(record.KrvDownloadValueE2, 300);
}

TEST_F(NumericFieldTest, EmptyBoxShowsSelectedZeroAndNextDigitReplacesIt)
{
    record.QelValE2Min = 0;
    field.load();
    clearBox();
    EXPECT_EQ(box->text(), "0");
    EXPECT_EQ(box->selectionStart(), 0);
    EXPECT_EQ(box->selectedText(), "0");
    EXPECT_EQ(record.KrvDownloadValueE2, 0);

    QTest::keyClicks(box, "7");
    EXPECT_EQ(box->text(), "7");
    EXPECT_EQ(bar->value(), 7);
    EXPECT_EQ(record.KrvDownloadValueE2, 7);
}

TEST_F(NumericFieldTest, ValueBelowMinimumIsNotStoredAndEnterOffersRestore)
{
    clearBox();
    QTest::keyClicks(box, "5");
    EXPECT_EQ(box->text(), "5");
    EXPECT_EQ(record.KrvDownloadValueE2, 1200); // 0 and 5 are both below 10
    EXPECT_EQ(stored, 0);

    record.QelValueE2 = 1500; // what the controller holds now
    messages.answers = {MessageService::Answer::Yes};
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Value Not Correct : Restore With '1500' ?");
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Information);
    EXPECT_TRUE(messages.shown[0].title.isEmpty());
    EXPECT_EQ(box->text(), "1500");
    EXPECT_EQ(bar->value(), 1500);
    EXPECT_EQ(record.KrvDownloadValueE2, 1500);
}

TEST_F(NumericFieldTest, RestoreAnsweredNoKeepsTextAndLastValidValue)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box->setText("4000");
    EXPECT_EQ(record.KrvDownloadValueE2, 4000);
    box->setText("6000");
    EXPECT_EQ(record.KrvDownloadValueE2, 4000);

    box->setFocus();
    messages.answers = {MessageService::Answer::No};
    other->setFocus(); // leaving the box
    ASSERT_EQ(messages.shown.size(), 1); // above the maximum: asked once
    EXPECT_EQ(box->text(), "6000");
    EXPECT_EQ(record.KrvDownloadValueE2, 4000);
    QTest::qWait(20);
    EXPECT_TRUE(box->hasFocus());

    // Leaving with a value in range asks nothing.
    box->setText("2500");
    leaveBox();
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(record.KrvDownloadValueE2, 2500);
}

TEST_F(NumericFieldTest, KeyFilterLetsOnlyDigitsPointEditingKeysAndSelectAllThrough)
{
    clearBox();
    QTest::keyClicks(box, "12");
    QTest::keyClicks(box, "a-+ x");
    EXPECT_EQ(box->text(), "12");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "1");
    QTest::keyClicks(box, "5.");
    EXPECT_EQ(box->text(), "15.");
    EXPECT_EQ(record.KrvDownloadValueE2, 15);

    // Ctrl+A selects the whole value, so the next digit replaces it.
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->selectedText(), "15.");
    QTest::keyClicks(box, "7");
    EXPECT_EQ(box->text(), "7");
}

TEST_F(NumericFieldTest, TextThatIsNoNumberCountsAsOutOfRange)
{
    box->setText("1.2.3");
    EXPECT_EQ(record.KrvDownloadValueE2, 1200);
    messages.answers = {MessageService::Answer::No};
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(messages.shown.size(), 1);

    int32_t v = 0;
    EXPECT_FALSE(NumericField::textValue(".", v));
    EXPECT_FALSE(NumericField::textValue("99999999999", v));
    EXPECT_TRUE(NumericField::textValue("2.5", v));
    EXPECT_EQ(v, 2); // halves go to the even number
    EXPECT_TRUE(NumericField::textValue("-7", v));
    EXPECT_EQ(v, -7);
}

TEST_F(NumericFieldTest, ScrollBarWritesTheBoxAndStores)
{
    bar->setValue(250);
    EXPECT_EQ(box->text(), "250");
    EXPECT_EQ(record.KrvDownloadValueE2, 250);
    EXPECT_GE(stored, 1);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(box->text(), "251");
    EXPECT_EQ(record.KrvDownloadValueE2, 251);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(JoyInputCaption, DescribesEveryKindOfInput)
{
    const QString before = QStringLiteral("before");
    EXPECT_EQ(JoyInputCaption::describe(0x0000, before), "");
    EXPECT_EQ(JoyInputCaption::describe(0x0001, before), "X axis");
    EXPECT_EQ(JoyInputCaption::describe(0x0011, before), "Y axis");
    EXPECT_EQ(JoyInputCaption::describe(0x0021, before), "n.a.");
    EXPECT_EQ(JoyInputCaption::describe(0x0031, before), "n.a");
    EXPECT_EQ(JoyInputCaption::describe(0x0041, before), "W axis");
    EXPECT_EQ(JoyInputCaption::describe(0x0051, before), "Z axis");
    EXPECT_EQ(JoyInputCaption::describe(0x0061, before), "J axis");
    EXPECT_EQ(JoyInputCaption::describe(0x0071, before), "n.a.");
    EXPECT_EQ(JoyInputCaption::describe(0x0081, before), before);
    EXPECT_EQ(JoyInputCaption::describe(0x00F1, before), before);
    EXPECT_EQ(JoyInputCaption::describe(0x5302, before), "DI_03-DI_05");
    EXPECT_EQ(JoyInputCaption::describe(0x0302, before), "DI_03-OFF");
    EXPECT_EQ(JoyInputCaption::describe(0x0002, before), "OFF-OFF");
    EXPECT_EQ(JoyInputCaption::describe(0xCF0F, before), "DI_15-DI_12");
    // The upper digital input bits above the kind: still digital.
    EXPECT_EQ(JoyInputCaption::describe(0x1093, before), "OFF-DI_01");
}

} // namespace
