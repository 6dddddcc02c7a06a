// The configuration page bound to the shipped catalogue: its widgets, the
// refresh, the ramp fields and mode boxes, the section controls, the inputs
// and the page members the main window calls.
#include "csection.h"
#include "rampeditor.h"
#include "test_config_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

TEST_F(ConfigPageTest, HasEveryWidgetOfTheLayout)
{
    EXPECT_EQ(page->objectName(), "FrmConfig");
    EXPECT_EQ(page->windowTitle(), "Configure");
    EXPECT_EQ(page->ReadKey(), 10);
    EXPECT_EQ(page->WriteKey(), 11);

    auto *tabs = widget<QTabWidget>("SSTab1");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "CURRENTS");
    EXPECT_EQ(tabs->tabText(1), "CURRENTS SLOW");
    EXPECT_EQ(tabs->tabText(2), "RAMPS");
    EXPECT_EQ(tabs->widget(0)->objectName(), "Frame4");
    EXPECT_EQ(tabs->widget(1)->objectName(), "Frame3");
    EXPECT_EQ(tabs->widget(2)->objectName(), "Frame2");

    for (const char *name : {"ImgQELPic", "ImgQEL", "CmbTBXType", "CmbTBXSysType", "LblMin", "lblMax", "Label4",
                             "Label5", "Label1", "Label2", "Label3", "CmdCanSettings", "Cmb2BProp", "CmbAIRange",
                             "FrmFloat", "CmbDMPina", "CmbFLoatPina", "CmbFloatMagneta", "hscFloatCurrenta",
                             "TxtFloatCurrenta"})
        widget(QString::fromLatin1(name));
    for (int k = 0; k < 4; ++k) {
        for (const char *array : {"MagA", "MagB", "MagAsdm", "MagBsdm"})
            EXPECT_NE(widget<CSection>(array, k), nullptr);
        for (const char *array : {"lblMag", "lblMagsdm", "MagSel", "MagSelsdm", "MagFocus", "MagFocussdm", "LblFreq",
                                  "LblAmp", "lblCurrent", "lblCurrentsdm", "lblRump", "RampA", "RampB",
                                  "lblUnit1TR", "lblUnit1TF", "lblUnit2TR", "lblUnit2TF", "ChkBreak", "ChkFull",
                                  "lblSectionDesc", "lblJoyDesc", "lblJoy", "JoySel", "JoyFocus", "LblPin"})
            widget(array, k);
        EXPECT_EQ(widget<QLabel>("lblSectionDesc", k)->text(), QStringLiteral("Sect. %1").arg(k + 1));
        EXPECT_EQ(widget<QLabel>("lblJoyDesc", k)->text(), QStringLiteral("Joy %1").arg(k + 1));
        EXPECT_EQ(widget<QGroupBox>("RampA", k)->title(), QStringLiteral("%1A").arg(k + 1));
        EXPECT_EQ(widget<QGroupBox>("RampB", k)->title(), QStringLiteral("%1B").arg(k + 1));
        // Coil A's fields sit in frame A, coil B's in frame B.
        EXPECT_EQ(widget("TxtTRise", 2 * k)->parentWidget(), widget("RampA", k));
        EXPECT_EQ(widget("hscTFall", 2 * k + 1)->parentWidget(), widget("RampB", k));
    }
    for (int c = 0; c < 8; ++c)
        for (const char *array : {"TxtTRise", "hscTRise", "TxtTFall", "hscTFall"})
            widget(array, c);
    const int segments[] = {6, 2, 6, 9};
    for (int j = 0; j < 4; ++j) {
        const QString name = QStringLiteral("Line%1").arg(j);
        widget(name.toLatin1().constData(), segments[j] - 1);
        EXPECT_EQ(page->findChild<QWidget *>(QStringLiteral("%1_%2").arg(name).arg(segments[j])), nullptr);
    }
    EXPECT_EQ(widget<QPushButton>("CmdCanSettings")->text(), "JoyStick and Digital Settings");
    EXPECT_FALSE(shown(widget("FrmFloat")));
    EXPECT_FALSE(shown(widget("Cmb2BProp")->parentWidget()));
}

TEST_F(ConfigPageTest, LoadingThePageIsNoEdit)
{
    EXPECT_TRUE(session.catalogue.ConfigSaved);
    EXPECT_GT(page->joyCatalogue().JoyCount, 5);
    EXPECT_FALSE(page->pictures().ModelPictures[0].isNull());
    EXPECT_FALSE(page->pictures().MagnetPicture.isNull());
    EXPECT_FALSE(widget<QLabel>("ImgQEL")->pixmap().isNull());
    EXPECT_TRUE(messages.shown.isEmpty());

    // A refresh asked for by the main window is: it leaves ConfigSaved false.
    page->RefreshObject();
    EXPECT_FALSE(session.catalogue.ConfigSaved);
}

TEST_F(ConfigPageTest, RefreshDataFillsRampsFromTheController)
{
    read(KRV_RAMP_TRISE_5, 750);
    read(KRV_RAMP_TFALL_2, 40);
    var(KRV_RAMP_TRISE_5).KrvDownloadValueE2 = 9;
    page->RefreshData();

    EXPECT_EQ(widget<QLineEdit>("TxtTRise", 5)->text(), "750");
    auto *bar = widget<QScrollBar>("hscTRise", 5);
    EXPECT_EQ(bar->minimum(), var(KRV_RAMP_TRISE_5).QelValE2Min);
    EXPECT_EQ(bar->maximum(), var(KRV_RAMP_TRISE_5).QelValE2Max);
    EXPECT_EQ(bar->value(), 750);
    EXPECT_EQ(widget("TxtTRise", 5)->toolTip(), var(KRV_RAMP_TRISE_5).TooltipDecription);
    EXPECT_EQ(var(KRV_RAMP_TRISE_5).KrvDownloadValueE2, 750);
    EXPECT_EQ(widget<QLineEdit>("TxtTFall", 2)->text(), "40");
    EXPECT_EQ(var(KRV_RAMP_TFALL_2).KrvDownloadValueE2, 40);
    EXPECT_FALSE(session.catalogue.ConfigSaved);
}

TEST_F(ConfigPageTest, TypingInARampFieldStoresInRangeValuesOnly)
{
    widget<QTabWidget>("SSTab1")->setCurrentIndex(2);
    read(KRV_RAMP_TRISE_1, 600);
    page->RefreshData();
    session.catalogue.ConfigSaved = true;
    auto *box = widget<QLineEdit>("TxtTRise", 1);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "0");
    QTest::keyClicks(box, "5");
    EXPECT_EQ(var(KRV_RAMP_TRISE_1).KrvDownloadValueE2, 600); // 5 < 10
    EXPECT_TRUE(session.catalogue.ConfigSaved);
    QTest::keyClicks(box, "x-0");
    EXPECT_EQ(box->text(), "50");
    EXPECT_EQ(var(KRV_RAMP_TRISE_1).KrvDownloadValueE2, 50);
    EXPECT_FALSE(session.catalogue.ConfigSaved);
    EXPECT_EQ(var(KRV_RAMP_TRISE_1).QelValueE2, 600); // the controller value is untouched

    // Out of range, Enter, Yes: the controller value comes back.
    box->setText("9999");
    messages.answers = {MessageService::Answer::Yes};
    QTest::keyClick(box, Qt::Key_Enter);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), "Value Not Correct : Restore With '600' ?");
    EXPECT_EQ(box->text(), "600");
    EXPECT_EQ(var(KRV_RAMP_TRISE_1).KrvDownloadValueE2, 600);
}

TEST_F(ConfigPageTest, FallScrollBarStoresItsPosition)
{
    widget<QScrollBar>("hscTFall", 3)->setValue(250);
    EXPECT_EQ(widget<QLineEdit>("TxtTFall", 3)->text(), "250");
    EXPECT_EQ(var(KRV_RAMP_TFALL_3).KrvDownloadValueE2, 250);
    EXPECT_EQ(var(KRV_RAMP_TFALL_2).KrvDownloadValueE2, var(KRV_RAMP_TFALL_2).QelValueE2);
}

TEST_F(ConfigPageTest, FindRampLabelsGiveCatalogueIndices)
{
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(page->FindKRVLabelTRISE(c), session.catalogue.index(KrvId(KRV_RAMP_TRISE_0 + c)));
        EXPECT_EQ(page->FindKRVLabelTFALL(c), session.catalogue.index(KrvId(KRV_RAMP_TFALL_0 + c)));
        EXPECT_GT(page->FindKRVLabelTRISE(c), 0);
    }
    EXPECT_EQ(page->FindKRVLabelTRISE(8), 0);
    EXPECT_EQ(page->FindKRVLabelTFALL(8), 0);
    EXPECT_EQ(page->FindKRVLabelTRISE(-1), 0);
}

TEST_F(ConfigPageTest, ModeBoxesFollowTheControllerValue)
{
    const int32_t values[] = {170, 85, 0, 255};
    for (int k = 0; k < 4; ++k)
        read(KrvId(KRV_RAMP_INV_MODE_0 + k), values[k]);
    page->RefreshData();
    for (int k = 0; k < 4; ++k) {
        const bool breakMode = k == 0;
        EXPECT_EQ(widget<QCheckBox>("ChkBreak", k)->isChecked(), breakMode) << k;
        EXPECT_EQ(widget<QCheckBox>("ChkFull", k)->isChecked(), !breakMode) << k;
        // What the next write sends is the mode on screen.
        EXPECT_EQ(var(KrvId(KRV_RAMP_INV_MODE_0 + k)).KrvDownloadValueE2, breakMode ? 170 : 85) << k;
    }
}

TEST_F(ConfigPageTest, ModeBoxesStayExclusive)
{
    read(KRV_RAMP_INV_MODE_2, 85);
    page->RefreshData();
    widget<QTabWidget>("SSTab1")->setCurrentIndex(2);
    session.catalogue.ConfigSaved = true;
    auto *full = widget<QCheckBox>("ChkFull", 2);
    auto *brk = widget<QCheckBox>("ChkBreak", 2);
    ASSERT_TRUE(full->isChecked());

    QTest::mouseClick(full, Qt::LeftButton);
    EXPECT_FALSE(full->isChecked());
    EXPECT_TRUE(brk->isChecked());
    EXPECT_EQ(var(KRV_RAMP_INV_MODE_2).KrvDownloadValueE2, 170);
    EXPECT_FALSE(session.catalogue.ConfigSaved);

    QTest::mouseClick(brk, Qt::LeftButton);
    EXPECT_FALSE(brk->isChecked());
    EXPECT_TRUE(full->isChecked());
    EXPECT_EQ(var(KRV_RAMP_INV_MODE_2).KrvDownloadValueE2, 85);

    // Set from the program: the same rule.
    brk->setChecked(true);
    EXPECT_FALSE(full->isChecked());
    EXPECT_EQ(var(KRV_RAMP_INV_MODE_2).KrvDownloadValueE2, 170);
    EXPECT_EQ(var(KRV_RAMP_INV_MODE_1).KrvDownloadValueE2, var(KRV_RAMP_INV_MODE_1).QelValueE2 == 170 ? 170 : 85);
}

TEST_F(ConfigPageTest, SectionControlsAreBoundWithTheirRanges)
{
    read(KRV_I3_MIN, 350);
    read(KRV_I3_MAX, 900);
    page->RefreshObject();
    auto *section = widget<CSection>("MagB", 1); // coil 3 = "2B"
    EXPECT_EQ(section->SectionName(), "2B");
    EXPECT_EQ(widget<CSection>("MagAsdm", 3)->SectionName(), "4A");
    EXPECT_EQ(section->CaricaMin(), &var(KRV_I3_MIN));
    EXPECT_EQ(section->CaricaMax(), &var(KRV_I3_MAX));
    EXPECT_EQ(section->Min(), var(KRV_I3_MIN).QelValE2Min);
    EXPECT_EQ(section->Max(), var(KRV_I3_MAX).QelValE2Max);
    EXPECT_EQ(widget<CSection>("MagBsdm", 1)->CaricaMin(), &var(KRV_I3_SDM_MIN));

    // An edit in the control reaches the catalogue and marks it changed.
    session.catalogue.ConfigSaved = true;
    auto *maxBox = section->findChild<QLineEdit *>("txtTMax");
    maxBox->setText("1500");
    EXPECT_EQ(var(KRV_I3_MAX).KrvDisplayValueE2, 1500);
    EXPECT_EQ(var(KRV_I3_MAX).KrvDownloadValueE2, 1500);
    EXPECT_FALSE(session.catalogue.ConfigSaved);
    // 2500 is beyond the record's range, which the control now knows.
    maxBox->setText("2500");
    EXPECT_EQ(var(KRV_I3_MAX).KrvDisplayValueE2, 1500);
}

TEST_F(ConfigPageTest, PinCaptionsComeFromTheConfigurationWords)
{
    struct Case
    {
        int32_t word;
        const char *caption;
    };
    const Case cases[] = {{0x0011, "Y axis"}, {0x0000, ""},         {0x0031, "n.a"},     {0x0081, "n.a"},
                          {0x5302, "DI_03-DI_05"}, {0x0302, "DI_03-OFF"}, {0x0002, "OFF-OFF"}};
    for (const Case &c : cases) {
        read(KRV_JOY_0_CONFIG, c.word);
        page->RefreshData();
        EXPECT_EQ(widget<QLabel>("LblPin", 0)->text(), QString::fromLatin1(c.caption)) << c.word;
    }
    // The raw value as a 16-bit word: a negative one is the same bit pattern.
    read(KRV_JOY_1_CONFIG, int16_t(0xA102));
    page->RefreshData();
    EXPECT_EQ(widget<QLabel>("LblPin", 1)->text(), "DI_01-DI_10");
    page->DescribeJoyInput(4, 0x0011); // no such input: nothing happens
}

TEST_F(ConfigPageTest, JoystickPicturesFollowTheIdentifiers)
{
    const JoyCatalogue &joys = page->joyCatalogue();
    const auto shows = [this](int k, const QImage &picture) {
        const QImage shown = widget<QLabel>("JoySel", k)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        return shown == picture.convertToFormat(QImage::Format_RGB32);
    };
    // the last joystick of the catalogue, and the first index past it
    ASSERT_FALSE(joys.picture(16).isNull());
    ASSERT_NE(joys.picture(16), joys.picture(2));
    entry(KRV_JOY_2_ID).KRVSetVar(16);
    entry(KRV_JOY_3_ID).KRVSetVar(17); // no such joystick
    page->ConfigDrawJoy();
    EXPECT_TRUE(shows(2, joys.picture(16)));
    EXPECT_FALSE(shows(2, joys.picture(2)));
    EXPECT_TRUE(widget<QLabel>("JoySel", 3)->pixmap().isNull());
    // the pages share what is drawn here through the system state
    EXPECT_EQ(session.system.inputs(2).joystick.convertToFormat(QImage::Format_RGB32),
              joys.picture(16).convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(session.system.inputs(3).joystick.isNull());

    entry(KRV_JOY_3_ID).KRVSetVar(-1);
    entry(KRV_JOY_2_ID).KRVSetVar(2);
    page->JoyVarDefaultSet();
    EXPECT_TRUE(widget<QLabel>("JoySel", 3)->pixmap().isNull());
    EXPECT_TRUE(shows(2, joys.picture(2)));
}

TEST_F(ConfigPageTest, DitherButtonsFollowTheSolenoidType)
{
    page->pictures().SolTypeDescriptions[2] = QStringLiteral("Second magnet");
    page->pictures().MagnetPicture2 = QPixmap(8, 8);
    page->pictures().MagnetPicture2.fill(Qt::red);
    // what the monitor's solenoid pictures redraw on
    QSignalSpy solenoids(&session.system, &SystemState::solenoidsChanged);

    entry(KRV_SOL_TYPE).KRVSetVar(2);
    page->ConfigDrawMag();
    for (const char *array : {"MagSel", "MagSelsdm"}) {
        EXPECT_EQ(widget(array, 3)->toolTip(), "Second magnet");
        EXPECT_EQ(widget<QLabel>(array, 3)->pixmap().size(), QSize(8, 8));
    }
    EXPECT_EQ(solenoids.count(), 1);

    entry(KRV_SOL_TYPE).KRVSetVar(3); // unknown type: the buttons keep what they show
    page->ConfigDrawMag();
    EXPECT_EQ(widget("MagSel", 0)->toolTip(), "Second magnet");

    entry(KRV_SOL_TYPE).KRVSetVar(1);
    page->ConfigDrawMag();
    EXPECT_EQ(widget("MagSel", 0)->toolTip(), "Dither Settings");
    EXPECT_EQ(widget<QLabel>("MagSelsdm", 1)->pixmap().size(), page->pictures().MagnetPicture.size());
    EXPECT_TRUE(widget("MagSel", 2)->isEnabled());
    EXPECT_EQ(solenoids.count(), 3);
}

TEST_F(ConfigPageTest, DitherCaptionsAgreeOnEveryRow)
{
    entry(KRV_DITHER_FREQ).KRVSetVar(180);
    entry(KRV_DITHER_AMP).KRVSetVar(75);
    page->DrawDither();
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(widget<QLabel>("LblFreq", k)->text(), "180 Hz");
        EXPECT_EQ(widget<QLabel>("LblAmp", k)->text(), "75 mA");
    }
}

TEST_F(ConfigPageTest, DitherButtonsAndSettingsButtonAskForTheirWindows)
{
    QSignalSpy dither(page.get(), &FrmConfig::ditherSettingsRequested);
    QSignalSpy can(page.get(), &FrmConfig::canSettingsRequested);
    QTest::mouseClick(widget("MagSel", 1), Qt::LeftButton);
    EXPECT_EQ(dither.count(), 1);
    widget<QTabWidget>("SSTab1")->setCurrentIndex(1);
    QTest::mouseClick(widget("MagSelsdm", 1), Qt::LeftButton);
    EXPECT_EQ(dither.count(), 1); // the slow-mode buttons open nothing
    widget<QTabWidget>("SSTab1")->setCurrentIndex(0);

    QWidget *frame = widget("lblMag", 2);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(frame, &in);
    EXPECT_TRUE(shown(widget("MagFocus", 2)));
    QTest::keyClick(frame, Qt::Key_Return);
    EXPECT_EQ(dither.count(), 2);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(frame, &out);
    EXPECT_FALSE(shown(widget("MagFocus", 2)));

    QTest::mouseClick(widget("CmdCanSettings"), Qt::LeftButton);
    EXPECT_EQ(can.count(), 1);
}

TEST_F(ConfigPageTest, DrawBarWhileConnected)
{
    session.IsConnectObj = ConnectionState::Connected;
    session.ProgressPercent = 40;
    page->DrawBar(window.status, window.progress, QString());
    EXPECT_EQ(window.status.panelText(3), "v. 16.0.1");
    EXPECT_EQ(window.status.icons[1], StateIcon::Green);
    EXPECT_EQ(window.status.panelText(1), "Connected");
    EXPECT_EQ(connectBox.value, "Connected");
    EXPECT_EQ(session.ProgressPercent, 0);
    EXPECT_TRUE(window.menus["mnuHw_Read"].enabled);
    EXPECT_TRUE(window.menus["mnuHW_Write"].enabled);
    EXPECT_TRUE(window.menus["mnuHw_Reset"].enabled);
    EXPECT_FALSE(window.menus["mnuHW_ReadAll"].enabled);
    EXPECT_FALSE(window.menus["mnuHW_WriteAll"].enabled);
    EXPECT_FALSE(window.buttons[4].enabled);
    EXPECT_FALSE(window.buttons[5].enabled);
    for (int b : {1, 2, 7, 9, 10, 19})
        EXPECT_TRUE(window.buttons[b].enabled) << b;
    EXPECT_TRUE(window.buttons[19].pressed);
    EXPECT_EQ(window.buttons[19].toolTip, "Disconnect");
    EXPECT_EQ(window.menus["mnuHW_Connect"].caption, "Disconnect");
    EXPECT_FALSE(window.menus["mnuSet_ComID"].enabled);
    EXPECT_FALSE(window.buttons[12].enabled);
    EXPECT_FALSE(window.menus["mnuSet_Logout"].enabled);
    EXPECT_TRUE(page->CheckDataToWrite().isEmpty());
    EXPECT_FALSE(page->StatusTimerForm());

    session.IsConnectObj = ConnectionState::Busy;
    page->DrawBar(window.status, window.progress, QStringLiteral("Reading..."));
    EXPECT_EQ(connectBox.value, "Reading...");
    session.IsConnectObj = ConnectionState::NotConnected;
    page->DrawBar(window.status, window.progress, QString());
    EXPECT_EQ(connectBox.value, "Not Connected");
    EXPECT_EQ(window.status.icons[1], StateIcon::Red);
    EXPECT_EQ(window.status.panelText(1), "Not Connected");
}

TEST_F(ConfigPageTest, F1OpensTheManualAtPageTen)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    widget("TxtTRise", 0)->setFocus();
    QTest::keyClick(page.get(), Qt::Key_F1);
    ASSERT_EQ(viewer.calls.size(), 1);
    EXPECT_TRUE(viewer.calls[0].startsWith("AcroRd32.exe /A \"page=10&pagemode=bookmarks&zoom=100\"  \""));
}

TEST_F(ConfigPageTest, ClosingThePageRunsTheExitRoutine)
{
    session.FileState = Session::FileToSave;
    messages.answers = {MessageService::Answer::No};
    EXPECT_FALSE(page->close());
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(messages.lastText(), "Configuration file Not Saved.\rNo saved settings will be lost.\r\rCONTINUE ANYWAY?");
    EXPECT_EQ(window.unloads, 0);

    messages.answers = {MessageService::Answer::Yes};
    EXPECT_TRUE(page->close());
    EXPECT_EQ(window.unloads, 1);
}

} // namespace
