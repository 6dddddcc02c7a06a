#include "csection.h"
#include "cvardatas.h"
#include "fakemessageservice.h"
#include "vbcolor.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Answer = MessageService::Answer;

// A section with limits 0..1000 bound to a minimum of 500 and a maximum of 1000.
class CSectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        low.VarID = 41;
        low.TooltipDecription = QStringLiteral("Coil 1A minimum");
        low.KrvDisplayValueE2 = 500;
        low.QelValueE2 = 450;
        high.VarID = 42;
        high.TooltipDecription = QStringLiteral("Coil 1A maximum");
        high.KrvDisplayValueE2 = 1000;
        high.QelValueE2 = 900;
        high.Unit = QStringLiteral("A/10");

        section.setMessageService(&messages);
        section.setMin(0);
        section.setMax(1000);
        section.setCaricaMin(&low);
        section.setCaricaMax(&high);
        QObject::connect(&section, &CSection::VarMinChange, [this] { ++minChanges; });
        QObject::connect(&section, &CSection::VarMaxChange, [this] { ++maxChanges; });
        section.show();
        QApplication::setActiveWindow(&section);
    }

    QLineEdit *txtMin() const { return section.findChild<QLineEdit *>(QStringLiteral("txtTMin")); }
    QLineEdit *txtMax() const { return section.findChild<QLineEdit *>(QStringLiteral("txtTMax")); }
    QScrollBar *hscMin() const { return section.findChild<QScrollBar *>(QStringLiteral("hscTMin")); }
    QScrollBar *hscMax() const { return section.findChild<QScrollBar *>(QStringLiteral("hscTMax")); }

    // Replaces the box's text keystroke by keystroke, as a user does.
    static void retype(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    static void pressEnter(QLineEdit *box) { QTest::keyClick(box, Qt::Key_Return); }

    CSection section;
    FakeMessageService messages;
    CVarDataS low;
    CVarDataS high;
    int minChanges = 0;
    int maxChanges = 0;
};

const QString restoreText(int value)
{
    return QStringLiteral("Value Not Correct : Restore With '%1' ?").arg(value);
}

} // namespace

TEST(CSectionNew, StartsWithItsNamedWidgetsAndCaptions)
{
    CSection section;
    auto *frame = section.findChild<QGroupBox *>(QStringLiteral("FrameSection"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QStringLiteral("1A"));
    EXPECT_EQ(section.SectionName(), QStringLiteral("1A"));
    auto *txtMin = section.findChild<QLineEdit *>(QStringLiteral("txtTMin"));
    auto *txtMax = section.findChild<QLineEdit *>(QStringLiteral("txtTMax"));
    ASSERT_NE(txtMin, nullptr);
    ASSERT_NE(txtMax, nullptr);
    EXPECT_EQ(txtMin->text(), QStringLiteral("500"));
    EXPECT_EQ(txtMax->text(), QStringLiteral("1000"));
    EXPECT_EQ(txtMax->toolTip(), QStringLiteral("KRV Value - IMax"));
    EXPECT_NE(section.findChild<QScrollBar *>(QStringLiteral("hscTMin")), nullptr);
    EXPECT_NE(section.findChild<QScrollBar *>(QStringLiteral("hscTMax")), nullptr);
    for (const char *name : {"lblUnit_0", "lblUnit_1"}) {
        auto *unit = section.findChild<QLabel *>(QLatin1String(name));
        ASSERT_NE(unit, nullptr) << name;
        EXPECT_EQ(unit->text(), QStringLiteral("mA"));
    }
    EXPECT_EQ(section.VarMinID(), 0);
    EXPECT_EQ(section.VarMaxID(), 0);
    EXPECT_EQ(section.CaricaMin(), nullptr);

    section.setSectionName(QStringLiteral("3B"));
    EXPECT_EQ(frame->title(), QStringLiteral("3B"));
}

TEST(CSectionNew, BindingComputesTheDownloadValueAndAnnouncesIt)
{
    CSection section;
    section.setMin(0);
    section.setMax(1000);
    int minChanges = 0;
    QObject::connect(&section, &CSection::VarMinChange, [&] { ++minChanges; });
    CVarDataS high;
    high.KrvDisplayValueE2 = 900;
    section.setCaricaMax(&high);
    CVarDataS low;
    low.VarID = 7;
    low.KrvDisplayValueE2 = 50;
    low.F_DisplayToDownload = QStringLiteral("X*10");
    low.TooltipDecription = QStringLiteral("Coil 2B minimum");
    section.setCaricaMin(&low);

    EXPECT_EQ(low.KrvDownloadValueE2, 500);
    EXPECT_GE(minChanges, 1);
    EXPECT_EQ(section.VarMinID(), 7);
    EXPECT_EQ(section.CaricaMin(), &low);
    auto *txtMin = section.findChild<QLineEdit *>(QStringLiteral("txtTMin"));
    EXPECT_EQ(txtMin->text(), QStringLiteral("50"));
    EXPECT_EQ(txtMin->toolTip(), QStringLiteral("Coil 2B minimum"));
    EXPECT_EQ(section.findChild<QScrollBar *>(QStringLiteral("hscTMin"))->value(), 50);
    // the record keeps its formula: a second commit still converts
    EXPECT_EQ(low.F_DisplayToDownload, QStringLiteral("X*10"));
    txtMin->setText(QStringLiteral("60"));
    EXPECT_EQ(low.KrvDownloadValueE2, 600);
}

TEST(CSectionNew, BindingAValueTheBoxAlreadyShowsStillCommitsIt)
{
    CSection section;
    CVarDataS low;
    low.KrvDisplayValueE2 = 500; // the box starts with "500"
    low.F_DisplayToDownload = QStringLiteral("X*2");
    int minChanges = 0;
    QObject::connect(&section, &CSection::VarMinChange, [&] { ++minChanges; });
    section.setCaricaMin(&low);
    EXPECT_EQ(low.KrvDownloadValueE2, 1000);
    EXPECT_GE(minChanges, 1);
}

TEST(CSectionNew, AnInvalidBoundValueIsNotCommitted)
{
    CSection section;
    section.setMin(0);
    section.setMax(1000);
    CVarDataS low;
    low.KrvDisplayValueE2 = 1200;
    low.KrvDownloadValueE2 = -1;
    int minChanges = 0;
    QObject::connect(&section, &CSection::VarMinChange, [&] { ++minChanges; });
    section.setCaricaMin(&low);
    EXPECT_EQ(minChanges, 0);
    EXPECT_EQ(low.KrvDownloadValueE2, -1);
    EXPECT_EQ(low.KrvDisplayValueE2, 1200);
}

TEST_F(CSectionTest, BindingTheMaximumSetsBothUnitLabels)
{
    EXPECT_EQ(section.findChild<QLabel *>(QStringLiteral("lblUnit_0"))->text(), QStringLiteral("A/10"));
    EXPECT_EQ(section.findChild<QLabel *>(QStringLiteral("lblUnit_1"))->text(), QStringLiteral("A/10"));
    EXPECT_EQ(section.VarMaxID(), 42);
    EXPECT_EQ(txtMax()->toolTip(), QStringLiteral("Coil 1A maximum"));
}

TEST_F(CSectionTest, TypingAValidMinimumWritesTheRecord)
{
    low.F_DisplayToDownload = QStringLiteral("X*4");
    retype(txtMin(), QStringLiteral("620"));
    EXPECT_EQ(low.KrvDisplayValueE2, 620);
    EXPECT_EQ(low.KrvDownloadValueE2, 2480);
    EXPECT_EQ(hscMin()->value(), 620);
    EXPECT_GE(minChanges, 1);
    EXPECT_EQ(maxChanges, 0);
    EXPECT_EQ(high.KrvDisplayValueE2, 1000); // the other side is not touched
}

TEST_F(CSectionTest, AFractionIsCommittedAsTheNearestEvenWholeNumber)
{
    txtMin()->setText(QStringLiteral("600.5"));
    EXPECT_EQ(low.KrvDisplayValueE2, 600);
    EXPECT_EQ(txtMin()->text(), QStringLiteral("600")); // the box shows what was committed
    txtMin()->setText(QStringLiteral("601.5"));
    EXPECT_EQ(low.KrvDisplayValueE2, 602);
}

TEST_F(CSectionTest, MaximumAboveTheLimitIsNotCommittedAndEnterOffersTheRestore)
{
    retype(txtMax(), QStringLiteral("1200"));
    EXPECT_EQ(maxChanges, 0);
    EXPECT_EQ(high.KrvDisplayValueE2, 1000);
    EXPECT_TRUE(messages.shown.isEmpty());

    messages.answers = {Answer::Yes};
    pressEnter(txtMax());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, restoreText(900));
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Information);
    EXPECT_EQ(txtMax()->text(), QStringLiteral("900"));
    EXPECT_EQ(high.KrvDisplayValueE2, 900);
    EXPECT_EQ(hscMax()->value(), 900);
    EXPECT_GE(maxChanges, 1);
}

TEST_F(CSectionTest, AnsweringNoKeepsTheTextAndTheFocusInTheBox)
{
    retype(txtMax(), QStringLiteral("1200"));
    messages.answers = {Answer::No};
    txtMin()->setFocus(); // leaving the box asks as well
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), restoreText(900));
    QApplication::processEvents();
    EXPECT_TRUE(txtMax()->hasFocus());
    EXPECT_EQ(txtMax()->text(), QStringLiteral("1200"));
    EXPECT_EQ(high.KrvDisplayValueE2, 1000);
    EXPECT_EQ(maxChanges, 0);
}

TEST_F(CSectionTest, TwoWrongBoxesDoNotTakeTheFocusFromEachOther)
{
    txtMin()->setFocus();
    txtMax()->setText(QStringLiteral("5000"));
    txtMin()->setText(QStringLiteral("."));
    messages.answers = {Answer::No, Answer::No};
    txtMax()->setFocus();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(txtMin()->hasFocus());
    ASSERT_EQ(messages.shown.size(), 1); // only the box that was left asks
    EXPECT_EQ(messages.lastText(), restoreText(450));
}

TEST_F(CSectionTest, MinimumBelowTheLowerLimitIsOfferedTheRestore)
{
    section.setMin(100);
    low.QelValueE2 = 300;
    retype(txtMin(), QStringLiteral("50"));
    EXPECT_EQ(low.KrvDisplayValueE2, 500);
    messages.answers = {Answer::Yes};
    pressEnter(txtMin());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), restoreText(300));
    EXPECT_EQ(low.KrvDisplayValueE2, 300);
}

TEST_F(CSectionTest, MinimumAboveTheMaximumBecomesMaximumLessOneOnEnter)
{
    retype(txtMax(), QStringLiteral("700"));
    ASSERT_EQ(high.KrvDisplayValueE2, 700);
    minChanges = 0;
    retype(txtMin(), QStringLiteral("800"));
    // every keystroke is a change: "8" and "80" were valid minimums, 800 is not
    EXPECT_EQ(low.KrvDisplayValueE2, 80);
    EXPECT_EQ(txtMin()->text(), QStringLiteral("800"));

    pressEnter(txtMin());
    EXPECT_TRUE(messages.shown.isEmpty()); // in range, only the order is wrong
    EXPECT_EQ(txtMin()->text(), QStringLiteral("699"));
    EXPECT_EQ(low.KrvDisplayValueE2, 699);
    EXPECT_EQ(hscMin()->value(), 699);
}

TEST_F(CSectionTest, MaximumBelowTheMinimumBecomesMinimumPlusOneWhenLeft)
{
    txtMax()->setFocus();
    txtMax()->setText(QStringLiteral("300")); // pasted: not a valid maximum
    EXPECT_EQ(high.KrvDisplayValueE2, 1000);
    txtMin()->setFocus();
    EXPECT_EQ(txtMax()->text(), QStringLiteral("501"));
    EXPECT_EQ(high.KrvDisplayValueE2, 501);
}

TEST_F(CSectionTest, TextThatIsNotANumberCountsAsOutOfRange)
{
    for (const QString &text : {QStringLiteral("."), QStringLiteral("1.2.3"), QStringLiteral("12a")}) {
        SCOPED_TRACE(text.toStdString());
        messages.shown.clear();
        const int before = low.KrvDisplayValueE2;
        minChanges = 0;
        txtMin()->setFocus();
        txtMin()->setText(text); // typed or pasted
        EXPECT_EQ(low.KrvDisplayValueE2, before);
        EXPECT_EQ(minChanges, 0);

        messages.answers = {Answer::No};
        pressEnter(txtMin());
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.lastText(), restoreText(450));
        EXPECT_EQ(minChanges, 0);
        EXPECT_EQ(txtMin()->text(), text);

        messages.answers = {Answer::Yes};
        pressEnter(txtMin());
        EXPECT_EQ(txtMin()->text(), QStringLiteral("450"));
        EXPECT_EQ(low.KrvDisplayValueE2, 450);
        low.KrvDisplayValueE2 = before;
    }
}

TEST_F(CSectionTest, ALonePointTypedIntoTheBoxIsNotCommitted)
{
    retype(txtMin(), QStringLiteral("."));
    EXPECT_EQ(txtMin()->text(), QStringLiteral("."));
    EXPECT_EQ(low.KrvDisplayValueE2, 500);
    EXPECT_EQ(minChanges, 0);
}

TEST_F(CSectionTest, OnlyDigitsPointAndBackspaceReachTheBox)
{
    // below the minimum nothing is committed, so the box keeps exactly what was typed
    retype(txtMax(), QStringLiteral("7a-b,. x5"));
    EXPECT_EQ(txtMax()->text(), QStringLiteral("7.5"));
    QTest::keyClick(txtMax(), Qt::Key_Backspace);
    EXPECT_EQ(txtMax()->text(), QStringLiteral("7."));
    EXPECT_EQ(high.KrvDisplayValueE2, 1000);
    EXPECT_EQ(maxChanges, 0);
}

TEST_F(CSectionTest, EachValidKeystrokeIsCommittedAndTheBoxShowsTheWholeNumber)
{
    retype(txtMin(), QStringLiteral("60.5"));
    // "60." commits 60 and the box shows "60", so the 5 makes 605
    EXPECT_EQ(txtMin()->text(), QStringLiteral("605"));
    EXPECT_EQ(low.KrvDisplayValueE2, 605);
}

TEST_F(CSectionTest, DeletingAllTextShowsASelectedZeroThatTheNextDigitReplaces)
{
    txtMin()->setFocus();
    txtMin()->selectAll();
    QTest::keyClick(txtMin(), Qt::Key_Backspace);
    EXPECT_EQ(txtMin()->text(), QStringLiteral("0"));
    EXPECT_EQ(txtMin()->selectedText(), QStringLiteral("0"));
    EXPECT_EQ(low.KrvDisplayValueE2, 0);
    QTest::keyClick(txtMin(), Qt::Key_7);
    EXPECT_EQ(txtMin()->text(), QStringLiteral("7"));
    EXPECT_EQ(low.KrvDisplayValueE2, 7);
}

TEST_F(CSectionTest, MovingABarWritesItsBoxAndRecord)
{
    hscMin()->setValue(420);
    EXPECT_EQ(txtMin()->text(), QStringLiteral("420"));
    EXPECT_EQ(low.KrvDisplayValueE2, 420);
    EXPECT_GE(minChanges, 1);
    hscMax()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(txtMax()->text(), QStringLiteral("999"));
    EXPECT_EQ(high.KrvDisplayValueE2, 999);
    EXPECT_GE(maxChanges, 1);
}

TEST_F(CSectionTest, DraggingTheMinimumBarPastTheMaximumSnapsBack)
{
    retype(txtMax(), QStringLiteral("700"));
    minChanges = 0;
    hscMin()->setValue(900);
    EXPECT_EQ(hscMin()->value(), 500);
    EXPECT_EQ(txtMin()->text(), QStringLiteral("500"));
    EXPECT_EQ(low.KrvDisplayValueE2, 500);
    hscMax()->setValue(400);
    EXPECT_EQ(hscMax()->value(), 700);
    EXPECT_EQ(high.KrvDisplayValueE2, 700);
}

TEST_F(CSectionTest, LimitsApplyToBothBarsAndANegativeMinimumIsZero)
{
    section.setMin(-5);
    EXPECT_EQ(section.Min(), 0);
    EXPECT_EQ(hscMin()->minimum(), 0);
    EXPECT_EQ(hscMax()->minimum(), 0);
    section.setMin(20);
    EXPECT_EQ(hscMax()->minimum(), 20);
    section.setMax(1500);
    EXPECT_EQ(section.Max(), 1500);
    EXPECT_EQ(hscMin()->maximum(), 1500);
    EXPECT_EQ(hscMax()->maximum(), 1500);
    retype(txtMax(), QStringLiteral("1400"));
    EXPECT_EQ(high.KrvDisplayValueE2, 1400); // now inside the range
}

TEST_F(CSectionTest, ColoursPaintTheFrameAndTheUnitLabels)
{
    const quint32 yellow = VbColor::rgb(255, 255, 160);
    const quint32 navy = VbColor::rgb(0, 0, 128);
    section.setBackColor(yellow);
    section.setFontColor(navy);
    EXPECT_EQ(section.BackColor(), yellow);
    EXPECT_EQ(section.FontColor(), navy);
    auto *frame = section.findChild<QGroupBox *>(QStringLiteral("FrameSection"));
    EXPECT_EQ(frame->palette().color(QPalette::Window), QColor(255, 255, 160));
    EXPECT_EQ(section.palette().color(QPalette::Window), QColor(255, 255, 160));
    EXPECT_EQ(frame->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(section.findChild<QLabel *>(QStringLiteral("lblUnit_1"))->palette().color(QPalette::WindowText),
              QColor(0, 0, 128));

    section.setBackColor(VbColor::WindowBackground); // a system colour follows the palette
    EXPECT_EQ(section.BackColor(), VbColor::WindowBackground);
    EXPECT_EQ(frame->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Base));
}

TEST(CSectionUnbound, AnOutOfRangeValueGoesBackToTheValueInForce)
{
    FakeMessageService messages;
    CSection section;
    section.setMessageService(&messages);
    section.show();
    QApplication::setActiveWindow(&section);
    auto *txtMax = section.findChild<QLineEdit *>(QStringLiteral("txtTMax"));
    txtMax->setFocus();
    txtMax->setText(QStringLiteral("5000"));
    QTest::keyClick(txtMax, Qt::Key_Return);
    EXPECT_TRUE(messages.shown.isEmpty()); // no record: nothing to restore from
    EXPECT_EQ(txtMax->text(), QStringLiteral("1000"));
}

// A minimum bound equal to the maximum (a file may hold them so), or limits
// that leave no room at all: the pair shown is never committed in the wrong
// order, and Enter corrects the box against the other box as it stands.
TEST(CSectionEqualPair, EnterCorrectsTheBoxOrCommitsNothing)
{
    struct Case
    {
        const char *what;
        int limitLow, limitHigh;
        int boundMin, boundMax;
        bool enterInMin;
        const char *minBox, *maxBox;  // what the boxes show afterwards
        int low, high;                // what the records hold afterwards
        bool commits;                 // the Enter wrote a record
    };
    const Case cases[] = {
        {"equal in range, Enter in the minimum", 0, 1000, 600, 600, true, "599", "600", 599, 600, true},
        {"equal in range, Enter in the maximum", 0, 1000, 600, 600, false, "600", "601", 600, 601, true},
        {"equal at the lower limit, Enter in the maximum", 0, 1000, 0, 0, false, "0", "1", 0, 1, true},
        {"equal at the upper limit, Enter in the minimum", 0, 1000, 1000, 1000, true, "999", "1000", 999, 1000, true},
        {"limits with no room, Enter in the minimum", 500, 500, 500, 500, true, nullptr, nullptr, 500, 500, false},
        {"limits with no room, Enter in the maximum", 500, 500, 500, 500, false, nullptr, nullptr, 500, 500, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FakeMessageService messages;
        CSection section;
        section.setMessageService(&messages);
        section.setMin(c.limitLow);
        section.setMax(c.limitHigh);
        CVarDataS low;
        low.KrvDisplayValueE2 = c.boundMin;
        low.QelValueE2 = c.boundMin;
        CVarDataS high;
        high.KrvDisplayValueE2 = c.boundMax;
        high.QelValueE2 = c.boundMax;
        section.setCaricaMin(&low);
        section.setCaricaMax(&high);
        int changes = 0;
        QObject::connect(&section, &CSection::VarMinChange, [&] { ++changes; });
        QObject::connect(&section, &CSection::VarMaxChange, [&] { ++changes; });
        // the focus starts in the box: leaving the other one would correct that one first
        auto *box = section.findChild<QLineEdit *>(QLatin1String(c.enterInMin ? "txtTMin" : "txtTMax"));
        box->setFocus();
        section.show();
        QApplication::setActiveWindow(&section);
        ASSERT_TRUE(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Return);
        const QString minBox = section.findChild<QLineEdit *>(QStringLiteral("txtTMin"))->text();
        const QString maxBox = section.findChild<QLineEdit *>(QStringLiteral("txtTMax"))->text();
        if (c.minBox) {
            EXPECT_EQ(minBox, QLatin1String(c.minBox));
            EXPECT_EQ(maxBox, QLatin1String(c.maxBox));
        }
        EXPECT_EQ(low.KrvDisplayValueE2, c.low);
        EXPECT_EQ(high.KrvDisplayValueE2, c.high);
        EXPECT_EQ(changes > 0, c.commits);
        // whatever the boxes show, the bars stay inside the limits
        for (const char *bar : {"hscTMin", "hscTMax"}) {
            const int value = section.findChild<QScrollBar *>(QLatin1String(bar))->value();
            EXPECT_GE(value, c.limitLow) << bar;
            EXPECT_LE(value, c.limitHigh) << bar;
        }
    }
}
