#pragma once

#include <QString>

// The three connection pictures the main window loads.
enum class StateIcon { None, Green, White, Red };

// The main window's status bar `StatusBar`, panels by 1-based position:
// 1 connection, 4 holds the progress bar, 5 progress, 6 system type,
// 7 software release, 8 port, 9 baud rate.
class StatusBarView
{
public:
    virtual ~StatusBarView() = default;
    virtual void setPanelText(int position, const QString &text) = 0;
    virtual QString panelText(int position) const = 0;
    virtual void setPanelIcon(int position, StateIcon icon) = 0;
};
