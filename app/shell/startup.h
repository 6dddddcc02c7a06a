#pragma once

#include "frminit.h"
#include "shellservices.h"

#include <memory>

class FrmMain;
class Session;

// The program's start: the splash runs while the main window, the catalogue
// and the pages are made, then the main window shows the configuration page.
class StartUp
{
public:
    StartUp(Session &session, ShellServices services);

    std::unique_ptr<FrmMain> run();

    FrmInit &splash() { return m_splash; }

private:
    // FileState, CommentEdited, ParamDiff and ConfigSaved as after a fresh start.
    void resetFileFlags();

    Session &m_session;
    ShellServices m_services;
    FrmInit m_splash;
};
