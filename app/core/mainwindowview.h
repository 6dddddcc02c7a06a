#pragma once

#include <QString>

class StatusBarView;
class ProgressBarView;

// The main window `frmMain` as the shared routines and the pages address it:
// status bar and progress bar, toolbar `tbToolBar` buttons by their 1-based
// position (separators count), menu items by name ("mnuHW_Connect").
class MainWindowView
{
public:
    virtual ~MainWindowView() = default;

    virtual StatusBarView &statusBar() = 0;
    virtual ProgressBarView &progressBar() = 0;

    virtual void setButtonEnabled(int position, bool enabled) = 0;
    virtual void setButtonPressed(int position, bool pressed) = 0;
    virtual void setButtonToolTip(int position, const QString &toolTip) = 0;

    virtual void setMenuEnabled(const QString &name, bool enabled) = 0;
    virtual void setMenuCaption(const QString &name, const QString &caption) = 0;

    // Closes every window of the program (the normal end of an exit).
    virtual void unloadAllWindows() = 0;
    // Ends the program at once, whatever is still running.
    virtual void endProgram() = 0;
};
