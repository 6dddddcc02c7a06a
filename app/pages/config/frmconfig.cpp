#include "frmconfig.h"

#include "appinfo.h"
#include "configdialogs.h"
#include "csection.h"
#include "joyinputcaption.h"
#include "rampeditor.h"
#include "respaths.h"
#include "session.h"
#include "shapewidget.h"
#include "statusbarview.h"
#include "systemdrawing.h"
#include "vbnumber.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

// The catalogue names of coil c's current limits.
KrvId minId(int c, bool slow)
{
    return KrvId((slow ? KRV_I0_SDM_MIN : KRV_I0_MIN) + 2 * c);
}

KrvId maxId(int c, bool slow)
{
    return KrvId((slow ? KRV_I0_SDM_MAX : KRV_I0_MAX) + 2 * c);
}

} // namespace

FrmConfig::FrmConfig(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("FrmConfig"), QStringLiteral("Configure"), 10, 11, 10, context, parent)
{
    m_ui.setupUi(this);
    m_ramps = std::make_unique<RampEditor>(m_ui, session().catalogue, session().messages);
    m_pictures.load(ResPaths::programFolder());
    m_drawing = std::make_unique<SystemDrawing>(m_ui, session().catalogue, m_pictures);
    connectSections();
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        for (CSection *section : {m_ui.MagA[k], m_ui.MagB[k], m_ui.MagAsdm[k], m_ui.MagBsdm[k]})
            section->setMessageService(session().messages);
        m_ui.lblMag[k]->setFocusPolicy(Qt::StrongFocus);
        m_ui.lblMag[k]->installEventFilter(this);
        m_ui.MagSel[k]->installEventFilter(this);
        m_ui.MagSel[k]->setCursor(Qt::PointingHandCursor);
    }
    connect(m_ui.CmbTBXType, &QComboBox::currentIndexChanged, this, &FrmConfig::modelSelected);
    connect(m_ui.CmbTBXSysType, &QComboBox::currentIndexChanged, this, &FrmConfig::systemTypeSelected);
    connect(m_ui.CmdCanSettings, &QPushButton::clicked, this, &FrmConfig::canSettingsRequested);

    // The load: joystick catalogue, then the page drawn from the catalogue.
    // Drawing is not editing, so it leaves the saved state as it found it.
    m_joys.setMessageService(session().messages);
    m_joys.LoadJoyCatalogue();
    const bool saved = session().catalogue.ConfigSaved;
    RefreshObject();
    JoyVarDefaultSet();
    session().catalogue.ConfigSaved = saved;
    new ConfigDialogs(*this, session(), context.help); // the dither and CAN joystick windows
}

FrmConfig::~FrmConfig() = default;

void FrmConfig::publishInputs()
{
    // The monitor draws its idle inputs from what this page shows.
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        SystemState::SectionInputs inputs;
        inputs.drawn = true;
        inputs.joystick = m_ui.JoySel[k]->pixmap().toImage();
        inputs.joystickCaption = m_ui.JoySel[k]->toolTip();
        inputs.pinCaption = m_ui.LblPin[k]->toolTip();
        inputs.pinColour = m_ui.LblPin[k]->palette().color(QPalette::WindowText);
        session().system.setInputs(k, inputs);
    }
}

void FrmConfig::connectSections()
{
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        for (CSection *section : {m_ui.MagA[k], m_ui.MagB[k], m_ui.MagAsdm[k], m_ui.MagBsdm[k]}) {
            connect(section, &CSection::VarMinChange, this, [this, section] { sectionChanged(section, true); });
            connect(section, &CSection::VarMaxChange, this, [this, section] { sectionChanged(section, false); });
        }
    }
}

void FrmConfig::sectionChanged(CSection *section, bool minimum)
{
    Catalogue &catalogue = session().catalogue;
    catalogue.ConfigSaved = false;
    // The control edits the record it was given; hand it back to its entry.
    CVarDataS *edited = minimum ? section->CaricaMin() : section->CaricaMax();
    CVarData *entry = catalogue.entry(minimum ? section->VarMinID() : section->VarMaxID());
    if (edited && entry && entry->Data.get() != edited)
        *entry->Data = *edited;
}

void FrmConfig::bindSection(CSection *section, KrvId minName, KrvId maxName)
{
    const Catalogue &catalogue = session().catalogue;
    CVarData *low = catalogue.entry(minName);
    CVarData *high = catalogue.entry(maxName);
    if (!low || !high)
        return;
    // Both scroll bars share the limits: the widest range of the two records,
    // in the units the control shows.
    section->setMin(qMin(low->DisplayFromRaw(low->Data->QelValE2Min), high->DisplayFromRaw(high->Data->QelValE2Min)));
    section->setMax(qMax(low->DisplayFromRaw(low->Data->QelValE2Max), high->DisplayFromRaw(high->Data->QelValE2Max)));
    section->setCaricaMin(low->Data.get());
    section->setCaricaMax(high->Data.get());
}

void FrmConfig::RefreshData()
{
    const Catalogue &catalogue = session().catalogue;
    for (bool slow : {false, true}) {
        for (int c = 0; c < FrmConfigUi::Coils; ++c) {
            const int k = c / 2;
            CSection *section = c % 2 == 0 ? (slow ? m_ui.MagAsdm[k] : m_ui.MagA[k])
                                           : (slow ? m_ui.MagBsdm[k] : m_ui.MagB[k]);
            bindSection(section, minId(c, slow), maxId(c, slow));
        }
    }

    if (const CVarDataS *type = catalogue.data(KRV_SYSTEM_TYPE)) {
        if (type->QelValueE2 == 1)
            m_ui.CmbTBXSysType->setCurrentIndex(0);
        else if (type->QelValueE2 == 0)
            m_ui.CmbTBXSysType->setCurrentIndex(1);
    }

    m_ramps->refreshRamps();
    m_ramps->refreshModes();

    for (int k = 0; k < FrmConfigUi::Sections; ++k)
        if (const CVarDataS *config = catalogue.data(KrvId(KRV_JOY_0_CONFIG + k)))
            DescribeJoyInput(k, config->QelValueE2);
}

QString FrmConfig::CheckDataToWrite()
{
    return QString();
}

void FrmConfig::RefreshName()
{
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        const QString number = QString::number(k + 1);
        m_ui.MagA[k]->setSectionName(number + QLatin1Char('A'));
        m_ui.MagAsdm[k]->setSectionName(number + QLatin1Char('A'));
        m_ui.MagB[k]->setSectionName(number + QLatin1Char('B'));
        m_ui.MagBsdm[k]->setSectionName(number + QLatin1Char('B'));
    }
}

void FrmConfig::RefreshColour()
{
    if (context().colours)
        m_drawing->RefreshColour(*context().colours);
    publishInputs();
}

void FrmConfig::RefreshConfiguration()
{
    ConfigDrawMag();
    DrawTBXSystem();
    ConfigDrawJoy();
}

void FrmConfig::RefreshObject()
{
    RefreshConfiguration();
    RefreshData();
    RefreshName();
    RefreshColour();
}

void FrmConfig::DrawDither()
{
    const Catalogue &catalogue = session().catalogue;
    const CVarDataS *freq = catalogue.data(KRV_DITHER_FREQ);
    const CVarDataS *amp = catalogue.data(KRV_DITHER_AMP);
    // One dither for all sections: every row shows the same two captions.
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        if (freq)
            m_ui.LblFreq[k]->setText(QString::number(freq->KrvDownloadValueE2) + QStringLiteral(" Hz"));
        if (amp)
            m_ui.LblAmp[k]->setText(QString::number(amp->KrvDownloadValueE2) + QStringLiteral(" mA"));
    }
}

void FrmConfig::DrawTBXSystem()
{
    m_drawing->DrawTBXSystem();
    ConfigDrawFloat();
}

void FrmConfig::ConfigDrawFloat()
{
    const auto refill = [](QComboBox *box, const QString &first, const QString &second) {
        box->removeItem(0);
        box->removeItem(0);
        box->addItem(first);
        box->addItem(second);
    };
    refill(m_ui.CmbAIRange, QStringLiteral("5V"), QStringLiteral("10V"));
    refill(m_ui.Cmb2BProp, QStringLiteral("OFF"), QStringLiteral("ON"));
}

void FrmConfig::ConfigDrawMag()
{
    const CVarDataS *solenoid = session().catalogue.data(KRV_SOL_TYPE);
    const int s = solenoid ? solenoid->KrvDisplayValueE2 : -1;
    if (s == 0 || s == 1 || s == 2) {
        const QPixmap picture = s == 2 ? m_pictures.MagnetPicture2 : m_pictures.MagnetPicture;
        const QString tip = s == 2 ? m_pictures.solTypeDescription(2) : QStringLiteral("Dither Settings");
        for (int k = 0; k < FrmConfigUi::Sections; ++k) {
            for (QLabel *button : {m_ui.MagSel[k], m_ui.MagSelsdm[k]}) {
                button->setPixmap(picture);
                button->setToolTip(tip);
                if (s != 2)
                    button->setEnabled(true);
            }
        }
    }
    DrawDither();
    // the monitor's solenoid pictures follow the dither buttons
    session().system.announceSolenoids();
}

void FrmConfig::ConfigDrawJoy()
{
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        const CVarDataS *id = session().catalogue.data(KrvId(KRV_JOY_0_ID + k));
        const int j = id ? VbNumber::saturateInt16(id->KrvDisplayValueE2) : -1;
        // An identifier that names no loaded joystick shows an empty picture.
        m_ui.JoySel[k]->setPixmap(QPixmap::fromImage(m_joys.picture(j)));
    }
    publishInputs();
}

void FrmConfig::JoyVarDefaultSet()
{
    ConfigDrawJoy();
}

void FrmConfig::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    statusBar.setPanelText(3, QStringLiteral("v. ") + AppInfo::versionText());
    switch (session().IsConnectObj.value()) {
    case ConnectionState::Connected:
        showConnected(statusBar, QStringLiteral("Connected"));
        session().ProgressPercent = 0;
        setConnectedCommands({false, false, true, true, true, true});
        break;
    case ConnectionState::Busy:
        showConnected(statusBar, text);
        break;
    case ConnectionState::NotConnected:
        showNotConnected(statusBar);
        session().ProgressPercent = 0;
        break;
    default:
        break;
    }
    if (context().txtPar)
        session().draw.ShowParamStatus(*context().txtPar);
}

int16_t FrmConfig::FindKRVLabelTRISE(int index) const
{
    return m_ramps->FindKRVLabelTRISE(index);
}

int16_t FrmConfig::FindKRVLabelTFALL(int index) const
{
    return m_ramps->FindKRVLabelTFALL(index);
}

void FrmConfig::DescribeJoyInput(int k, int32_t word)
{
    if (k < 0 || k >= FrmConfigUi::Sections)
        return;
    m_ui.LblPin[k]->setText(JoyInputCaption::describe(uint16_t(word), m_ui.LblPin[k]->text()));
    publishInputs();
}

void FrmConfig::modelSelected(int index)
{
    if (index < 0 || index > 3)
        return;
    if (CVarData *entry = session().catalogue.entry(KRV_NUM_PROP_REG))
        entry->KRVSetVar(index + 1);
    DrawTBXSystem();
}

void FrmConfig::systemTypeSelected(int index)
{
    if (index < 0 || index > 1)
        return;
    if (CVarData *entry = session().catalogue.entry(KRV_SYSTEM_TYPE))
        entry->KRVSetVar(index == 0 ? 1 : 0);
    DrawTBXSystem();
}

void FrmConfig::closeEvent(QCloseEvent *event)
{
    // Closing the page is leaving the program; a refused exit keeps it open.
    if (session().draw.ExitProgram() == 1)
        event->ignore();
    else
        event->accept();
}

bool FrmConfig::eventFilter(QObject *watched, QEvent *event)
{
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        if (watched == m_ui.MagSel[k] && event->type() == QEvent::MouseButtonRelease) {
            emit ditherSettingsRequested();
            return true;
        }
        if (watched != m_ui.lblMag[k])
            continue;
        switch (event->type()) {
        case QEvent::FocusIn:
            m_ui.MagFocus[k]->show();
            break;
        case QEvent::FocusOut:
            m_ui.MagFocus[k]->hide();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                emit ditherSettingsRequested();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return PageBase::eventFilter(watched, event);
}
