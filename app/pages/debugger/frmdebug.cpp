#include "frmdebug.h"

#include "debuginput.h"
#include "devlink.h"
#include "ditherframe.h"
#include "messageservice.h"
#include "session.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString Placeholder = QStringLiteral("-------");
const QString Waiting = QStringLiteral("..Wait..");
// Shown in a value label after a failed transfer: the value is not known.
const QString Unknown = QStringLiteral("---");
} // namespace

FrmDebug::FrmDebug(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("frmDebug"), QStringLiteral("Debug"), 0, 0, 33, context, parent),
      m_commands(*context.session)
{
    m_tmrDebug = new QTimer(this);
    m_tmrDebug->setObjectName(QStringLiteral("tmrDebug"));
    m_tmrDebug->setInterval(MonitorInterval);
    connect(m_tmrDebug, &QTimer::timeout, this, &FrmDebug::monitorTick);

    m_dither = new DitherFrame(m_commands, session().catalogue, this);
    connect(m_dither->readButton(), &QPushButton::clicked, this, &FrmDebug::ditherRead);
    connect(m_dither->updateButton(), &QPushButton::clicked, this, &FrmDebug::ditherUpdate);
    connect(m_dither, &DitherFrame::entryRefused, this, [this](int, const QString &text) {
        if (session().messages)
            session().messages->show(QStringLiteral("Value Not Valid : '") + text
                                         + QStringLiteral("'\rEnter a number, with \",\" or \".\" before the decimals."),
                                     MessageService::Buttons::Ok, MessageService::Icon::Warning);
    });

    auto *grid = new QGridLayout(this);
    grid->addWidget(buildTop(), 0, 0, 1, 2);
    grid->addWidget(buildGeneral(), 1, 0);
    grid->addWidget(buildButtons(), 1, 1, 2, 1);
    grid->addWidget(buildQelView(), 2, 0);
    grid->addWidget(m_dither, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(4, 1);

    CmbUpdate();
    applyLoginDependency();
}

QLabel *FrmDebug::addLabel(const QString &name, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton *FrmDebug::addButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setMinimumWidth(110);
    return button;
}

QWidget *FrmDebug::buildTop()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_cmbVariablesList = new QComboBox(box);
    m_cmbVariablesList->setObjectName(QStringLiteral("cmbVariablesList"));
    m_cmbVariablesList->setPlaceholderText(QStringLiteral("(variables list)"));
    m_cmbVariablesList->setMinimumWidth(220);
    m_cmbVariablesList->setMaxVisibleItems(20);
    m_txtAddress = new QLineEdit(box);
    m_txtAddress->setObjectName(QStringLiteral("txtAddress"));
    m_txtAddress->setMaximumWidth(100);
    m_txtAddress->setToolTip(QStringLiteral("Address, as 1234.AB; Enter selects its variable"));
    m_txtData = new QLineEdit(box);
    m_txtData->setObjectName(QStringLiteral("TxtData"));
    m_txtData->setMaximumWidth(100);
    m_txtData->setToolTip(QStringLiteral("Value to write"));
    row->addWidget(new QLabel(QStringLiteral("Variable"), box));
    row->addWidget(m_cmbVariablesList, 1);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Address"), box));
    row->addWidget(m_txtAddress);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Value"), box));
    row->addWidget(m_txtData);

    connect(m_cmbVariablesList, &QComboBox::currentIndexChanged, this, &FrmDebug::selectVariable);
    connect(m_txtAddress, &QLineEdit::returnPressed, this, &FrmDebug::addressEntered);
    return box;
}

QWidget *FrmDebug::buildGeneral()
{
    auto *frame = new QGroupBox(QStringLiteral("General Information"), this);
    auto *form = new QFormLayout(frame);
    m_lblName = addLabel(QStringLiteral("lblName"), QString());
    m_lblAddress = addLabel(QStringLiteral("LblAddress"), QStringLiteral("Address"));
    m_lblTooltip = addLabel(QStringLiteral("LblTooltip"), QStringLiteral("Tooltip Description"));
    m_lblTooltip->setWordWrap(true);
    m_lblMonitorName = addLabel(QStringLiteral("LblMonitorName"), QStringLiteral("Monitor Name"));
    m_lblUnit = addLabel(QStringLiteral("LblUnit"), QStringLiteral("Unit"));
    form->addRow(QStringLiteral("Name:"), m_lblName);
    form->addRow(QStringLiteral("Address:"), m_lblAddress);
    form->addRow(QStringLiteral("Description:"), m_lblTooltip);
    form->addRow(QStringLiteral("Monitor name:"), m_lblMonitorName);
    form->addRow(QStringLiteral("Unit:"), m_lblUnit);
    return frame;
}

QWidget *FrmDebug::buildQelView()
{
    auto *frame = new QGroupBox(QStringLiteral("QEL View"), this);
    auto *grid = new QGridLayout(frame);
    m_lblE2Data = addLabel(QStringLiteral("lblE2Data"), QString());
    m_lblRAMData = addLabel(QStringLiteral("lblRAMData"), QString());
    m_lblDisplayE2 = addLabel(QStringLiteral("LblDisplayE2"), QString());
    m_lblDisplayRAM = addLabel(QStringLiteral("LblDisplayRAM"), QString());
    m_lblUnitE2 = addLabel(QStringLiteral("LblUnitE2"), QString());
    m_lblUnitRam = addLabel(QStringLiteral("LblUnitRam"), QString());
    for (QLabel *value : {m_lblE2Data, m_lblRAMData, m_lblDisplayE2, m_lblDisplayRAM}) {
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setMinimumWidth(90);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    grid->addWidget(new QLabel(QStringLiteral("EEPROM"), frame), 0, 1, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("RAM"), frame), 0, 3, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Raw"), frame), 1, 0);
    grid->addWidget(m_lblE2Data, 1, 1);
    grid->addWidget(m_lblRAMData, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Value"), frame), 2, 0);
    grid->addWidget(m_lblDisplayE2, 2, 1);
    grid->addWidget(m_lblUnitE2, 2, 2);
    grid->addWidget(m_lblDisplayRAM, 2, 3);
    grid->addWidget(m_lblUnitRam, 2, 4);
    grid->setColumnStretch(5, 1);
    return frame;
}

QWidget *FrmDebug::buildButtons()
{
    auto *box = new QWidget(this);
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    m_cmdRead = addButton(QStringLiteral("cmdRead"), QStringLiteral("READ"));
    m_cmdDisplay = addButton(QStringLiteral("cmdDisplay"), QStringLiteral("DISPLAY"));
    m_cmdWrite = addButton(QStringLiteral("cmdWrite"), QStringLiteral("WRITE"));
    m_cmdSet = addButton(QStringLiteral("cmdSet"), QStringLiteral("SET"));
    m_cmdMonitor = addButton(QStringLiteral("cmdMonitor"), QStringLiteral("MONITOR"));
    QPushButton *reset = addButton(QStringLiteral("cmdReset"), QStringLiteral("RESET"));
    QPushButton *canProbe = addButton(QStringLiteral("CmdCANProbe"), QStringLiteral("CAN PROBE"));
    for (QPushButton *button : {m_cmdRead, m_cmdDisplay, m_cmdWrite, m_cmdSet, m_cmdMonitor, reset, canProbe})
        column->addWidget(button);
    column->addStretch();

    m_cmdRead->setToolTip(QStringLiteral("Read the word from EEPROM"));
    m_cmdDisplay->setToolTip(QStringLiteral("Read the word from RAM"));
    m_cmdWrite->setToolTip(QStringLiteral("Write the value into EEPROM and RAM"));
    m_cmdSet->setToolTip(QStringLiteral("Write the value into RAM only"));
    m_cmdMonitor->setToolTip(QStringLiteral("Read the word continuously (press again to stop)"));
    reset->setToolTip(QStringLiteral("Reset the control unit to its default parameters"));

    connect(m_cmdRead, &QPushButton::clicked, this, &FrmDebug::cmdRead);
    connect(m_cmdDisplay, &QPushButton::clicked, this, &FrmDebug::cmdDisplay);
    connect(m_cmdWrite, &QPushButton::clicked, this, &FrmDebug::cmdWrite);
    connect(m_cmdSet, &QPushButton::clicked, this, &FrmDebug::cmdSet);
    connect(m_cmdMonitor, &QPushButton::clicked, this, &FrmDebug::cmdMonitor);
    connect(reset, &QPushButton::clicked, this, &FrmDebug::cmdReset);
    return box;
}

void FrmDebug::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    const bool in = loggedIn();
    setLoginCommands(!in, in);
    drawConnectionBar(statusBar, text, {});
}

void FrmDebug::Activate()
{
    MonitorStop = false;
    applyLoginDependency();
}

void FrmDebug::Deactivate()
{
    MonitorStop = true;
    if (session().IsConnectObj.value() == ConnectionState::DebuggerBusy)
        session().link.setState(ConnectionState::Connected);
}

void FrmDebug::applyLoginDependency()
{
    const bool in = loggedIn();
    for (QWidget *child : findChildren<QWidget *>())
        child->setEnabled(in);
    stopMonitorTimer();
}

void FrmDebug::stopMonitorTimer()
{
    if (!m_tmrDebug->isActive())
        return;
    m_tmrDebug->stop();
    m_busy = false;
    MonitorStop = true;
    if (session().IsConnectObj.value() == ConnectionState::DebuggerBusy)
        session().link.setState(ConnectionState::Connected);
    m_commands.monitorStopped();
}

void FrmDebug::CmbUpdate()
{
    const QSignalBlocker quiet(m_cmbVariablesList);
    const int selected = m_cmbVariablesList->currentIndex();
    m_cmbVariablesList->clear();
    m_cmbVariablesList->addItem(Placeholder);
    const Catalogue &catalogue = session().catalogue;
    for (int i = 1; i < catalogue.VarCount; ++i) {
        const CVarDataS *record = catalogue.data(i);
        m_cmbVariablesList->addItem(record ? record->Name : QString());
    }
    m_cmbVariablesList->setCurrentIndex(selected < m_cmbVariablesList->count() ? selected : -1);
}

int FrmDebug::TextStringIsInteger(const QString &Text)
{
    return DebugInput::TextStringIsInteger(Text);
}

void FrmDebug::Wait(double milliseconds)
{
    LinkScheduler::waitMs(milliseconds);
}

void FrmDebug::selectVariable(int index)
{
    const CVarDataS *record = index > 0 ? session().catalogue.data(index) : nullptr;
    if (record) {
        m_txtAddress->setText(DebugInput::addressText(record->Address));
        m_lblName->setText(record->Name);
        m_lblAddress->setText(m_txtAddress->text());
        m_lblTooltip->setText(record->TooltipDecription);
        m_lblMonitorName->setText(record->MonitorName);
        for (QLabel *unit : {m_lblUnit, m_lblUnitE2, m_lblUnitRam})
            unit->setText(record->Unit);
        const QString zero = record->Unit.isEmpty() ? QString() : QStringLiteral("0");
        m_lblDisplayE2->setText(zero);
        m_lblDisplayRAM->setText(zero);
        m_lblE2Data->setText(QStringLiteral("0"));
        m_lblRAMData->setText(QStringLiteral("0"));
    } else if (index == 0) {
        m_lblName->clear();
        m_lblAddress->setText(Placeholder);
        m_lblTooltip->setText(Placeholder);
        m_lblMonitorName->setText(Placeholder);
        m_lblUnit->setText(QStringLiteral("---"));
    }
    m_txtAddress->selectAll();
}

void FrmDebug::addressEntered()
{
    int32_t address = 0;
    if (!m_commands.checkAddress(m_txtAddress->text(), address))
        return;
    // no variable there (0): nothing stays selected, so no command works on
    // another variable's address; the typed text stays for a correction
    const int found = m_commands.variableAt(address);
    if (m_cmbVariablesList->currentIndex() == found)
        selectVariable(found);
    else
        m_cmbVariablesList->setCurrentIndex(found);
}

bool FrmDebug::commandAddress(int32_t &address)
{
    return m_commands.checkAddress(m_lblAddress->text(), address);
}

void FrmDebug::showColumn(DebugCommands::Column column, const QString &raw)
{
    const bool e2 = column == DebugCommands::Column::E2;
    (e2 ? m_lblDisplayE2 : m_lblDisplayRAM)->setText(
        m_commands.engineeringText(m_cmbVariablesList->currentIndex(), column));
    (e2 ? m_lblE2Data : m_lblRAMData)->setText(raw);
}

void FrmDebug::read(DebugCommands::Column column)
{
    int32_t address = 0;
    if (!commandAddress(address) || !m_commands.connect())
        return;
    QLabel *raw = column == DebugCommands::Column::E2 ? m_lblE2Data : m_lblRAMData;
    raw->setText(Waiting);
    int32_t value = 0;
    if (m_commands.readWord(address, m_cmbVariablesList->currentIndex(), column, value))
        showColumn(column, QString::number(value));
    else
        raw->setText(Unknown);
}

void FrmDebug::cmdRead()
{
    read(DebugCommands::Column::E2);
}

void FrmDebug::cmdDisplay()
{
    read(DebugCommands::Column::Ram);
}

void FrmDebug::write(bool eeprom)
{
    int32_t address = 0;
    int32_t value = 0;
    if (!commandAddress(address) || !m_commands.checkValue(m_txtData->text(), value) || !m_commands.connect())
        return;
    if (eeprom)
        m_lblE2Data->setText(Waiting);
    m_lblRAMData->setText(Waiting);
    const bool ok = m_commands.writeWord(address, m_cmbVariablesList->currentIndex(), value, eeprom);
    const QString shown = ok ? QString::number(value) : Unknown;
    if (eeprom)
        showColumn(DebugCommands::Column::E2, shown);
    showColumn(DebugCommands::Column::Ram, shown);
}

void FrmDebug::cmdWrite()
{
    write(true);
}

void FrmDebug::cmdSet()
{
    write(false);
}

void FrmDebug::setMonitorLocked(bool locked)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_cmbVariablesList, m_txtAddress, m_txtData, m_cmdDisplay,
                                                        m_cmdRead, m_cmdSet, m_cmdWrite})
        w->setEnabled(!locked);
}

void FrmDebug::cmdMonitor()
{
    if (m_tmrDebug->isActive()) {
        session().link.setState(ConnectionState::Connected);
        MonitorStop = true;
        setMonitorLocked(false);
        return;
    }
    int32_t address = 0;
    if (!commandAddress(address) || !m_commands.connect())
        return;
    session().link.setState(ConnectionState::DebuggerBusy);
    m_tmrDebug->start();
    MonitorStop = false;
    setMonitorLocked(true);
}

void FrmDebug::monitorTick()
{
    if (MonitorStop) {
        m_tmrDebug->stop();
        m_commands.monitorStopped();
        return;
    }
    if (m_busy)
        return;
    int32_t address = 0;
    if (!DebugInput::parseAddress(m_lblAddress->text(), address))
        return;
    const LinkScheduler::Turn turn(session().link, LinkScheduler::Use::Poll);
    if (!turn)
        return;
    m_busy = true;
    int32_t value = 0;
    if (m_commands.monitorRead(address, m_cmbVariablesList->currentIndex(), value)) {
        showColumn(DebugCommands::Column::Ram, QString::number(value));
    } else {
        m_tmrDebug->stop();
        m_lblRAMData->setText(Unknown);
        setMonitorLocked(false);
    }
    m_busy = false;
}

void FrmDebug::cmdReset()
{
    if (!m_commands.confirmReset() || !m_commands.connect())
        return;
    QWidget *mainWindow = window();
    mainWindow->setEnabled(false);
    m_commands.reset();
    mainWindow->setEnabled(true);
}

void FrmDebug::ditherRead()
{
    if (!m_commands.connect())
        return;
    DebugCommands::DitherValues values = m_dither->values();
    if (m_commands.readDither(values))
        m_dither->showValues(values);
}

void FrmDebug::ditherUpdate()
{
    if (!m_dither->acceptEntries() || !m_commands.connect())
        return;
    m_commands.updateDither(m_dither->values());
}
