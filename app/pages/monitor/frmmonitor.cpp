#include "frmmonitor.h"

#include "joymonitor.h"
#include "monitordrawing.h"
#include "pagepoller.h"
#include "respaths.h"
#include "session.h"
#include "statusbarview.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <functional>

namespace {

const KrvId JoyValues[] = {KRV_JOY0_VALUE, KRV_JOY1_VALUE, KRV_JOY2_VALUE, KRV_JOY3_VALUE};
const KrvId CurrentValues[] = {KRV_I0_MEASURE_400, KRV_I1_MEASURE_400, KRV_I2_MEASURE_400, KRV_I3_MEASURE_400};
const KrvId JoyConfigs[] = {KRV_JOY_0_CONFIG, KRV_JOY_1_CONFIG, KRV_JOY_2_CONFIG, KRV_JOY_3_CONFIG};
// Highest coil currents, normal and slow mode, by coil number.
const KrvId CoilMax[] = {KRV_I0_MAX, KRV_I1_MAX, KRV_I2_MAX, KRV_I3_MAX, KRV_I4_MAX, KRV_I5_MAX, KRV_I6_MAX, KRV_I7_MAX};
const KrvId CoilSlowMax[] = {KRV_I0_SDM_MAX, KRV_I1_SDM_MAX, KRV_I2_SDM_MAX, KRV_I3_SDM_MAX,
                             KRV_I4_SDM_MAX, KRV_I5_SDM_MAX, KRV_I6_SDM_MAX, KRV_I7_SDM_MAX};

const QString MonitorText = QStringLiteral("Monitor...");
const QString PinConnection = QStringLiteral("Pin connection");

// The measured coil currents stay at the ends of their range within this tolerance.
constexpr int CurrentTolerance = 50;

} // namespace

FrmMonitor::FrmMonitor(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("FrmMonitor"), QStringLiteral("Monitor"), 0, 0, 26, context, parent),
      m_draw(std::make_unique<MonitorDrawing>(this)),
      m_poller(new PagePoller(session(), ConnectionState::MonitorPolling, QStringLiteral("TmrMonitor"), this)),
      m_recorder(LiveColumns(session().catalogue)),
      m_trendButton(new QPushButton(QStringLiteral("Trend..."), this))
{
    setMinimumSize(764, 452);
    // beside the supply picture, above the supply bar
    m_trendButton->setObjectName(QStringLiteral("cmdTrend"));
    m_trendButton->setGeometry(670, 64, 90, 28);
    connect(m_trendButton, &QPushButton::clicked, this, &FrmMonitor::trendRequested);
    m_poller->setCycle([this] { return ReadMonitorVar(); });
    connect(m_poller, &PagePoller::pollFailed, this, [this] { m_draw->showStale(); });

    m_pictures.load(ResPaths::programFolder());
    m_vbbPicture = SystemPictures::loadPicture(ResPaths::res(QStringLiteral("bmp/Magnet/VBB.jpg")));
    if (context.colours)
        m_colours = context.colours;
    else
        m_ownColours.frmSectionColourInit(SectionColours::defaultPath());

    connect(m_draw->DrawJoyMonitorEventObj, &QScrollBar::valueChanged, this,
            [this](int value) { onTrigger(m_draw->DrawJoyMonitorEventObj, value, &FrmMonitor::MonitorDrawJoy); });
    connect(m_draw->DrawMagMonitorEventObj, &QScrollBar::valueChanged, this,
            [this](int value) { onTrigger(m_draw->DrawMagMonitorEventObj, value, &FrmMonitor::MonitorDrawMag); });
    // the configuration page's dither buttons changed the solenoid pictures
    connect(&session().system, &SystemState::solenoidsChanged, this,
            [this] { m_draw->DrawMagMonitorEventObj->setValue(1); });
    for (int k = 0; k < MonitorDrawing::Sections; ++k) {
        connect(m_draw->JoyMonitorVal[k], &JoyMonitor::CheckEnabled, this, [this, k](qint16 &) { checkValves(k); });
        connect(m_draw->JoyMonitorVal[k], &JoyMonitor::UpdateValue, this, [this, k](qint16 &) { checkValves(k); });
    }

    for (JoyMonitor *current : m_draw->IMeasure) {
        current->setThMin(CurrentTolerance);
        current->setThMax(CurrentTolerance);
    }
    RefreshObject();
    SetObject();
    DrawVisibleObject();
    MonitorDrawJoy();
    MonitorDrawMag();
    RefreshColour();
}

FrmMonitor::~FrmMonitor() = default;

QTimer *FrmMonitor::TmrMonitor() const
{
    return m_poller->timer();
}

int32_t FrmMonitor::e2Value(KrvId id, int32_t fallback) const
{
    const CVarDataS *record = session().catalogue.data(id);
    return record ? record->QelValueE2 : fallback;
}

void FrmMonitor::RefreshObject()
{
    Catalogue &catalogue = session().catalogue;
    for (int k = 0; k < MonitorDrawing::Sections; ++k) {
        m_draw->JoyMonitorVal[k]->setCarica(catalogue.data(JoyValues[k]));
        m_draw->IMeasure[k]->setCarica(catalogue.data(CurrentValues[k]));
    }
    m_draw->JoyMonitorVbb->setCarica(catalogue.data(KRV_VBB_400));
    SetObject();
    MonitorDrawJoy();
    // binding shows the catalogue's last readings, which a lost link made stale
    if (m_poller->linkLost())
        m_draw->showStale();
}

void FrmMonitor::SetObject()
{
    for (int k = 0; k < MonitorDrawing::Sections; ++k) {
        for (JoyMonitor *joy : {m_draw->JoyMonitorVal[k], m_draw->JoyMonitorRed[k]}) {
            joy->setMin(0);
            joy->setMax(100);
            joy->setDataFormat(QStringLiteral("####0"));
            joy->setActiveProgressBar(true);
        }
        m_draw->JoyMonitorRed[k]->setMonitorEnable(false);
        m_draw->JoyMonitorRed[k]->hide();

        JoyMonitor *current = m_draw->IMeasure[k];
        current->setMin(0);
        current->setDataFormat(QStringLiteral("###0"));
        current->setActiveProgressBar(true);
        int32_t highest = 0;
        for (KrvId id : {CoilMax[2 * k], CoilMax[2 * k + 1], CoilSlowMax[2 * k], CoilSlowMax[2 * k + 1]})
            highest = std::max(highest, e2Value(id));
        current->setMax(highest);
    }
    m_draw->JoyMonitorVbb->setMin(0);
    m_draw->JoyMonitorVbb->setMax(30);
    m_draw->JoyMonitorVbb->setDataFormat(QStringLiteral("####0.0"));
    m_draw->JoyMonitorVbb->setActiveProgressBar(false);
}

void FrmMonitor::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    switch (session().IsConnectObj.value()) {
    case ConnectionState::MonitorPolling:
        showConnected(statusBar, text);
        setConnectedCommands({});
        break;
    case ConnectionState::Busy:
        showConnected(statusBar, text);
        break;
    case ConnectionState::NotConnected:
        showNotConnected(statusBar);
        m_poller->showLinkLost(context().txtConnect);
        break;
    default:
        break;
    }
}

void FrmMonitor::DisableTimer()
{
    m_poller->stop();
}

bool FrmMonitor::StatusTimerForm() const
{
    return m_poller->busy();
}

void FrmMonitor::Activate()
{
    m_poller->claim();
    DrawVisibleObject();
    if (session().IsConnectObj.value() != ConnectionState::Connected) {
        m_poller->stop();
        RefreshObject();
        return;
    }
    RefreshObject();
    DrawVisibleObject();
    // live values convert with the formula of the controller's section count
    const auto sections = static_cast<int16_t>(e2Value(KRV_NUM_PROP_REG));
    for (JoyMonitor *control : m_draw->monitors())
        if (!control->isHidden() && control->Carica())
            control->Carica()->CurrentTBXSystem = sections;
    // a list loaded since the last visit brings other columns
    m_recorder.setColumns(LiveColumns(session().catalogue));
    m_poller->start();
}

void FrmMonitor::Deactivate()
{
    m_poller->deactivate();
}

QString FrmMonitor::stopCycle(const QString &error)
{
    // A timer switched off while the link stays open leaves the link usable.
    const bool keepLink = error.isEmpty() && m_poller->linkOpen();
    session().link.setState(keepLink ? ConnectionState::Connected : ConnectionState::NotConnected);
    return error;
}

bool FrmMonitor::refreshAndCheck()
{
    m_poller->refreshStatus();
    return m_poller->timerEnabled();
}

QString FrmMonitor::ReadMonitorVar()
{
    Session &s = session();
    s.link.setState(ConnectionState::MonitorPolling);
    s.StatusText = MonitorText;
    s.ProgressPercent = 0;
    if (!refreshAndCheck())
        return stopCycle(QString());

    // the three state words, each with its display, then the visible live values
    struct Item
    {
        int step;                           // 1-based place in the cycle
        CVarData *entry;
        void (MonitorDrawing::*showWord)(int16_t);
        JoyMonitor *control;
    };
    const struct
    {
        KrvId id;
        void (MonitorDrawing::*show)(int16_t);
    } words[] = {
        {KRV_ERROR_CODE, &MonitorDrawing::UpdateErrObj},
        {KRV_HSD_MONITOR, &MonitorDrawing::UpdateActiveOutput},
        {KRV_DIGIT_MONITOR, &MonitorDrawing::UpdateActiveDin},
    };
    int steps = 0;
    QList<Item> items;
    for (const auto &word : words) {
        ++steps;
        if (CVarData *entry = s.catalogue.entry(word.id))
            items.append({steps, entry, word.show, nullptr});
    }
    for (JoyMonitor *control : m_draw->monitors()) {
        if (control->isHidden() || !control->MonitorEnable())
            continue;
        ++steps;
        if (CVarData *entry = s.catalogue.entry(control->VarID()))
            items.append({steps, entry, nullptr, control});
    }

    QList<int32_t> addresses;
    for (const Item &item : items)
        addresses << item.entry->Data->Address;
    const LiveColumns &columns = m_recorder.columns();
    TrendRecorder::Sample sample = m_recorder.emptySample(QDateTime::currentMSecsSinceEpoch());
    bool stopped = false;
    const QString error = s.link.readWords(addresses, [&](int i, int32_t value) {
        const Item &item = items[i];
        item.entry->ReadRAMFromQEL(value);
        const int column = columns.columnOfIndex(item.entry->Data->VarID);
        if (column >= 0)
            sample.values[column] = item.entry->Data->KrvDisplayValueRAM;
        if (item.showWord) {
            ((*m_draw).*item.showWord)(static_cast<int16_t>(value));
        } else {
            s.link.setState(ConnectionState::MonitorPolling);
            s.StatusText = MonitorText;
            item.control->UpdateDisplay(item.entry->Data->KrvDisplayValueRAM);
        }
        m_poller->setProgress(item.step, steps);
        stopped = !refreshAndCheck();
        return !stopped;
    });
    if (!error.isEmpty() || stopped)
        return stopCycle(error);
    m_recorder.append(std::move(sample));
    // the state stays 3 and the busy flag set until the next tick
    return QString();
}

void FrmMonitor::UpdateErrObj(int16_t &ReadVal)
{
    m_draw->UpdateErrObj(ReadVal);
}

void FrmMonitor::UpdateActiveOutput(int16_t &ReadVal)
{
    m_draw->UpdateActiveOutput(ReadVal);
}

void FrmMonitor::UpdateActiveDin(int16_t &ReadVal)
{
    m_draw->UpdateActiveDin(ReadVal);
}

void FrmMonitor::DrawActualObject(int16_t NumPropReg, int16_t SystemType)
{
    m_draw->DrawActualObject(NumPropReg, SystemType, m_pictures.ModelPictures[0]);
}

void FrmMonitor::DrawVisibleObject()
{
    DrawActualObject(static_cast<int16_t>(e2Value(KRV_NUM_PROP_REG)), static_cast<int16_t>(e2Value(KRV_SYSTEM_TYPE)));
    const int16_t state = session().IsConnectObj.value();
    if (state == ConnectionState::MonitorPolling || state == ConnectionState::Connected) {
        std::array<int32_t, MonitorDrawing::Sections> joyConfig{};
        for (int k = 0; k < MonitorDrawing::Sections; ++k)
            joyConfig[k] = e2Value(JoyConfigs[k]);
        m_draw->showInputConfiguration(joyConfig, e2Value(KRV_FLOAT_CONFIG_1), e2Value(KRV_FLOAT_CONFIG_2));
        return;
    }

    for (QLabel *pin : m_draw->LblPin)
        pin->setToolTip(PinConnection);
    for (QLabel *function : m_draw->functionLabels())
        function->setToolTip(PinConnection);
    for (int k = 0; k < MonitorDrawing::Sections; ++k) {
        // the configuration page's pin caption, as it stands
        const SystemState::SectionInputs &inputs = session().system.inputs(k);
        if (inputs.drawn) {
            m_draw->LblPin[k]->setText(inputs.pinCaption);
            QPalette palette = m_draw->LblPin[k]->palette();
            palette.setColor(QPalette::WindowText, inputs.pinColour);
            m_draw->LblPin[k]->setPalette(palette);
        }
        m_draw->lblDinLJoy[k]->hide();
        m_draw->lblDinHJoy[k]->hide();
    }
}

void FrmMonitor::MonitorDrawJoy()
{
    for (int k = 0; k < MonitorDrawing::Sections; ++k) {
        const SystemState::SectionInputs &inputs = session().system.inputs(k);
        if (inputs.drawn) {
            SystemPictures::show(m_draw->JoyDisplay[k], QPixmap::fromImage(inputs.joystick));
            m_draw->JoyDisplay[k]->setToolTip(inputs.joystickCaption);
        }
    }
    emit idleDrawn();
}

void FrmMonitor::MonitorDrawMag()
{
    SystemPictures::show(m_draw->ImgVbb, m_vbbPicture);
    if (const CVarDataS *solenoid = session().catalogue.data(KRV_SOL_TYPE)) {
        const int32_t s = solenoid->QelValueE2;
        for (QLabel *magnet : m_draw->MagADisplay) {
            if (s == 0 || s == 1)
                SystemPictures::show(magnet, m_pictures.MagnetPicture);
            else if (s == 2)
                SystemPictures::show(magnet, m_pictures.MagnetPicture2);
            magnet->setToolTip(m_pictures.solTypeDescription(s));
        }
    }
    emit idleDrawn();
}

void FrmMonitor::setSectionColours(const SectionColours *colours)
{
    m_colours = colours ? colours : context().colours ? context().colours : &m_ownColours;
    RefreshColour();
}

void FrmMonitor::RefreshColour()
{
    m_draw->RefreshColour(*m_colours);
}

void FrmMonitor::checkValves(int k)
{
    if (!m_draw->JoyMonitorVal[k]->MonitorEnable() || !m_draw->IMeasure[k]->MonitorEnable()) {
        MonitorDrawing::setLit(m_draw->lblValveA[k], false);
        MonitorDrawing::setLit(m_draw->lblValveB[k], false);
    }
}

void FrmMonitor::onTrigger(QScrollBar *trigger, int value, void (FrmMonitor::*draw)())
{
    if (value == 0)
        return;
    (this->*draw)();
    trigger->setValue(0);
}

void FrmMonitor::fireRedrawTriggers()
{
    m_draw->DrawJoyMonitorEventObj->setValue(1);
    m_draw->DrawMagMonitorEventObj->setValue(1);
}
