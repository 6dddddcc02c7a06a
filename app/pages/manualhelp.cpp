#include "manualhelp.h"

#include "manualviewer.h"
#include "messageservice.h"
#include "respaths.h"

#include <QDir>
#include <QFileInfo>

ManualHelp::ManualHelp(ManualViewer *viewer, MessageService *messages, QString programFolder)
    : m_viewer(viewer), m_messages(messages), m_programFolder(std::move(programFolder))
{
}

QString ManualHelp::parameterText(int page, const QString &manualFolder)
{
    // The document path is left without its closing quote: the viewer takes
    // the rest of the line as the path.
    return QStringLiteral("/A \"page=") + QString::number(page)
        + QStringLiteral("&pagemode=bookmarks&zoom=100") + QStringLiteral("\"  \"") + manualFolder
        + QStringLiteral("\\") + manualFileName();
}

QString ManualHelp::manualPath() const
{
    return QDir(ResPaths::manualFolder(m_programFolder)).filePath(manualFileName());
}

void ManualHelp::open(int page) const
{
    if (!QFileInfo::exists(manualPath())) {
        if (m_messages)
            m_messages->show(QStringLiteral("User Manual Not Found : ") + QDir::toNativeSeparators(manualPath()),
                             MessageService::Buttons::Ok, MessageService::Icon::Warning);
        return;
    }
    if (!m_viewer || m_viewer->open(viewerProgram(), parameterText(page, ResPaths::manualFolder(m_programFolder))))
        return;
    if (m_messages)
        m_messages->show(noViewerText(manualPath()), MessageService::Buttons::Ok, MessageService::Icon::Warning);
}

QString ManualHelp::noViewerText(const QString &manualPath)
{
    return QStringLiteral("No PDF viewer found to open the user manual. Install a PDF viewer (for example Evince or "
                          "Okular) and try again.\n\nThe manual is ")
        + QDir::toNativeSeparators(manualPath);
}
