#include "maindrawing.h"

#include "draw.h"
#include "frmmain.h"
#include "lineeditbox.h"
#include "session.h"

MainDrawing::MainDrawing(FrmMain &main) : m_main(main), m_session(main.session()) {}

void MainDrawing::tick()
{
    m_session.draw.UpdateStatusBar(m_main.statusBar(), m_main.progressBar(), m_session.StatusText);

    if (m_session.IsConnectObj.value() != ConnectionState::Busy)
        m_main.closeWaitWindow();

    if (!m_session.catalogue.ConfigSaved) {
        m_session.ParamDiff = true;
        m_session.FileState = Session::FileToSave;
    }
    if (m_session.CommentEdited)
        m_session.FileState = Session::FileToSave;

    drawFileState();

    if (m_session.ExitRequested)
        m_session.draw.ExitProgram();
}

void MainDrawing::drawFileState()
{
    LineEditBox box(m_main.txtFileTosave());
    switch (m_session.FileState) {
    case Session::FileToSave:
        box.setText(QStringLiteral("FILE TO SAVE"));
        box.setBackColor(Draw::LightYellow);
        break;
    case Session::FileOk:
        box.setText(QStringLiteral("FILE OK"));
        box.setBackColor(Draw::Green);
        break;
    default:
        box.setText(QStringLiteral("---"));
        box.setBackColor(Draw::ButtonFace);
        break;
    }
}
