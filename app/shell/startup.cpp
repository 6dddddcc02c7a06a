#include "startup.h"

#include "frmmain.h"
#include "frmsectioncolour.h"
#include "session.h"

StartUp::StartUp(Session &session, ShellServices services) : m_session(session), m_services(std::move(services)) {}

void StartUp::resetFileFlags()
{
    m_session.FileState = Session::FileNone;
    m_session.CommentEdited = false;
    m_session.ParamDiff = false;
    m_session.catalogue.ConfigSaved = true;
}

std::unique_ptr<FrmMain> StartUp::run()
{
    std::unique_ptr<FrmMain> main;
    m_splash.run(
        [&] {
            main = std::make_unique<FrmMain>(m_session, m_services);
            main->Load();
        },
        [&] { resetFileFlags(); });
    main->show();
    main->selectTab(1);
    main->paletteWindow()->frmSectionColourInit();
    return main;
}
