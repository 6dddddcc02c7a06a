#pragma once

#include <QString>
#include <cstdint>

class StatusBarView;
class ProgressBarView;

// What every page window (a child of the main window) offers to the main
// window and to the shared routines of the core.
class PageWindow
{
public:
    virtual ~PageWindow() = default;

    // Key of the page's tab, "A1" .. "A6".
    virtual QString Tag() const = 0;
    // Only page windows take part; the frame itself answers false.
    virtual bool MDIChild() const { return true; }
    // Memory areas the page reads and writes, in the coding of KRVPageDomain;
    // 0 takes part in no transfer.
    virtual int16_t ReadKey() const = 0;
    virtual int16_t WriteKey() const = 0;
    // Empty when the page's data may be written, else what is wrong.
    virtual QString CheckDataToWrite() = 0;
    // Redraws every control from the catalogue.
    virtual void RefreshObject() = 0;
    // Sets the connection picture and the commands this page allows.
    virtual void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) = 0;
    // Stops the page's polling timer.
    virtual void DisableTimer() = 0;
    // True while a tick of the polling timer is still running.
    virtual bool StatusTimerForm() const = 0;

    // Number of catalogue variables on the page, counted when the catalogue is
    // loaded (E2Image::CountAllPageVars); drives the transfer progress.
    int16_t PageVarNum = 0;
};
