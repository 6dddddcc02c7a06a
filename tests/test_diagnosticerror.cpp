#include "cvardatas.h"
#include "diagnosticerror.h"
#include "shapewidget.h"
#include "vbcolor.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

using Event = std::pair<int, qint32>; // Value, ChangedBitMask

// A row that records its events; the fixture's row is ticked.
class DiagnosticErrorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(&row, &DiagnosticError::UpdateErrorMessage,
                         [this](qint16 &value, qint32 &changed) { events.emplace_back(value, changed); });
        row.show();
        QTest::mouseClick(check(), Qt::LeftButton);
    }

    QCheckBox *check() const { return row.findChild<QCheckBox *>(QStringLiteral("ChkEnable")); }
    QGroupBox *frame() const { return row.findChild<QGroupBox *>(QStringLiteral("FrameDiagnostic")); }
    ShapeWidget *lamp(int bit) const { return row.findChild<ShapeWidget *>(QStringLiteral("shpBit_%1").arg(bit)); }

    // The lamps that are red, as a bit mask; fails when a lamp has any other
    // colour than red or `unlit`.
    int litLamps(quint32 unlit = VbColor::WindowBackground) const
    {
        int mask = 0;
        for (int bit = 0; bit < DiagnosticError::BitCount; ++bit) {
            const quint32 colour = lamp(bit)->fillColor();
            if (colour == VbColor::rgb(255, 0, 0))
                mask |= 1 << bit;
            else
                EXPECT_EQ(colour, unlit) << "lamp " << bit;
        }
        return mask;
    }

    void read(qint32 reading) { row.UpdateDisplay(reading); }

    DiagnosticError row;
    std::vector<Event> events;
};

} // namespace

TEST(DiagnosticErrorNew, StartsClearedWithItsNamedWidgets)
{
    DiagnosticError row;
    auto *check = row.findChild<QCheckBox *>(QStringLiteral("ChkEnable"));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("Enable"));
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(row.Enable());
    auto *frame = row.findChild<QGroupBox *>(QStringLiteral("FrameDiagnostic"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QStringLiteral("Title"));
    EXPECT_FALSE(frame->isEnabled());
    for (int bit = 0; bit < DiagnosticError::BitCount; ++bit) {
        auto *label = row.findChild<QLabel *>(QStringLiteral("lblErrorBit_%1").arg(bit));
        ASSERT_NE(label, nullptr) << bit;
        EXPECT_EQ(label->text(), QStringLiteral("------"));
        auto *lamp = row.findChild<ShapeWidget *>(QStringLiteral("shpBit_%1").arg(bit));
        ASSERT_NE(lamp, nullptr) << bit;
        EXPECT_EQ(lamp->fillColor(), VbColor::ButtonFace);
    }
    EXPECT_FALSE(row.LongVar());
    EXPECT_EQ(row.MsgID(), 0);
    EXPECT_EQ(row.VarID(), 0);
}

TEST(DiagnosticErrorNew, ReadingsAreIgnoredUntilTheBoxIsTicked)
{
    DiagnosticError row;
    int events = 0;
    QObject::connect(&row, &DiagnosticError::UpdateErrorMessage, [&](qint16 &, qint32 &) { ++events; });
    qint32 reading = 0x0300;
    row.setLongVar(true);
    row.UpdateDisplay(reading);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(reading, 0x0300); // not even reduced to its high byte
    EXPECT_EQ(row.findChild<ShapeWidget *>(QStringLiteral("shpBit_0"))->fillColor(), VbColor::ButtonFace);
}

TEST(DiagnosticErrorNew, BindingTitlesTheRowAndDescriptionsNameTheBits)
{
    DiagnosticError row;
    CVarDataS errors;
    errors.VarID = 93;
    errors.MonitorName = QStringLiteral("Section 1 Errors");
    row.setCarica(&errors);
    EXPECT_EQ(row.findChild<QGroupBox *>(QStringLiteral("FrameDiagnostic"))->title(),
              QStringLiteral("Section 1 Errors"));
    EXPECT_EQ(row.VarID(), 93);

    row.SetDecripion(0, QStringLiteral("Coil 1A open"));
    row.SetDecripion(7, QStringLiteral("Feedback"));
    row.SetDecripion(8, QStringLiteral("no such bit"));
    row.SetDecripion(-1, QStringLiteral("no such bit"));
    EXPECT_EQ(row.findChild<QLabel *>(QStringLiteral("lblErrorBit_0"))->text(), QStringLiteral("Coil 1A open"));
    EXPECT_EQ(row.findChild<QLabel *>(QStringLiteral("lblErrorBit_0"))->toolTip(), QStringLiteral("Coil 1A open"));
    EXPECT_EQ(row.findChild<QLabel *>(QStringLiteral("lblErrorBit_7"))->text(), QStringLiteral("Feedback"));
    EXPECT_EQ(row.findChild<QLabel *>(QStringLiteral("lblErrorBit_1"))->text(), QStringLiteral("------"));

    row.setMsgID(12);
    EXPECT_EQ(row.MsgID(), 12);
}

TEST_F(DiagnosticErrorTest, TickingEnablesTheFrameWithoutAnEvent)
{
    EXPECT_TRUE(row.Enable());
    EXPECT_TRUE(frame()->isEnabled());
    EXPECT_EQ(litLamps(), 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(DiagnosticErrorTest, OnlyChangesOfTheWordRaiseTheEvent)
{
    for (qint32 reading : {0, 5, 5, 4})
        read(reading);
    EXPECT_EQ(events, (std::vector<Event>{{5, 5}, {4, 1}}));
    EXPECT_EQ(litLamps(), 0x04);
}

TEST_F(DiagnosticErrorTest, WithLongVarTheHighByteIsShownAndHandedBack)
{
    row.setLongVar(true);
    EXPECT_TRUE(row.LongVar());
    qint32 reading = 0x0300;
    row.UpdateDisplay(reading);
    EXPECT_EQ(reading, 3);
    EXPECT_EQ(litLamps(), 0x03);
    EXPECT_EQ(events, (std::vector<Event>{{3, 3}}));

    qint32 negative = -300; // truncated towards zero, not floored
    row.UpdateDisplay(negative);
    EXPECT_EQ(negative, -1);
}

TEST_F(DiagnosticErrorTest, ClearingAlwaysReportsAllEightBitsChanged)
{
    QTest::mouseClick(check(), Qt::LeftButton);
    EXPECT_FALSE(row.Enable());
    EXPECT_FALSE(frame()->isEnabled());
    EXPECT_EQ(litLamps(VbColor::ButtonFace), 0);
    EXPECT_EQ(events, (std::vector<Event>{{0, 255}}));

    QTest::mouseClick(check(), Qt::LeftButton);
    read(6);
    QTest::mouseClick(check(), Qt::LeftButton);
    EXPECT_EQ(litLamps(VbColor::ButtonFace), 0); // a lit lamp goes dark too
    QTest::mouseClick(check(), Qt::LeftButton);
    read(0); // compared with 0 after the clear: no change
    read(2);
    EXPECT_EQ(events, (std::vector<Event>{{0, 255}, {6, 6}, {0, 255}, {2, 2}}));
}

TEST_F(DiagnosticErrorTest, BitsAboveTheEighthAreComparedButNotLit)
{
    read(0x0105);
    EXPECT_EQ(litLamps(), 0x05);
    read(0x0005);
    EXPECT_EQ(litLamps(), 0x05);
    EXPECT_EQ(events, (std::vector<Event>{{0x0105, 0x0105}, {0x0005, 0x0100}}));
}

TEST_F(DiagnosticErrorTest, AWordAbove32767ReportsItsLow16Bits)
{
    read(0x18001);
    read(40000);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], (Event{qint16(0x8001), 0x18001}));
    EXPECT_EQ(events[1], (Event{qint16(40000 - 65536), 0x18001 ^ 40000}));
    EXPECT_EQ(litLamps(), 40000 & 0xFF);
}

TEST_F(DiagnosticErrorTest, WritingEnableActsLikeAClickOnlyOnAChange)
{
    row.setEnable(true); // already ticked
    EXPECT_TRUE(events.empty());
    row.setEnable(false);
    EXPECT_FALSE(check()->isChecked());
    EXPECT_EQ(events, (std::vector<Event>{{0, 255}}));
    row.setEnable(false);
    EXPECT_EQ(events.size(), 1u);
    row.setEnable(true);
    EXPECT_TRUE(frame()->isEnabled());
    EXPECT_EQ(litLamps(), 0);
}
