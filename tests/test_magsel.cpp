// The dither dialog driven through its widgets: typing, Enter, leaving the
// box, the scroll bars, the restore prompt, OK and Cancel.

#include "frmconfig.h"
#include "frmmagsel.h"
#include "pagetestbed.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class DitherDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // controller values: 100 Hz (limits 40 .. 250) and 100 mA (0 .. 400)
        freq()->ReadE2FromQEL(100);
        amp()->ReadE2FromQEL(100);
        bed.session.catalogue.ConfigSaved = true;
        dialog = std::make_unique<FrmMagSel>(bed.session, magnet, &bed.help);
        dialog->setDrawDither([this] { ++drawDithers; });
    }

    CVarData *freq() const { return bed.session.catalogue.entry(KRV_DITHER_FREQ); }
    CVarData *amp() const { return bed.session.catalogue.entry(KRV_DITHER_AMP); }

    template <typename T> T *widget(const QString &name) const
    {
        T *w = dialog->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit *text(const char *name) const { return widget<QLineEdit>(QLatin1String(name)); }
    QScrollBar *bar(const char *name) const { return widget<QScrollBar>(QLatin1String(name)); }

    // Replaces the box's text by typing, as a user does.
    void type(QLineEdit *box, const QString &keys)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, keys);
    }

    void showDialog()
    {
        dialog->open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    void click(const char *name) { QTest::mouseClick(widget<QPushButton>(QLatin1String(name)), Qt::LeftButton); }

    PageTestBed bed;
    QPixmap magnet{20, 10};
    std::unique_ptr<FrmMagSel> dialog;
    int drawDithers = 0;
};

TEST_F(DitherDialog, ShowsTheDownloadValuesWithTheRecordLimits)
{
    freq()->Data->KrvDownloadValueE2 = 120; // edited, not yet written
    showDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Dither Settings"));
    EXPECT_EQ(dialog->SavedDitherFreq, 120);
    EXPECT_EQ(dialog->SavedDitherAmp, 100);
    EXPECT_EQ(text("TxtDitherFreq")->text(), QStringLiteral("120"));
    EXPECT_EQ(bar("hscDitherFreq")->minimum(), 40);
    EXPECT_EQ(bar("hscDitherFreq")->maximum(), 250);
    EXPECT_EQ(bar("hscDitherFreq")->value(), 120);
    EXPECT_EQ(text("TxtDitherFreq")->toolTip(), freq()->Data->TooltipDecription);
    EXPECT_EQ(text("TxtDitherAmp")->text(), QStringLiteral("100"));
    EXPECT_EQ(bar("hscDitherAmp")->maximum(), 400);
    EXPECT_EQ(widget<QLabel>(QStringLiteral("LblDitherFreq"))->text(), QStringLiteral("Dither Frequency [Hz]"));
    EXPECT_EQ(widget<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("Dither Amplitude [mA]"));
    EXPECT_FALSE(widget<QPushButton>(QStringLiteral("CmdOk"))->text().isEmpty());

    // the percentage pair is there but neither shown nor filled
    EXPECT_FALSE(text("TxtDitherAmpPerc")->isVisible());
    EXPECT_FALSE(bar("hscDitherAmpPerc")->isVisible());
    EXPECT_TRUE(text("TxtDitherAmpPerc")->text().isEmpty());
    EXPECT_FALSE(widget<QLabel>(QStringLiteral("PicMag_1"))->isVisible());

    EXPECT_FALSE(widget<QLabel>(QStringLiteral("ImgMag_0"))->pixmap().isNull());
    EXPECT_TRUE(bed.session.catalogue.ConfigSaved);
}

TEST_F(DitherDialog, CancelPutsBackTheValuesOfTheActivation)
{
    showDialog();
    type(text("TxtDitherFreq"), QStringLiteral("150"));
    EXPECT_EQ(freq()->Data->KrvDownloadValueE2, 150);       // stored at once
    EXPECT_EQ(bar("hscDitherFreq")->value(), 150);
    EXPECT_TRUE(bed.session.catalogue.ConfigSaved);          // an edit here does not mark it
    type(text("TxtDitherAmp"), QStringLiteral("250"));
    EXPECT_EQ(amp()->Data->KrvDownloadValueE2, 250);

    click("CmdCancel");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(freq()->Data->KrvDownloadValueE2, 100);
    EXPECT_EQ(amp()->Data->KrvDownloadValueE2, 100);
    EXPECT_EQ(drawDithers, 1);
    EXPECT_TRUE(bed.session.catalogue.ConfigSaved);
}

TEST_F(DitherDialog, OkKeepsTheEditsAndTheNextActivationStartsFromThem)
{
    showDialog();
    type(text("TxtDitherAmp"), QStringLiteral("180"));
    click("CmdOk");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(amp()->Data->KrvDownloadValueE2, 180);
    EXPECT_FALSE(bed.session.catalogue.ConfigSaved);
    EXPECT_EQ(drawDithers, 1);

    showDialog();
    EXPECT_EQ(dialog->SavedDitherAmp, 180);
    EXPECT_EQ(text("TxtDitherAmp")->text(), QStringLiteral("180"));
    type(text("TxtDitherAmp"), QStringLiteral("20"));
    click("CmdCancel");
    EXPECT_EQ(amp()->Data->KrvDownloadValueE2, 180);
    EXPECT_EQ(drawDithers, 2);
}

TEST_F(DitherDialog, ValueAboveTheLimitIsNotStoredAndEnterOffersTheControllerValue)
{
    freq()->Data->KrvDownloadValueE2 = 120;
    showDialog();
    QLineEdit *box = text("TxtDitherFreq");
    type(box, QStringLiteral("300"));
    EXPECT_EQ(box->text(), QStringLiteral("300"));
    EXPECT_EQ(freq()->Data->KrvDownloadValueE2, 120);
    EXPECT_TRUE(bed.messages.shown.isEmpty());

    bed.messages.answers.push_back(MessageService::Answer::No);
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.shown[0].text, QStringLiteral("Value Not Correct : Restore With '100' ?"));
    EXPECT_EQ(bed.messages.shown[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(bed.messages.shown[0].icon, MessageService::Icon::Information);
    EXPECT_EQ(box->text(), QStringLiteral("300"));
    EXPECT_EQ(freq()->Data->KrvDownloadValueE2, 120);

    // Yes restores the controller's value, not the last accepted one
    bed.messages.answers.push_back(MessageService::Answer::Yes);
    QTest::keyClick(box, Qt::Key_Enter);
    EXPECT_EQ(bed.messages.shown.size(), 2);
    EXPECT_EQ(box->text(), QStringLiteral("100"));
    EXPECT_EQ(freq()->Data->KrvDownloadValueE2, 100);
}

TEST_F(DitherDialog, LeavingABoxBelowTheLimitAsksToo)
{
    showDialog();
    QLineEdit *box = text("TxtDitherFreq");
    type(box, QStringLiteral("5"));
    EXPECT_EQ(freq()->Data->KrvDownloadValueE2, 100);
    bed.messages.answers.push_back(MessageService::Answer::No);
    text("TxtDitherAmp")->setFocus();
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("Value Not Correct : Restore With '100' ?"));
    QTest::qWait(20);
    EXPECT_TRUE(box->hasFocus()); // No sends the user back to the box
    EXPECT_EQ(box->text(), QStringLiteral("5"));
}

TEST_F(DitherDialog, EmptyBoxShowsASelectedZeroAndOnlyDigitsAreTyped)
{
    showDialog();
    QLineEdit *box = text("TxtDitherAmp");
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("0"));
    EXPECT_EQ(box->selectedText(), QStringLiteral("0"));
    EXPECT_EQ(amp()->Data->KrvDownloadValueE2, 0);
    QTest::keyClicks(box, QStringLiteral("7"));
    EXPECT_EQ(box->text(), QStringLiteral("7"));
    EXPECT_EQ(amp()->Data->KrvDownloadValueE2, 7);
    QTest::keyClicks(box, QStringLiteral("a-x"));
    EXPECT_EQ(box->text(), QStringLiteral("7"));
    EXPECT_EQ(amp()->Data->KrvDownloadValueE2, 7);
    EXPECT_TRUE(bed.messages.shown.isEmpty());
}

TEST_F(DitherDialog, ScrollBarWritesTheBoxAndStores)
{
    showDialog();
    bar("hscDitherFreq")->setValue(230);
    EXPECT_EQ(text("TxtDitherFreq")->text(), QStringLiteral("230"));
    EXPECT_EQ(freq()->Data->KrvDownloadValueE2, 230);
    bar("hscDitherAmp")->triggerAction(QAbstractSlider::SliderSingleStepAdd); // the arrow button
    EXPECT_EQ(text("TxtDitherAmp")->text(), QStringLiteral("101"));
    EXPECT_EQ(amp()->Data->KrvDownloadValueE2, 101);
    EXPECT_TRUE(bed.messages.shown.isEmpty());
}

TEST_F(DitherDialog, ClosingOtherwiseNeitherRestoresNorRedraws)
{
    showDialog();
    type(text("TxtDitherFreq"), QStringLiteral("150"));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(freq()->Data->KrvDownloadValueE2, 150);
    EXPECT_EQ(drawDithers, 0);
}

TEST_F(DitherDialog, F1OpensTheManualAtPage18)
{
    showDialog();
    QTest::keyClick(text("TxtDitherAmp"), Qt::Key_F1);
    ASSERT_EQ(bed.viewer.calls.size(), 1);
    EXPECT_TRUE(bed.viewer.calls[0].second.startsWith(QStringLiteral("/A \"page=18&")))
        << bed.viewer.calls[0].second.toStdString();
}

} // namespace

namespace {

// The dialog as the configuration page opens it.
TEST(DitherDialogOnThePage, DitherButtonOpensItAndOkAndCancelRedrawTheCaptions)
{
    PageTestBed bed;
    bed.session.catalogue.entry(KRV_DITHER_FREQ)->ReadE2FromQEL(100);
    bed.session.catalogue.entry(KRV_DITHER_AMP)->ReadE2FromQEL(100);
    FrmConfig page(bed.context());
    page.show();
    auto *dialog = page.findChild<FrmMagSel *>();
    ASSERT_NE(dialog, nullptr); // made with the page, hidden
    EXPECT_FALSE(dialog->isVisible());

    QTest::mouseClick(page.findChild<QLabel *>(QStringLiteral("MagSel_2")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    auto *amp = dialog->findChild<QLineEdit *>(QStringLiteral("TxtDitherAmp"));
    amp->setText(QStringLiteral("250"));
    bed.session.catalogue.ConfigSaved = true;
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("CmdOk")), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(bed.session.catalogue.ConfigSaved);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(page.findChild<QLabel *>(QStringLiteral("LblAmp_%1").arg(k))->text(), QStringLiteral("250 mA"));

    // Enter on the dither frame opens it too; Cancel shows the old frequency again
    auto *frame = page.findChild<QLabel *>(QStringLiteral("lblMag_0"));
    frame->setFocus();
    QTest::keyClick(frame, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    dialog->findChild<QLineEdit *>(QStringLiteral("TxtDitherFreq"))->setText(QStringLiteral("150"));
    EXPECT_EQ(page.findChild<QLabel *>(QStringLiteral("LblFreq_3"))->text(), QStringLiteral("100 Hz"));
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("CmdCancel")), Qt::LeftButton);
    EXPECT_EQ(bed.session.catalogue.data(KRV_DITHER_FREQ)->KrvDownloadValueE2, 100);
    EXPECT_EQ(page.findChild<QLabel *>(QStringLiteral("LblFreq_1"))->text(), QStringLiteral("100 Hz"));
    EXPECT_EQ(page.findChild<QLabel *>(QStringLiteral("LblAmp_1"))->text(), QStringLiteral("250 mA"));
}

} // namespace
