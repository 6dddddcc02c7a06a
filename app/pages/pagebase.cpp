#include "pagebase.h"

#include "draw.h"
#include "mainwindowview.h"
#include "manualhelp.h"
#include "session.h"
#include "statusbarview.h"
#include "textboxview.h"

#include <QKeyEvent>

namespace {
// Toolbar positions.
constexpr int LoadButton = 1, SaveButton = 2, ReadAllButton = 4, WriteAllButton = 5, ResetButton = 7,
              ReadButton = 9, WriteButton = 10, LoginButton = 12, LogoutButton = 13, ConnectButton = 19;
} // namespace

PageBase::PageBase(const QString &name, const QString &caption, int16_t readKey, int16_t writeKey, int helpPage,
                   const PageContext &context, QWidget *parent)
    : QWidget(parent), m_readKey(readKey), m_writeKey(writeKey), m_helpPage(helpPage), m_context(context)
{
    setObjectName(name);
    setWindowTitle(caption);
}

void PageBase::showHelp() const
{
    if (m_context.help)
        m_context.help->open(m_helpPage);
}

void PageBase::keyPressEvent(QKeyEvent *event)
{
    // F1 reaches the page from any of its controls that leaves the key alone.
    if (event->key() == Qt::Key_F1) {
        showHelp();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PageBase::showConnected(StatusBarView &statusBar, const QString &text)
{
    statusBar.setPanelIcon(1, StateIcon::Green);
    statusBar.setPanelText(1, QStringLiteral("Connected"));
    if (m_context.txtConnect) {
        m_context.txtConnect->setText(text);
        m_context.txtConnect->setBackColor(Draw::Green);
    }
}

void PageBase::showNotConnected(StatusBarView &statusBar)
{
    statusBar.setPanelIcon(1, StateIcon::Red);
    statusBar.setPanelText(1, QStringLiteral("Not Connected"));
    if (m_context.txtConnect) {
        m_context.txtConnect->setText(QStringLiteral("Not Connected"));
        m_context.txtConnect->setBackColor(Draw::ButtonFace);
    }
}

void PageBase::setLoginCommands(bool login, bool logout)
{
    mainWindow().setButtonEnabled(LoginButton, login);
    mainWindow().setButtonEnabled(LogoutButton, logout);
    mainWindow().setMenuEnabled(QStringLiteral("mnuSet_Login"), login);
    mainWindow().setMenuEnabled(QStringLiteral("mnuSet_Logout"), logout);
}

void PageBase::setConnectedCommands(const Allowed &allowed)
{
    MainWindowView &view = mainWindow();
    view.setMenuEnabled(QStringLiteral("mnuHW_ReadAll"), allowed.readAll);
    view.setMenuEnabled(QStringLiteral("mnuHW_WriteAll"), allowed.writeAll);
    view.setMenuEnabled(QStringLiteral("mnuHw_Read"), allowed.read);
    view.setMenuEnabled(QStringLiteral("mnuHW_Write"), allowed.write);
    view.setMenuEnabled(QStringLiteral("mnuHw_Reset"), allowed.reset);
    view.setButtonEnabled(ReadAllButton, allowed.readAll);
    view.setButtonEnabled(WriteAllButton, allowed.writeAll);
    view.setButtonEnabled(ReadButton, allowed.read);
    view.setButtonEnabled(WriteButton, allowed.write);
    view.setButtonEnabled(ResetButton, allowed.reset);
    if (allowed.loadSave) {
        view.setButtonEnabled(LoadButton, true);
        view.setButtonEnabled(SaveButton, true);
    }
    view.setButtonEnabled(ConnectButton, true);
    view.setButtonPressed(ConnectButton, true);
    view.setButtonToolTip(ConnectButton, QStringLiteral("Disconnect"));
    view.setMenuEnabled(QStringLiteral("mnuHW_Connect"), true);
    view.setMenuCaption(QStringLiteral("mnuHW_Connect"), QStringLiteral("Disconnect"));
    view.setMenuEnabled(QStringLiteral("mnuSet_ComID"), false);
    view.setMenuEnabled(QStringLiteral("mnuSet_ComBauldID"), false);
}

void PageBase::drawConnectionBar(StatusBarView &statusBar, const QString &text, const Allowed &allowed)
{
    const ConnectionState &state = session().IsConnectObj;
    if (state.isConnected()) {
        showConnected(statusBar, QStringLiteral("Connected"));
        setConnectedCommands(allowed);
    } else if (state.value() == ConnectionState::Busy) {
        showConnected(statusBar, text);
    } else {
        showNotConnected(statusBar);
        session().ProgressPercent = 0;
    }
}
