#include "debugcommands.h"

#include "debuginput.h"
#include "messageservice.h"
#include "resetquestion.h"
#include "session.h"
#include "vbnumber.h"

namespace {

const KrvId DitherIds[DebugCommands::DitherRows] = {KRV_DITHER_AMP, KRV_DITHER_AMP_PERC, KRV_DITHER_FREQ};
// The controller reads the settings in this order (rows 0, 2, 1).
const int DitherReadOrder[DebugCommands::DitherRows] = {0, 2, 1};

constexpr int ProgressStep = 5;

const QString WriteAction = QStringLiteral("Debugger WRITE");
const QString SetAction = QStringLiteral("Debugger SET");
const QString UpdateAction = QStringLiteral("Debugger UPDATE");

void tell(Session &session, const QString &text, MessageService::Icon icon)
{
    if (session.messages)
        session.messages->show(text, MessageService::Buttons::Ok, icon);
}

} // namespace

DebugCommands::DebugCommands(Session &session) : m_session(session) {}

bool DebugCommands::checkAddress(const QString &text, int32_t &address) const
{
    if (DebugInput::parseAddress(text, address))
        return true;
    tell(m_session, QStringLiteral("Address Not Valid : '") + text
                        + QStringLiteral("'\rEnter up to six hexadecimal digits, as 1234.AB or 1234AB."),
         MessageService::Icon::Warning);
    return false;
}

int DebugCommands::variableAt(int32_t address) const
{
    if (const int index = m_session.catalogue.indexAt(address))
        return index;
    tell(m_session, QStringLiteral("Address not in the variable list"), MessageService::Icon::Warning);
    return 0;
}

bool DebugCommands::checkValue(const QString &text, int32_t &value) const
{
    if (DebugInput::parseWordValue(text, value))
        return true;
    tell(m_session, QStringLiteral("Value Not Valid : '") + text
                        + QStringLiteral("'\rEnter a whole number from %1 to %2.")
                              .arg(DebugInput::WordMin)
                              .arg(DebugInput::WordMax),
         MessageService::Icon::Warning);
    return false;
}

bool DebugCommands::connect()
{
    return m_session.rs232.Connect();
}

void DebugCommands::begin(const QString &statusText)
{
    m_session.IsConnectObj = ConnectionState::DebuggerBusy;
    m_session.StatusText = statusText;
    statusRefresh();
}

void DebugCommands::statusRefresh()
{
    m_session.draw.UpdateStatusBar(m_session.StatusText);
}

void DebugCommands::finish()
{
    m_session.ProgressPercent = 100;
    statusRefresh();
    m_session.ProgressPercent = 0;
}

void DebugCommands::failed(const QString &error)
{
    // the link is not known to work any more: the page shows it as lost
    m_session.IsConnectObj = ConnectionState::NotConnected;
    tell(m_session, QStringLiteral("Operation Failed :") + m_session.devLink.withCause(error),
         MessageService::Icon::None);
}

void DebugCommands::store(int index, int32_t value, Column column)
{
    CVarData *entry = m_session.catalogue.entry(index);
    if (!entry)
        return;
    if (column == Column::E2)
        entry->ReadE2FromQEL(value);
    else
        entry->ReadRAMFromQEL(value);
}

bool DebugCommands::readWord(int32_t address, int index, Column column, int32_t &value)
{
    begin(column == Column::E2 ? QStringLiteral("Debug: Reading...") : QStringLiteral("Debug: Displaying..."));
    int32_t word = 0;
    const QString error = m_session.rs232.ReadVar(address, word);
    const bool ok = error.isEmpty();
    if (ok) {
        m_session.IsConnectObj = ConnectionState::Connected;
        m_session.unitWords.holds(address, word);
        store(index, word, column);
        value = word;
    } else {
        failed(error);
    }
    finish();
    return ok;
}

bool DebugCommands::writeWord(int32_t address, int index, int32_t value, bool eeprom)
{
    begin(eeprom ? QStringLiteral("Debug: Writing...") : QStringLiteral("Debug: Setting..."));
    const QString error = m_session.rs232.WriteVar(address, value);
    const bool ok = error.isEmpty();
    m_session.history.recordWord(eeprom ? WriteAction : SetAction, address, value, ok);
    if (ok) {
        m_session.IsConnectObj = ConnectionState::Connected;
        if (eeprom)
            store(index, value, Column::E2);
        store(index, value, Column::Ram);
    } else {
        failed(error);
    }
    finish();
    return ok;
}

bool DebugCommands::monitorRead(int32_t address, int index, int32_t &value)
{
    m_session.IsConnectObj = ConnectionState::DebuggerBusy;
    int32_t word = 0;
    const QString error = m_session.rs232.ReadVar(address, word);
    if (!error.isEmpty()) {
        failed(error);
        monitorStopped();
        return false;
    }
    m_session.unitWords.holds(address, word);
    store(index, word, Column::Ram);
    value = word;
    m_progress = m_progress >= 100 ? ProgressStep : m_progress + ProgressStep;
    m_session.ProgressPercent = static_cast<int16_t>(m_progress);
    m_session.StatusText = QStringLiteral("Debug: Monitoring...");
    statusRefresh();
    return true;
}

void DebugCommands::monitorStopped()
{
    m_progress = 0;
    m_session.ProgressPercent = 0;
    m_session.StatusText = QStringLiteral("Debug...");
    statusRefresh();
}

QString DebugCommands::engineeringText(int index, Column column) const
{
    const CVarDataS *data = m_session.catalogue.data(index);
    if (!data || data->Unit.isEmpty())
        return QString();
    if (column == Column::E2)
        return QString::number(data->KrvDisplayValueE2);
    return VbNumber::plainDecimal(data->KrvDisplayValueRAM, VbNumber::decimalSeparator());
}

bool DebugCommands::confirmReset() const
{
    return ::confirmReset(m_session.messages);
}

bool DebugCommands::reset()
{
    const QString result = m_session.e2Image.SendLoadCommand();
    m_session.IsConnectObj = ConnectionState::NotConnected;
    if (result != QLatin1String("0")) {
        tell(m_session, m_session.devLink.withCause(QStringLiteral("Operation Failed!")), MessageService::Icon::None);
        return false;
    }
    tell(m_session, QStringLiteral("POWER RESET Needed For Default Parameters Configuration To Be Effective !!!"),
         MessageService::Icon::Information);
    m_session.rs232.Disconnect();
    return true;
}

int DebugCommands::ditherIndex(int row) const
{
    return row >= 0 && row < DitherRows ? m_session.catalogue.index(DitherIds[row]) : 0;
}

bool DebugCommands::readDither(DitherValues &values)
{
    DitherValues read = values;
    begin(QStringLiteral("Debug: Reading..."));
    for (int row : DitherReadOrder) {
        const CVarDataS *data = m_session.catalogue.data(ditherIndex(row));
        if (!data)
            continue;
        const QString error = m_session.rs232.ReadVar(data->Address, read[row]);
        if (!error.isEmpty()) {
            failed(error);
            return false;
        }
        m_session.unitWords.holds(data->Address, read[row]);
        statusRefresh();
    }
    m_session.IsConnectObj = ConnectionState::Connected;
    values = read;
    finish();
    return true;
}

bool DebugCommands::updateDither(const DitherValues &values)
{
    const CVarDataS *update = m_session.catalogue.data(KRV_DITHER_UPDATE);
    begin(QStringLiteral("Debug: Writing..."));
    for (int row = 0; row < DitherRows; ++row) {
        const CVarDataS *data = m_session.catalogue.data(ditherIndex(row));
        if (!data)
            continue;
        const QString error = m_session.rs232.WriteVar(data->Address, values[row]);
        m_session.history.recordWord(UpdateAction, data->Address, values[row], error.isEmpty());
        if (!error.isEmpty()) {
            failed(error);
            return false;
        }
        statusRefresh();
    }
    if (update) {
        const QString error = m_session.rs232.WriteVar(update->Address, 1);
        m_session.history.recordWord(UpdateAction, update->Address, 1, error.isEmpty());
        if (!error.isEmpty()) {
            failed(error);
            return false;
        }
    }
    m_session.IsConnectObj = ConnectionState::Connected;
    finish();
    return true;
}
