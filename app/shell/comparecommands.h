#pragma once

#include <QObject>
#include <QPointer>

class CompareWindow;
class FrmMain;
class Session;

// The File menu's comparisons: the program's values against a chosen
// configuration file, or against the values the unit holds, read into a
// snapshot of their own. Nothing the program holds is changed.
class CompareCommands : public QObject
{
    Q_OBJECT
public:
    explicit CompareCommands(FrmMain &main);

    void compareWithFile();
    // Reads the unit in its turn on the link, after a polling cycle.
    void compareWithUnit();

    // The window of the last comparison, while it is open.
    CompareWindow *window() const;

private:
    void readUnitAndCompare();
    CompareWindow *openWindow();

    FrmMain &m_main;
    Session &m_session;
    QPointer<CompareWindow> m_window;
};
