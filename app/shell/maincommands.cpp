#include "maincommands.h"

#include "appinfo.h"
#include "comparecommands.h"
#include "configcompare.h"
#include "filedialogservice.h"
#include "frmabout.h"
#include "frmcomment.h"
#include "frmdebug.h"
#include "frmmain.h"
#include "frmpwd.h"
#include "frmsectioncolour.h"
#include "messageservice.h"
#include "pagebase.h"
#include "programlauncher.h"
#include "resetquestion.h"
#include "session.h"
#include "statusbarview.h"
#include "writepreview.h"

#include <QAction>
#include <QFileInfo>
#include <QTabBar>
#include <QUrl>
#include <algorithm>
#include <iterator>

namespace {
const QString OperationFailed = QStringLiteral("Operation Failed :");
const QString ConfigurationError = QStringLiteral("CONFIGURATION ERROR");
} // namespace

MainCommands::MainCommands(FrmMain &main)
    : QObject(&main), m_main(main), m_session(main.session()), m_compare(new CompareCommands(main))
{
    wire();
}

void MainCommands::wire()
{
    const struct { const char *name; void (MainCommands::*command)(); } menus[] = {
        {"mnuFile_Load", &MainCommands::Load},          {"mnuFile_Save", &MainCommands::Save},
        {"mnuFile_Exit", &MainCommands::Exit},          {"mnuView_Page", &MainCommands::ShowNextPage},
        {"mnuHW_Connect", &MainCommands::ConnectCommand}, {"mnuHW_WriteAll", &MainCommands::WriteAll},
        {"mnuHW_ReadAll", &MainCommands::ReadAll},      {"mnuHW_Write", &MainCommands::Write},
        {"mnuHw_Read", &MainCommands::Read},            {"mnuHw_Reset", &MainCommands::Reset},
        {"mnuSet_Login", &MainCommands::Login},         {"mnuSet_Logout", &MainCommands::Logout},
        {"mnuHelp_Help", &MainCommands::Help},          {"mnuHelp_Site", &MainCommands::WebSite},
        {"mnuHelp_Info", &MainCommands::About},         {"mnuSet_Palette", &MainCommands::Palette},
    };
    for (const auto &menu : menus)
        connect(m_main.menuItem(QLatin1String(menu.name)), &QAction::triggered, this,
                [this, command = menu.command] { run(command); });
    for (int i = 0; i < FrmMain::ComPortItems; ++i)
        connect(m_main.comPortItem(i), &QAction::triggered, this, [this, i] { SelectPort(i); });
    connect(m_main.baudItem(1), &QAction::triggered, this, [this] { SelectBaud(1); });
    for (int position = 1; position <= FrmMain::ToolbarPositions; ++position) {
        QAction *button = m_main.toolButton(position);
        const QString key = button->property("key").toString();
        if (!key.isEmpty())
            connect(button, &QAction::triggered, this, [this, key] { buttonClicked(key); });
    }
}

void MainCommands::buttonClicked(const QString &key)
{
    const struct { const char *key; void (MainCommands::*command)(); } keys[] = {
        {"Load Configuration", &MainCommands::Load}, {"Save Configuration", &MainCommands::Save},
        {"Read All", &MainCommands::ReadAll},        {"Write All", &MainCommands::WriteAll},
        {"Reset", &MainCommands::Reset},             {"Read", &MainCommands::Read},
        {"Write", &MainCommands::Write},             {"Login", &MainCommands::Login},
        {"Logout", &MainCommands::Logout},           {"Help", &MainCommands::Help},
        {"Info", &MainCommands::About},              {"Connect", &MainCommands::ConnectCommand},
    };
    for (const auto &entry : keys)
        if (key == QLatin1String(entry.key))
            run(entry.command);
    // The pressed look of the connect button belongs to the draw timer, not to the click.
    if (key == QLatin1String("Connect"))
        m_main.setButtonPressed(19, m_session.IsConnectObj.value() != ConnectionState::NotConnected);
}

void MainCommands::run(Command command)
{
    const Command linkCommands[] = {&MainCommands::ConnectCommand, &MainCommands::Read, &MainCommands::ReadAll,
                                    &MainCommands::Write, &MainCommands::WriteAll, &MainCommands::Reset};
    if (std::find(std::begin(linkCommands), std::end(linkCommands), command) == std::end(linkCommands))
        (this->*command)();
    else
        m_session.link.request([this, command] { (this->*command)(); });
}

QString MainCommands::unsavedQuestion()
{
    return QStringLiteral("Configuration file Not Saved.\rNo saved settings will be lost.\r\rCONTINUE ANYWAY?");
}

void MainCommands::ConnectCommand()
{
    if (m_session.IsConnectObj.value() != ConnectionState::NotConnected)
        Disconnect();
    else
        Connect();
}

void MainCommands::Disconnect()
{
    m_main.closeWaitWindow();
    if (PageBase *page = m_main.currentPageWindow())
        page->DisableTimer();
    m_session.rs232.Disconnect();
    clearFileState();
    m_session.link.setState(ConnectionState::NotConnected);
}

void MainCommands::Connect()
{
    const LinkScheduler::Turn turn(m_session.link);
    if (!turn)
        return;
    if (m_session.refusedWithoutList())
        return;
    MessageService *messages = m_session.messages;
    m_main.closeWaitWindow();
    m_session.rs232.Disconnect();
    if (!m_session.rs232.Connect()) {
        if (m_session.devLink.ComPort == 0 && messages)
            messages->show(QStringLiteral("Select a COM Port"));
        return;
    }
    if (m_session.FileState == Session::FileToSave && messages
        && messages->show(unsavedQuestion(), MessageService::Buttons::YesNo, MessageService::Icon::Warning)
               != MessageService::Answer::Yes)
        return;

    m_main.setEnabled(false);
    // a connect that fails leaves the values it found, the version included, as they were
    const Catalogue::E2Snapshot before = m_session.catalogue.saveE2Values();
    bool markerSet = false;
    QString error = m_session.e2Image.ReadResetMarker(markerSet);
    if (!error.isEmpty()) {
        transferFailed(error);
        return;
    }

    m_session.link.setState(ConnectionState::Busy);
    if (markerSet && messages
        && messages->show(QStringLiteral("Missing POWER RESET After A 'RESET' Command : Continue Anyway? "),
                          MessageService::Buttons::YesNo)
               != MessageService::Answer::Yes) {
        m_main.setEnabled(true);
        m_session.rs232.Disconnect();
        m_session.link.setState(ConnectionState::NotConnected);
        return;
    }

    if (CVarData *version = m_session.catalogue.entry(KRV_PROG_VERS)) {
        int32_t word = 0;
        error = m_session.rs232.ReadVar(version->Data->Address, word);
        if (!error.isEmpty()) {
            transferFailed(error);
            return;
        }
        version->ReadE2FromQEL(word);
    }

    error = m_session.e2Image.ReadE2All(m_session.e2Image.AllPagesMask());
    if (!error.isEmpty()) {
        m_session.catalogue.restoreE2Values(before);
        if (PageWindow *page = m_main.currentPage())
            page->RefreshObject();
        transferFailed(error, true);
        return;
    }
    m_session.link.setState(ConnectionState::Connected);
    m_main.setEnabled(true);
    m_main.selectTab(1);
    if (PageWindow *page = m_main.currentPage())
        page->RefreshObject();
    m_session.FileState = Session::FileNone;
    m_session.catalogue.ConfigSaved = true;
    m_session.ParamDiff = false;
    m_main.closeWaitWindow();
}

void MainCommands::transferFailed(const QString &error, bool wholeSet)
{
    m_main.closeWaitWindow();
    // a whole-set transfer that stopped midway says where, and what the unit now holds
    QString text = m_session.devLink.withCause(OperationFailed + error);
    const auto &stop = m_session.e2Image.lastStop();
    if (wholeSet && stop)
        text += QLatin1Char('\r') + stop->text();
    if (m_session.messages)
        m_session.messages->show(text);
    m_session.link.setState(ConnectionState::NotConnected);
    m_main.setEnabled(true);
}

void MainCommands::setConnected()
{
    m_session.link.setState(ConnectionState::Connected);
    m_main.setEnabled(true);
}

void MainCommands::clearFileState()
{
    m_session.FileState = Session::FileNone;
    m_session.CommentEdited = false;
    m_session.catalogue.ConfigSaved = true;
    m_session.ParamDiff = false;
}

void MainCommands::Read()
{
    const LinkScheduler::Turn turn(m_session.link);
    if (!turn)
        return;
    PageWindow *page = m_main.currentPage();
    if (!page || m_session.refusedWithoutList())
        return;
    m_main.setEnabled(false);
    const QString error = m_session.e2Image.ReadE2All(page->ReadKey());
    if (!error.isEmpty()) {
        transferFailed(error, true);
        return;
    }
    m_session.link.setState(ConnectionState::Connected);
    m_session.catalogue.ConfigSaved = true;
    m_session.ParamDiff = false;
    m_session.FileState = Session::FileNone;
    m_main.setEnabled(true);
    m_main.closeWaitWindow();
}

void MainCommands::ReadAll()
{
    const LinkScheduler::Turn turn(m_session.link);
    if (!turn)
        return;
    if (m_session.refusedWithoutList())
        return;
    m_main.setEnabled(false);
    const QString error = m_session.e2Image.ReadE2All(m_session.e2Image.AllPagesMask());
    if (!error.isEmpty()) {
        transferFailed(error, true);
        return;
    }
    setConnected();
}

void MainCommands::Write()
{
    const LinkScheduler::Turn turn(m_session.link);
    if (!turn)
        return;
    PageWindow *page = m_main.currentPage();
    if (!page || m_session.refusedWithoutList())
        return;
    const QString errors = page->CheckDataToWrite();
    MessageService *messages = m_session.messages;
    if (!errors.isEmpty()) {
        if (!m_main.LoggedIn) {
            if (messages)
                messages->show(errors, MessageService::Buttons::Ok, MessageService::Icon::Critical, ConfigurationError);
            return;
        }
        if (!messages
            || messages->show(errors + QStringLiteral("\rCONTINUE ANYWAY ?"), MessageService::Buttons::YesNo,
                              MessageService::Icon::Warning, ConfigurationError)
                   != MessageService::Answer::Yes)
            return;
    }
    if (!previewAccepted(QStringLiteral("Write"), page->WriteKey()))
        return;
    m_main.setEnabled(false);
    const QString error = m_session.e2Image.WriteE2All(page->WriteKey());
    if (!error.isEmpty()) {
        transferFailed(error, true);
        return;
    }
    m_session.catalogue.ConfigSaved = true;
    m_session.ParamDiff = false;
    setConnected();
}

void MainCommands::WriteAll()
{
    const LinkScheduler::Turn turn(m_session.link);
    if (!turn)
        return;
    if (m_session.refusedWithoutList())
        return;
    if (!previewAccepted(QStringLiteral("Write All"), m_session.e2Image.AllPagesWriteMask()))
        return;
    m_main.setEnabled(false);
    const QString error = m_session.e2Image.WriteE2All(m_session.e2Image.AllPagesWriteMask());
    if (!error.isEmpty()) {
        transferFailed(error, true);
        return;
    }
    setConnected();
}

bool MainCommands::previewAccepted(const QString &command, int16_t mask)
{
    WritePreview *preview = m_main.services().writePreview;
    if (!preview)
        return true;
    const ConfigCompare::WriteSet set = ConfigCompare::forWrite(m_session, mask);
    return preview->confirm(command, ConfigCompare(m_session.catalogue).rows(set.unit, set.sent));
}

void MainCommands::Reset()
{
    const LinkScheduler::Turn turn(m_session.link);
    if (!turn)
        return;
    if (!confirmReset(m_session.messages))
        return;
    clearFileState();
    m_main.setEnabled(false);
    const QString result = m_session.e2Image.SendLoadCommand();
    if (result != QLatin1String("0")) {
        transferFailed(result);
        return;
    }
    if (m_session.messages)
        m_session.messages->show(QStringLiteral("Switch OFF and then switch ON power supply!"),
                                 MessageService::Buttons::Ok, MessageService::Icon::Warning);
    m_session.rs232.Disconnect();
    m_session.link.setState(ConnectionState::NotConnected);
    m_main.setEnabled(true);
}

QString MainCommands::textFolder() const
{
    return m_main.writablePaths().configurationFolder();
}

void MainCommands::Load()
{
    if (m_session.refusedWithoutList())
        return;
    FileDialogService *dialogs = m_main.services().dialogs;
    MessageService *messages = m_session.messages;
    if (!dialogs)
        return;
    // a configuration saved without an extension is shown under "All files"
    const auto path = dialogs->openFile({QStringLiteral("Load System Configuration Parameters From ..."),
                                         QStringLiteral("*.*|*.*|All files|*"), textFolder(), {}});
    if (!path)
        return;
    // all or nothing: a bad file leaves values, comments, file state and page as they were
    const ConfigFileReader::Result result = m_session.file.LoadConfig(*path, QFileInfo(*path).fileName());
    if (!result.good()) {
        if (messages)
            messages->show(QStringLiteral("Error Loading File!\r") + result.reason, MessageService::Buttons::Ok,
                           MessageService::Icon::Critical);
        return;
    }
    if (messages)
        messages->show(QStringLiteral(" SUCCESS : Configuration Loaded "));
    m_main.selectTab(1);
    if (PageWindow *page = m_main.currentPage())
        page->RefreshObject();
    m_session.CommentEdited = false;
    m_session.FileState = Session::FileOk;
    m_session.catalogue.ConfigSaved = true;
    m_session.ParamDiff = true;
}

namespace {

// The path with ".txt" added when its name has no extension: the Load
// dialog's "*.*" would hide it.
QString withTextSuffix(const QString &path)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + (path.endsWith(QLatin1Char('.')) ? QStringLiteral("txt") : QStringLiteral(".txt"));
}

} // namespace

void MainCommands::Save()
{
    if (m_session.refusedWithoutList())
        return;
    FileDialogService *dialogs = m_main.services().dialogs;
    MessageService *messages = m_session.messages;
    if (!dialogs)
        return;
    const auto chosen = dialogs->saveFile({QStringLiteral("Save System Configuration Parameters To ..."),
                                           QStringLiteral("*.txt|*.txt"), textFolder(), QStringLiteral("MySettings")});
    if (!chosen)
        return;
    const QString path = withTextSuffix(*chosen);
    if (File::FileExists(path) && messages
        && messages->show(QStringLiteral("File Already Exist : Overwrite ?"), MessageService::Buttons::YesNo)
               != MessageService::Answer::Yes)
        return;
    if (!m_session.file.SaveConfig(path)) {
        if (messages)
            messages->show(QStringLiteral("Configuration NOT SAVED!"), MessageService::Buttons::Ok,
                           MessageService::Icon::Critical);
        return;
    }
    m_session.CommentEdited = false;
    m_session.FileState = Session::FileOk;
    m_session.catalogue.ConfigSaved = true;
    if (FrmComment *comment = m_main.commentPage())
        comment->setFileName(QFileInfo(path).fileName());
    if (messages)
        messages->show(QStringLiteral(" Configuration SAVED "));
}

void MainCommands::SelectPort(int index)
{
    StatusBarView &status = m_main.statusBar();
    for (int i = 0; i < FrmMain::ComPortItems; ++i)
        m_main.comPortItem(i)->setChecked(false);
    if (index == 0)
        status.setPanelText(8, QStringLiteral("NONE"));
    m_session.devLink.ComPort = int16_t(index);
    if (m_session.rs232.Connect()) {
        m_main.comPortItem(index)->setChecked(true);
        status.setPanelText(8, QStringLiteral("COM ") + QString::number(index));
    } else {
        status.setPanelText(8, QStringLiteral("NONE"));
        m_main.comPortItem(0)->setChecked(true);
        m_session.devLink.ComPort = 0;
    }
}

void MainCommands::SelectBaud(int index)
{
    QAction *item = m_main.baudItem(index);
    if (!item)
        return;
    for (int i = 1; m_main.baudItem(i); ++i)
        m_main.baudItem(i)->setChecked(false);
    item->setChecked(true);
    m_main.statusBar().setPanelText(9, item->text());
    m_main.ComBaudText = item->text();
    m_main.serialPort().Settings = m_main.ComBaudText + QStringLiteral(",n,8,1");
    m_session.rs232.Connect();
}

void MainCommands::Login()
{
    m_main.passwordDialog()->open();
}

void MainCommands::loginAccepted()
{
    m_main.LoggedIn = true;
    if (FrmDebug *debug = m_main.debugPage())
        debug->applyLoginDependency();
}

void MainCommands::Logout()
{
    m_main.LoggedIn = false;
    if (FrmDebug *debug = m_main.debugPage())
        debug->applyLoginDependency();
}

void MainCommands::ShowNextPage()
{
    const int count = m_main.TabMain()->count();
    m_main.selectTab(m_main.currentTab() >= count ? 1 : m_main.currentTab() + 1);
}

void MainCommands::Exit()
{
    m_session.draw.ExitProgram();
}

void MainCommands::Help()
{
    m_main.help().open(ManualHelp::HelpMenuPage);
}

void MainCommands::WebSite()
{
    if (ProgramLauncher *launcher = m_main.services().launcher)
        launcher->openUrl(QUrl(AppInfo::makerSite()));
}

void MainCommands::About()
{
    FrmAbout *about = m_main.aboutWindow();
    about->show();
    about->raise();
}

void MainCommands::Palette()
{
    FrmSectionColour *palette = m_main.paletteWindow();
    palette->clearPresetChoice();
    palette->open();
}
