#pragma once

#include <QString>

class ManualViewer;
class MessageService;

// Opens the user manual at the page that belongs to a window (F1, Help menu).
class ManualHelp
{
public:
    static constexpr int HelpMenuPage = 1;

    ManualHelp(ManualViewer *viewer, MessageService *messages, QString programFolder);

    // The viewer's parameter text for page p of the manual in `manualFolder`,
    // exactly as the viewer expects it.
    static QString parameterText(int page, const QString &manualFolder);
    static QString viewerProgram() { return QStringLiteral("AcroRd32.exe"); }
    static QString manualFileName() { return QStringLiteral("HX0MAN01E.pdf"); }

    // Where the manual is looked for on this machine: in the program folder,
    // or where its installed.ini says (the documentation folder of an install).
    QString manualPath() const;

    // What the user is told when no program on this machine can show the manual.
    static QString noViewerText(const QString &manualPath);

    // Says so when the manual is missing; otherwise hands it to the viewer,
    // and says so when no viewer could be started.
    void open(int page) const;

private:
    ManualViewer *m_viewer;
    MessageService *m_messages;
    QString m_programFolder;
};
