#pragma once

#include <QObject>

class FrmConfig;
class FrmJoyCan;
class FrmMagSel;
class ManualHelp;
class Session;

// The two windows the configuration page opens: the dither settings, made
// hidden with the page, and the CAN joystick settings, made on first use.
// Both redraw the page after their changes and go with it.
class ConfigDialogs : public QObject
{
    Q_OBJECT
public:
    ConfigDialogs(FrmConfig &page, Session &session, const ManualHelp *help);

    FrmJoyCan *joyCan();

private:
    FrmConfig &m_page;
    Session &m_session;
    FrmMagSel *m_magSel;
    FrmJoyCan *m_joyCan = nullptr;
};
