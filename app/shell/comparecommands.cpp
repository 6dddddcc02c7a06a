#include "comparecommands.h"

#include "comparewindow.h"
#include "configcompare.h"
#include "filedialogservice.h"
#include "frmmain.h"
#include "messageservice.h"
#include "session.h"

#include <QAction>
#include <QFileInfo>

namespace {
const QString Reading = QStringLiteral("Reading...");
} // namespace

CompareCommands::CompareCommands(FrmMain &main) : QObject(&main), m_main(main), m_session(main.session())
{
    QAction *withFile = main.menuItem(QStringLiteral("mnuFile_CompareFile"));
    QAction *withUnit = main.menuItem(QStringLiteral("mnuFile_CompareUnit"));
    if (withFile)
        connect(withFile, &QAction::triggered, this, &CompareCommands::compareWithFile);
    if (withUnit) {
        connect(withUnit, &QAction::triggered, this, &CompareCommands::compareWithUnit);
        // only with a unit to read, and not while a transfer holds the link
        const auto follow = [this, withUnit] { withUnit->setEnabled(m_session.IsConnectObj.isConnected()); };
        connect(&m_session.IsConnectObj, &ConnectionState::assigned, this, follow);
        follow();
    }
}

CompareWindow *CompareCommands::openWindow()
{
    if (m_window)
        m_window->close();
    const QString folder = m_main.writablePaths().configurationFolder();
    m_window = new CompareWindow({m_main.services().dialogs, m_session.messages, folder}, &m_main);
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    return m_window;
}

void CompareCommands::compareWithFile()
{
    FileDialogService *dialogs = m_main.services().dialogs;
    if (m_session.refusedWithoutList() || !dialogs)
        return;
    const auto path = dialogs->openFile({QStringLiteral("Compare With Configuration File ..."),
                                         QStringLiteral("*.*|*.*|All files|*"),
                                         m_main.writablePaths().configurationFolder(), {}});
    if (!path)
        return;
    const ConfigCompare comparison(m_session.catalogue);
    ConfigCompare::Side file;
    file.label = QFileInfo(*path).fileName();
    const ConfigFileReader::Result result = comparison.readFile(*path, file);
    if (!result.good()) {
        if (m_session.messages)
            m_session.messages->show(QStringLiteral("Error Loading File!\r") + result.reason,
                                     MessageService::Buttons::Ok, MessageService::Icon::Critical);
        return;
    }
    const ConfigCompare::Side program = ConfigCompare::fromProgram(m_session, QStringLiteral("Program"));
    CompareWindow *window = openWindow();
    window->showComparison(QStringLiteral("Compare with File"), program, file, QStringLiteral("File value"),
                           comparison.rows(program, file));
    window->show();
}

void CompareCommands::compareWithUnit()
{
    m_session.link.request([this] { readUnitAndCompare(); });
}

void CompareCommands::readUnitAndCompare()
{
    const LinkScheduler::Turn turn(m_session.link);
    if (!turn || !m_session.IsConnectObj.isConnected() || m_session.refusedWithoutList())
        return;
    m_main.setEnabled(false);
    m_session.link.setState(ConnectionState::Busy);
    int done = 0;
    QString error;
    const ConfigCompare::Side unit = ConfigCompare::fromUnit(
        m_session, QStringLiteral("Control unit"), error, [this, &done](int d, int t) {
            done = d;
            m_session.link.setProgressStep(d, t);
            m_session.link.showProgress(m_session.ProgressPercent, Reading);
            if (m_session.waitWindow)
                m_session.waitWindow->DrawWaitBar(m_session.ProgressPercent, Reading);
        });
    m_main.closeWaitWindow();
    m_main.setEnabled(true);
    if (!error.isEmpty()) {
        // as after any failed transfer the link is given up; the program's values stay as they were
        m_session.link.setState(ConnectionState::NotConnected);
        if (m_session.messages)
            m_session.messages->show(
                m_session.devLink.withCause(QStringLiteral("Operation Failed :") + error) + QLatin1Char('\r')
                + QStringLiteral("Reading the control unit for the comparison stopped after %1 values: nothing in "
                                 "the program was changed.")
                      .arg(done));
        return;
    }
    m_session.link.setState(ConnectionState::Connected);
    const ConfigCompare comparison(m_session.catalogue);
    const ConfigCompare::Side program = ConfigCompare::fromProgram(m_session, QStringLiteral("Program"));
    CompareWindow *window = openWindow();
    window->showComparison(QStringLiteral("Compare with Control Unit"), program, unit, QStringLiteral("Unit value"),
                           comparison.rows(program, unit));
    window->show();
}

CompareWindow *CompareCommands::window() const
{
    return m_window;
}
