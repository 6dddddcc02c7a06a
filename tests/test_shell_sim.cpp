// The real main window against krv-sim over a pseudo-terminal: connect,
// transfers, reset marker, write checks, load and save, file indicator.
#include "shellfixture.h"
#include "simprocess.h"

#include "comparecommands.h"
#include "comparetable.h"
#include "comparewindow.h"
#include "frmcomment.h"
#include "frmwait.h"
#include "mainstatusbar.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

namespace {

class ShellOverSim : public ShellTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        ShellTest::SetUp();
    }

    void connect()
    {
        window->toolButton(19)->trigger();
        ASSERT_EQ(state(), ConnectionState::Connected) << messages.lastText().toStdString();
        tick();   // the commands of the page come with the next draw tick
    }

    // The word the controller holds for a catalogue entry.
    int32_t controllerWord(KrvId id)
    {
        int32_t value = -99999;
        EXPECT_EQ(session.rs232.ReadVar(var(id).Address, value), QString());
        return value;
    }

    QString connectBox() const { return window->TxtConnect()->text(); }

    SimProcess sim;
};

} // namespace

TEST_F(ShellOverSim, ConnectReadsTheControllerAndDisconnectClearsEverything)
{
    connect();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->currentTab(), 1);
    EXPECT_EQ(session.FileState, Session::FileNone);
    EXPECT_TRUE(session.catalogue.ConfigSaved);
    EXPECT_FALSE(session.ParamDiff);
    EXPECT_NE(var(KRV_PROG_VERS).QelValueE2, 0) << "the software version was read";
    EXPECT_FALSE(window->waitWindow()->isVisible());

    tick();
    EXPECT_EQ(connectBox(), QStringLiteral("Connected"));
    EXPECT_EQ(window->mainStatusBar()->panelIcon(1), StateIcon::Green);
    EXPECT_EQ(window->menuItem(QStringLiteral("mnuHW_Connect"))->text(), QStringLiteral("Disconnect"));
    EXPECT_TRUE(window->toolButton(19)->isChecked());
    EXPECT_EQ(window->toolButton(19)->toolTip(), QStringLiteral("Disconnect"));
    EXPECT_TRUE(window->menuItem(QStringLiteral("mnuHw_Read"))->isEnabled());
    EXPECT_TRUE(window->toolButton(10)->isEnabled());
    EXPECT_FALSE(window->toolButton(4)->isEnabled()) << "Read All stays off on the configuration page";
    EXPECT_FALSE(window->menuItem(QStringLiteral("mnuSet_ComID"))->isEnabled());
    EXPECT_TRUE(window->mainStatusBar()->panelText(7).startsWith(QLatin1Char('v')));
    EXPECT_EQ(window->TxtPar()->text(), QStringLiteral("PARAMETER OK"));

    window->toolButton(19)->trigger();
    EXPECT_EQ(state(), ConnectionState::NotConnected);
    EXPECT_EQ(session.devLink.LinkState, DevLink::State::Close);
    tick();
    EXPECT_EQ(connectBox(), QStringLiteral("Not Connected"));
    EXPECT_EQ(window->mainStatusBar()->panelIcon(1), StateIcon::Red);
    EXPECT_EQ(window->menuItem(QStringLiteral("mnuHW_Connect"))->text(), QStringLiteral("Connect"));
    EXPECT_FALSE(window->toolButton(19)->isChecked());
    EXPECT_FALSE(window->toolButton(9)->isEnabled());
    EXPECT_EQ(window->TxtPar()->text(), QStringLiteral("---"));
}

TEST_F(ShellOverSim, UnsavedFileAnsweredNoStaysNotConnected)
{
    session.FileState = Session::FileToSave;
    messages.answers.push_back(MessageService::Answer::No);
    window->toolButton(19)->trigger();
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_EQ(messages.shown.last().text, MainCommands::unsavedQuestion());
    EXPECT_EQ(messages.shown.last().buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(state(), ConnectionState::NotConnected);
    EXPECT_EQ(session.FileState, Session::FileToSave);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(ShellOverSim, ResetThenTheResetMarkerQuestionAnsweredNoClosesTheLink)
{
    connect();
    // the toolbar's Reset answered No sends nothing
    messages.answers.push_back(MessageService::Answer::No);
    window->toolButton(7)->trigger();
    EXPECT_EQ(messages.lastText(), QStringLiteral("Restore every parameter of the control unit to its default values?"));
    EXPECT_EQ(state(), ConnectionState::Connected);
    bool marker = true;
    ASSERT_EQ(session.e2Image.ReadResetMarker(marker), QString());
    EXPECT_FALSE(marker);

    window->menuItem(QStringLiteral("mnuHw_Reset"))->trigger();
    EXPECT_EQ(messages.shown[messages.shown.size() - 2].text,
              QStringLiteral("Restore every parameter of the control unit to its default values?"));
    EXPECT_EQ(messages.lastText(), QStringLiteral("Switch OFF and then switch ON power supply!"));
    EXPECT_EQ(state(), ConnectionState::NotConnected);
    EXPECT_EQ(session.devLink.LinkState, DevLink::State::Close);
    EXPECT_TRUE(window->isEnabled());

    const QString question = QStringLiteral("Missing POWER RESET After A 'RESET' Command : Continue Anyway? ");
    messages.answers.push_back(MessageService::Answer::No);
    window->toolButton(19)->trigger();
    EXPECT_EQ(messages.lastText(), question);
    EXPECT_EQ(state(), ConnectionState::NotConnected);
    EXPECT_EQ(session.devLink.LinkState, DevLink::State::Close);
    EXPECT_TRUE(window->isEnabled());

    messages.answers.push_back(MessageService::Answer::Yes);
    window->toolButton(19)->trigger();
    EXPECT_EQ(state(), ConnectionState::Connected);

    // After a power cycle the question is gone.
    window->toolButton(19)->trigger();
    sim.powerCycle();
    messages.shown.clear();
    connect();
    EXPECT_EQ(messageCount(question), 0);
}

TEST_F(ShellOverSim, WriteWithProblemsIsRefusedLoggedOutAndOfferedLoggedIn)
{
    connect();
    const int32_t before = controllerWord(KRV_RAMP_TRISE_0);
    session.catalogue.entry(KRV_RAMP_TRISE_0)->KRVSetVar(before + 100);
    pages.config->problems = QStringLiteral("Section 2: coil current MAX below MIN");

    window->toolButton(10)->trigger();
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_EQ(messages.shown.last().text, pages.config->problems);
    EXPECT_EQ(messages.shown.last().title, QStringLiteral("CONFIGURATION ERROR"));
    EXPECT_EQ(messages.shown.last().icon, MessageService::Icon::Critical);
    EXPECT_EQ(controllerWord(KRV_RAMP_TRISE_0), before) << "nothing was written";

    window->LoggedIn = true;
    messages.answers.push_back(MessageService::Answer::No);
    window->toolButton(10)->trigger();
    EXPECT_EQ(messages.shown.last().text, pages.config->problems + QStringLiteral("\rCONTINUE ANYWAY ?"));
    EXPECT_EQ(messages.shown.last().buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(controllerWord(KRV_RAMP_TRISE_0), before);

    messages.answers.push_back(MessageService::Answer::Yes);
    window->toolButton(10)->trigger();
    EXPECT_EQ(state(), ConnectionState::Connected);
    EXPECT_EQ(controllerWord(KRV_RAMP_TRISE_0), before + 100);
    EXPECT_TRUE(session.catalogue.ConfigSaved);
    EXPECT_FALSE(session.ParamDiff);
}

TEST_F(ShellOverSim, EditShowsFileToSaveAWriteLeavesItAReadClearsIt)
{
    connect();
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("---"));
    session.catalogue.entry(KRV_RAMP_TFALL_1)->KRVSetVar(1500);
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("FILE TO SAVE"));
    tick();   // the page shows the difference the tick before found
    EXPECT_EQ(window->TxtPar()->text(), QStringLiteral("PARAMETER DIFF."));

    window->toolButton(10)->trigger();
    EXPECT_EQ(controllerWord(KRV_RAMP_TFALL_1), 1500);
    EXPECT_TRUE(session.catalogue.ConfigSaved);
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("FILE TO SAVE")) << "a write does not save a file";
    EXPECT_EQ(window->TxtPar()->text(), QStringLiteral("PARAMETER OK"));

    window->toolButton(9)->trigger();
    EXPECT_EQ(state(), ConnectionState::Connected);
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("---"));
}

TEST_F(ShellOverSim, SaveAskedBeforeOverwritingAndLoadShowsFileOkAndADifference)
{
    connect();
    const QString path = folder.file(QStringLiteral("set1.txt"));
    window->commentPage()->findChild<QLineEdit *>(QStringLiteral("txtAutor"))->setText(QStringLiteral("R. Lane"));
    // a name without extension gets ".txt", which the Load dialog's "*.*" shows
    dialogs.answers.push_back(folder.file(QStringLiteral("set1")));
    window->toolButton(2)->trigger();
    EXPECT_EQ(messages.lastText(), QStringLiteral(" Configuration SAVED "));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("set1"))));
    EXPECT_EQ(dialogs.requests.last().title, QStringLiteral("Save System Configuration Parameters To ..."));
    EXPECT_EQ(dialogs.requests.last().filter, QStringLiteral("*.txt|*.txt"));
    EXPECT_EQ(dialogs.requests.last().fileName, QStringLiteral("MySettings"));
    EXPECT_EQ(dialogs.requests.last().folder, folder.path() + QStringLiteral("/res/txt"));
    EXPECT_EQ(window->commentPage()->fileName(), QStringLiteral("set1.txt"));
    EXPECT_FALSE(session.CommentEdited);
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("FILE OK"));

    // Overwrite answered No saves nothing.
    messages.shown.clear();
    messages.answers.push_back(MessageService::Answer::No);
    dialogs.answers.push_back(path);
    window->toolButton(2)->trigger();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), QStringLiteral("File Already Exist : Overwrite ?"));

    // Cancel is silent.
    messages.shown.clear();
    window->toolButton(1)->trigger();
    EXPECT_TRUE(messages.shown.isEmpty());

    window->selectTab(4);
    dialogs.answers.push_back(path);
    window->toolButton(1)->trigger();
    EXPECT_EQ(messages.lastText(), QStringLiteral(" SUCCESS : Configuration Loaded "));
    EXPECT_EQ(dialogs.requests.last().title, QStringLiteral("Load System Configuration Parameters From ..."));
    EXPECT_EQ(dialogs.requests.last().filter, QStringLiteral("*.*|*.*|All files|*"));
    EXPECT_EQ(window->currentTab(), 1);
    EXPECT_EQ(window->commentPage()->findChild<QLineEdit *>(QStringLiteral("txtAutor"))->text(),
              QStringLiteral("R. Lane"));
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("FILE OK"));
    EXPECT_EQ(window->txtFileTosave()->palette().color(QPalette::Base), QColor(0, 192, 0));
    EXPECT_EQ(window->TxtPar()->text(), QStringLiteral("PARAMETER DIFF."));

    dialogs.answers.push_back(folder.file(QStringLiteral("vanished.txt")));
    window->toolButton(1)->trigger();
    EXPECT_EQ(messages.lastText(), QStringLiteral("Error Loading File!\rno such file"));
    EXPECT_EQ(messages.shown.last().icon, MessageService::Icon::Critical);
}

TEST_F(ShellOverSim, EditWrittenWithWriteAllIsInTheControllerAfterAPowerCycle)
{
    connect();
    window->commands().ReadAll();
    ASSERT_EQ(state(), ConnectionState::Connected);
    CVarData *rise = session.catalogue.entry(KRV_RAMP_TRISE_2);
    const int32_t edited = var(KRV_RAMP_TRISE_2).QelValueE2 == 1234 ? 1250 : 1234;
    rise->KRVSetVar(edited);
    window->commands().WriteAll();
    ASSERT_EQ(state(), ConnectionState::Connected) << messages.lastText().toStdString();

    tick();
    window->toolButton(19)->trigger();
    ASSERT_EQ(state(), ConnectionState::NotConnected);
    rise->KRVSetVar(500);
    rise->ReadE2FromQEL(500);
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();

    connect();
    EXPECT_EQ(var(KRV_RAMP_TRISE_2).QelValueE2, edited);
}

TEST_F(ShellOverSim, AFailedTransferGivesUpTheLink)
{
    connect();
    sim.set(QStringLiteral("silent"), QStringLiteral("1"));
    window->toolButton(9)->trigger();
    // the first entry got no answer: nothing was read
    EXPECT_EQ(messages.lastText(), QStringLiteral("Operation Failed :FAILED!\rno answer from the control unit\rRead stopped at ")
                                       + var(KRV_PROG_VERS).Name
                                       + QStringLiteral(" (0 of %1 read): the values from before the read are kept.")
                                             .arg(session.e2Image.lastStop() ? session.e2Image.lastStop()->total : -1));
    EXPECT_EQ(state(), ConnectionState::NotConnected);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->waitWindow()->isVisible());
}

TEST_F(ShellOverSim, PreviewBeforeWritingCancelSendsNothingWriteSendsTheChange)
{
    connect();
    const CVarDataS &fall = var(KRV_RAMP_TFALL_1);
    const int32_t before = fall.QelValueE2;
    const int32_t edited = before == 1500 ? 1600 : 1500;
    session.catalogue.entry(KRV_RAMP_TFALL_1)->KRVSetVar(edited);

    preview.answer = false;
    const int accesses = components.watch.accesses;
    window->toolButton(10)->trigger();
    ASSERT_EQ(preview.calls.size(), 1);
    EXPECT_EQ(preview.calls[0].command, QStringLiteral("Write"));
    ASSERT_EQ(preview.calls[0].rows.size(), 1);
    const ConfigCompare::Row &row = preview.calls[0].rows[0];
    EXPECT_EQ(row.name, fall.Name);
    EXPECT_EQ(row.a.shown(row.unit), QStringLiteral("%1 %2").arg(before).arg(fall.Unit));
    EXPECT_EQ(row.b.shown(row.unit), QStringLiteral("%1 %2").arg(edited).arg(fall.Unit));
    EXPECT_EQ(components.watch.accesses, accesses) << "Cancel sends nothing";
    EXPECT_EQ(fall.QelValueE2, before);
    EXPECT_EQ(fall.KrvDownloadValueE2, edited);
    EXPECT_FALSE(session.catalogue.ConfigSaved) << "nothing is marked written";
    EXPECT_EQ(controllerWord(KRV_RAMP_TFALL_1), before);

    preview.answer = true;
    window->commands().WriteAll();
    ASSERT_EQ(preview.calls.size(), 2);
    EXPECT_EQ(preview.calls[1].command, QStringLiteral("Write All"));
    EXPECT_EQ(preview.calls[1].rows.size(), 1);
    EXPECT_EQ(controllerWord(KRV_RAMP_TFALL_1), edited);

    // nothing differs any more: the preview has no rows and the write still goes out
    tick();
    const int written = components.watch.accesses;
    window->toolButton(10)->trigger();
    ASSERT_EQ(preview.calls.size(), 3);
    EXPECT_TRUE(preview.calls[2].rows.isEmpty());
    EXPECT_GT(components.watch.accesses, written);
    EXPECT_EQ(state(), ConnectionState::Connected);

    // a loaded file takes the place of the read values: the preview still shows what the unit holds
    const QString saved = folder.file(QStringLiteral("older.txt"));
    session.catalogue.entry(KRV_RAMP_TFALL_1)->KRVSetVar(before);
    ASSERT_TRUE(session.file.SaveConfig(saved));
    session.catalogue.entry(KRV_RAMP_TFALL_1)->KRVSetVar(edited);
    ASSERT_TRUE(session.file.LoadConfig(saved, QStringLiteral("older.txt")).good());
    preview.answer = false;
    tick();
    window->commands().Write();
    ASSERT_EQ(preview.calls.size(), 4);
    ASSERT_EQ(preview.calls[3].rows.size(), 1);
    EXPECT_EQ(preview.calls[3].rows[0].a.shown(), QString::number(edited)) << "the unit's value, not the file's";
    EXPECT_EQ(preview.calls[3].rows[0].b.shown(), QString::number(before));
    preview.answer = true;
    window->commands().Write();
    EXPECT_EQ(controllerWord(KRV_RAMP_TFALL_1), before);

    // one section fewer: the edited value of the section dropped is not sent, so not shown
    const int32_t sections = var(KRV_NUM_PROP_REG).QelValueE2;
    const auto lastFall = KrvId(KRV_RAMP_TFALL_0 + 2 * (sections - 1));
    ASSERT_EQ(var(lastFall).TbxTypeID, sections - 1);
    session.catalogue.entry(KRV_NUM_PROP_REG)->KRVSetVar(sections - 1);
    session.catalogue.entry(lastFall)->KRVSetVar(var(lastFall).QelValueE2 == 1500 ? 1600 : 1500);
    preview.answer = false;
    tick();
    window->toolButton(10)->trigger();
    ASSERT_EQ(preview.calls.size(), 6);
    ASSERT_EQ(preview.calls[5].rows.size(), 1);
    EXPECT_EQ(preview.calls[5].rows[0].name, var(KRV_NUM_PROP_REG).Name);
}

TEST_F(ShellOverSim, CompareWithTheUnitAndAFileChangesNothingTheProgramHolds)
{
    QAction *withUnit = window->menuItem(QStringLiteral("mnuFile_CompareUnit"));
    EXPECT_FALSE(withUnit->isEnabled()) << "no unit to compare with";
    connect();
    EXPECT_TRUE(withUnit->isEnabled());

    // the program holds one edit; the unit now has another section count
    const CVarDataS &count = var(KRV_NUM_PROP_REG);
    const int32_t sections = count.QelValueE2;
    const int32_t unitSections = sections > 1 ? sections - 1 : sections + 1;
    ASSERT_EQ(session.rs232.WriteVar(count.Address, unitSections), QString());
    const int32_t before = var(KRV_RAMP_TFALL_1).QelValueE2;
    const int32_t edited = before == 1500 ? 1600 : 1500;
    session.catalogue.entry(KRV_RAMP_TFALL_1)->KRVSetVar(edited);

    withUnit->trigger();
    CompareWindow *compare = window->commands().compare().window();
    ASSERT_TRUE(compare) << messages.lastText().toStdString();
    const QString text = compare->table()->tabText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Name\tProgram value\tUnit value\tUnit\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("%1\t%2\t%3\t").arg(count.Name).arg(sections).arg(unitSections)));
    EXPECT_TRUE(text.contains(QStringLiteral("%1\t%2\t%3\t").arg(var(KRV_RAMP_TFALL_1).Name).arg(edited).arg(before)))
        << text.toStdString();
    // the entries of the section the unit no longer has
    EXPECT_TRUE(text.contains(QStringLiteral("\t(missing)\t"))) << text.toStdString();
    EXPECT_EQ(count.QelValueE2, sections) << "the snapshot is the unit's, not the catalogue's";
    EXPECT_EQ(count.KrvDownloadValueE2, sections);
    EXPECT_EQ(var(KRV_RAMP_TFALL_1).QelValueE2, before);
    EXPECT_EQ(var(KRV_RAMP_TFALL_1).KrvDownloadValueE2, edited);
    EXPECT_EQ(state(), ConnectionState::Connected);
    EXPECT_TRUE(window->isEnabled());

    // a saved file differs from the program in the one value edited since
    dialogs.answers.push_back(folder.file(QStringLiteral("saved.txt")));
    window->toolButton(2)->trigger();
    session.catalogue.entry(KRV_RAMP_TFALL_1)->KRVSetVar(before);
    dialogs.answers.push_back(folder.file(QStringLiteral("saved.txt")));
    window->menuItem(QStringLiteral("mnuFile_CompareFile"))->trigger();
    compare = window->commands().compare().window();
    ASSERT_TRUE(compare);
    EXPECT_EQ(compare->table()->tabText(), QStringLiteral("Name\tProgram value\tFile value\tUnit\n%1\t%2\t%3\t%4\n")
                                              .arg(var(KRV_RAMP_TFALL_1).Name)
                                              .arg(before)
                                              .arg(edited)
                                              .arg(var(KRV_RAMP_TFALL_1).Unit));

    // a unit that stops answering: said, the link given up, the program's values kept
    sim.set(QStringLiteral("silent"), QStringLiteral("1"));
    withUnit->trigger();
    EXPECT_EQ(messages.lastText(), QStringLiteral("Operation Failed :FAILED!\rno answer from the control unit\rReading "
                                                  "the control unit for the comparison stopped after 0 values: "
                                                  "nothing in the program was changed."));
    EXPECT_EQ(state(), ConnectionState::NotConnected);
    EXPECT_EQ(count.QelValueE2, sections);
}
