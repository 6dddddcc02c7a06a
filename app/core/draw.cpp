#include "draw.h"

#include "mainwindowview.h"
#include "messageservice.h"
#include "pageset.h"
#include "pagewindow.h"
#include "progressbarview.h"
#include "session.h"
#include "statusbarview.h"
#include "textboxview.h"
#include "vbnumber.h"
#include "windowview.h"

#include <QTimer>
#include <algorithm>

namespace {

// Toolbar positions.
constexpr int ReadAllButton = 4;
constexpr int WriteAllButton = 5;
constexpr int ResetButton = 7;
constexpr int ReadButton = 9;
constexpr int WriteButton = 10;
constexpr int LoginButton = 12;
constexpr int LogoutButton = 13;
constexpr int HelpButton = 15;
constexpr int InfoButton = 16;
constexpr int ConnectButton = 19;

constexpr int HardwareButtons[] = {ReadAllButton, WriteAllButton, ResetButton, ReadButton, WriteButton};
const char *const HardwareMenus[] = {"mnuHW_ReadAll", "mnuHW_WriteAll", "mnuHw_Read", "mnuHW_Write",
                                     "mnuHw_Reset"};

// Status panels.
constexpr int ProgressPanel = 5;
constexpr int SizePanel = 6;
constexpr int VersionPanel = 7;

const QString ConnectText = QStringLiteral("Connect");

} // namespace

Draw::Draw(Session &session) : m_session(session) {}

Draw::~Draw() = default;

void Draw::ShowParamStatus(TextBoxView &box) const
{
    if (m_session.IsConnectObj.value() != ConnectionState::Connected) {
        box.setText(QStringLiteral("---"));
        box.setBackColor(ButtonFace);
    } else if (m_session.ParamDiff) {
        box.setText(QStringLiteral("PARAMETER DIFF."));
        box.setBackColor(LightYellow);
    } else {
        box.setText(QStringLiteral("PARAMETER OK"));
        box.setBackColor(Green);
    }
}

void Draw::SelectAllText(TextBoxView &box)
{
    box.setSelection(0, static_cast<int>(box.text().size()));
}

void Draw::CenterWindow(WindowView &window, const WindowView &reference)
{
    const QRect ref = reference.frameGeometry();
    const QRect own = window.frameGeometry();
    window.moveTo(QPoint(ref.x() + (ref.width() - own.width()) / 2,
                         ref.y() + (ref.height() - own.height()) / 2));
}

void Draw::applyHelpCommands()
{
    MainWindowView *view = m_session.mainWindow;
    view->setButtonEnabled(HelpButton, true);
    view->setButtonEnabled(InfoButton, true);
    view->setMenuEnabled(QStringLiteral("mnuHelp_Help"), true);
    view->setMenuEnabled(QStringLiteral("mnuHelp_Info"), true);
}

void Draw::applyIdleCommands(bool busy)
{
    MainWindowView *view = m_session.mainWindow;
    for (const char *menu : HardwareMenus)
        view->setMenuEnabled(QLatin1String(menu), false);
    for (int button : HardwareButtons)
        view->setButtonEnabled(button, false);
    view->setMenuEnabled(QStringLiteral("mnuHW_Connect"), !busy);
    view->setButtonEnabled(ConnectButton, !busy);
    view->setButtonPressed(ConnectButton, busy);
    view->setButtonToolTip(ConnectButton, ConnectText);
    view->setMenuEnabled(QStringLiteral("mnuSet_ComID"), !busy);
    view->setMenuEnabled(QStringLiteral("mnuSet_ComBauldID"), false);
}

void Draw::ResetCommands()
{
    MainWindowView *view = m_session.mainWindow;
    if (!view)
        return;
    applyHelpCommands();
    view->setButtonEnabled(LoginButton, false);
    view->setButtonEnabled(LogoutButton, false);
    view->setMenuEnabled(QStringLiteral("mnuSet_Login"), false);
    view->setMenuEnabled(QStringLiteral("mnuSet_Logout"), false);
    applyIdleCommands(false);
}

void Draw::UpdateCommandState()
{
    MainWindowView *view = m_session.mainWindow;
    if (!view)
        return;
    applyHelpCommands();
    const int16_t state = m_session.IsConnectObj.value();
    if (state == ConnectionState::NotConnected) {
        applyIdleCommands(false);
        view->setMenuCaption(QStringLiteral("mnuHW_Connect"), ConnectText);
    } else if (state == ConnectionState::Busy) {
        applyIdleCommands(true);
    }
    // otherwise the current page's DrawBar decides
}

QString Draw::versionText(int32_t displayValue)
{
    if (displayValue == 0)
        return QStringLiteral("----");
    const QString digits = VbNumber::format(displayValue, u"00000");
    return QStringLiteral("v") + digits.left(3) + QLatin1Char('.') + digits.mid(3, 2);
}

QString Draw::systemSizeText(int32_t displayValue)
{
    if (displayValue >= 1 && displayValue <= 4)
        return QString::number(displayValue * 100) + QLatin1Char('W');
    return QStringLiteral("---");
}

void Draw::UpdateStatusBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text)
{
    if (m_session.pages) {
        if (PageWindow *page = m_session.pages->currentPage())
            page->DrawBar(statusBar, progressBar, text);
    }
    const int percent = std::clamp<int>(m_session.ProgressPercent, 0, 100);
    progressBar.setValue(percent);
    statusBar.setPanelText(ProgressPanel, QString::number(percent) + QLatin1Char('%'));

    const CVarDataS *version = m_session.catalogue.data(KRV_PROG_VERS);
    statusBar.setPanelText(VersionPanel, versionText(version ? version->KrvDisplayValueE2 : 0));
    const CVarDataS *sections = m_session.catalogue.data(KRV_NUM_PROP_REG);
    statusBar.setPanelText(SizePanel, systemSizeText(sections ? sections->KrvDisplayValueE2 : 0));

    UpdateCommandState();
}

void Draw::UpdateStatusBar(const QString &text)
{
    if (MainWindowView *view = m_session.mainWindow)
        UpdateStatusBar(view->statusBar(), view->progressBar(), text);
}

int Draw::ExitProgram()
{
    // Ask once per exit: the retries of a requested exit do not ask again.
    if (m_session.FileState == Session::FileToSave && !m_session.ExitRequested && m_session.messages) {
        const auto answer = m_session.messages->show(
            QStringLiteral("Configuration file Not Saved.\rNo saved settings will be lost.\r\rCONTINUE ANYWAY?"),
            MessageService::Buttons::YesNo, MessageService::Icon::Warning);
        if (answer != MessageService::Answer::Yes)
            return 1;
    }

    m_session.ExitRequested = true;
    m_session.link.dropRequests();
    ++m_exitAttempts;
    if (m_exitRetry)
        m_exitRetry->stop(); // this is the attempt it was waiting for
    if (m_exitAttempts > MaxExitAttempts) {
        if (m_session.mainWindow)
            m_session.mainWindow->endProgram();
        return 0;
    }

    if (m_session.pages) {
        for (PageWindow *page : m_session.pages->openPages()) {
            page->DisableTimer();
            if (page->StatusTimerForm()) {
                retryExitSoon(); // a tick is still running
                return 1;
            }
        }
    }

    if (m_session.mainWindow)
        m_session.mainWindow->unloadAllWindows();
    return 0;
}

void Draw::retryExitSoon()
{
    if (!m_exitRetry) {
        m_exitRetry = std::make_unique<QTimer>();
        m_exitRetry->setSingleShot(true);
        m_exitRetry->setInterval(ExitRetryMs);
        QObject::connect(m_exitRetry.get(), &QTimer::timeout, [this] { ExitProgram(); });
    }
    m_exitRetry->start();
}
