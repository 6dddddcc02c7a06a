#include "configdialogs.h"

#include "frmconfig.h"
#include "frmjoycan.h"
#include "frmmagsel.h"

ConfigDialogs::ConfigDialogs(FrmConfig &page, Session &session, const ManualHelp *help)
    : QObject(&page), m_page(page), m_session(session), m_magSel(new FrmMagSel(session, page.pictures().MagnetPicture, help, &page))
{
    setObjectName(QStringLiteral("ConfigDialogs"));
    m_magSel->setDrawDither([this] { m_page.DrawDither(); });
    connect(&page, &FrmConfig::ditherSettingsRequested, m_magSel, &FrmMagSel::open);
    connect(&page, &FrmConfig::canSettingsRequested, this, [this] { joyCan()->open(); });
}

FrmJoyCan *ConfigDialogs::joyCan()
{
    if (!m_joyCan) {
        m_joyCan = new FrmJoyCan(m_session, &m_page);
        m_joyCan->setConfigDrawJoy([this] { m_page.ConfigDrawJoy(); });
    }
    return m_joyCan;
}
