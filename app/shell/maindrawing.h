#pragma once

class FrmMain;
class Session;

// The main window's draw timer: status bar and command states, wait window,
// file-state box, and the retry of a requested exit.
class MainDrawing
{
public:
    explicit MainDrawing(FrmMain &main);

    // One tick of TmrDraw.
    void tick();
    // txtFileTosave from FileState.
    void drawFileState();

private:
    FrmMain &m_main;
    Session &m_session;
};
