#include "historyrecorder.h"

#include "keycommands.h"
#include "messageservice.h"
#include "session.h"

#include <QCoreApplication>
#include <QDateTime>

const QString HistoryRecorder::WriteAction = QStringLiteral("Write");
const QString HistoryRecorder::WriteAllAction = QStringLiteral("Write All");
const QString HistoryRecorder::ResetAction = QStringLiteral("Reset");
const QString HistoryRecorder::KeyWriteAction = QStringLiteral("Key Write");
const QString HistoryRecorder::LockAction = QStringLiteral("Lock");

namespace {

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

QString resultText(HistoryRecorder::Outcome outcome)
{
    switch (outcome) {
    case HistoryRecorder::Outcome::Done: return ServiceHistory::Done;
    case HistoryRecorder::Outcome::Failed: return ServiceHistory::Failed;
    case HistoryRecorder::Outcome::StoppedMidway: return ServiceHistory::StoppedMidway;
    }
    return ServiceHistory::Failed;
}

} // namespace

HistoryRecorder::HistoryRecorder(Session &session) : m_session(session)
{
    m_linkClosed = QObject::connect(&session.IsConnectObj, &ConnectionState::assigned, [this](int16_t state) {
        if (state == ConnectionState::NotConnected)
            forgetUnit();
    });
}

HistoryRecorder::~HistoryRecorder()
{
    QObject::disconnect(m_linkClosed);
}

void HistoryRecorder::setStore(ServiceHistory *store)
{
    m_store = store;
    if (!store || store->hasOffNotice())
        return;
    store->setOffNotice([this](const QString &text) {
        if (m_session.messages)
            m_session.messages->show(text + QStringLiteral(".\rWrites go on without being recorded."),
                                     MessageService::Buttons::Ok, MessageService::Icon::Warning);
    });
}

void HistoryRecorder::forgetUnit()
{
    m_production.reset();
    m_identityTried = false;
}

bool HistoryRecorder::recording() const
{
    return m_store && !m_store->isOff();
}

QString HistoryRecorder::portName() const
{
    const DevLink &link = m_session.devLink;
    return link.PortName.isEmpty() ? QStringLiteral("COM %1").arg(link.ComPort) : link.PortName;
}


QString HistoryRecorder::valueText(int index, int32_t raw) const
{
    const CVarData *entry = m_session.catalogue.entry(index);
    if (!entry)
        return QString::number(raw);
    const QString number = QString::number(entry->DisplayFromRaw(raw));
    return entry->Data->Unit.isEmpty() ? number : number + QLatin1Char(' ') + entry->Data->Unit;
}

QString HistoryRecorder::oldText(int index, int32_t address) const
{
    const std::optional<int32_t> held = m_session.unitWords.word(address);
    return held ? valueText(index, *held) : QString();
}

HistoryRecorder::Unit HistoryRecorder::identify(bool linkAnswers)
{
    const CVarDataS *serial = m_session.catalogue.data(KRV_SERIAL_NUMBER);
    UnitWords &words = m_session.unitWords;
    const bool serialKnown = !serial || words.word(serial->Address);
    // one look per connection, and only over a link that just answered
    if ((!m_production || !serialKnown) && !m_identityTried && linkAnswers
        && m_session.devLink.LinkState == DevLink::State::Open) {
        m_identityTried = true;
        int32_t value = 0;
        if (!m_production && m_session.devLink.ReadValue(KeyCommands::ProductionAddress, value, 4) == 0)
            m_production = value;
        if (!serialKnown && m_session.devLink.ReadWord(serial->Address, value).isEmpty())
            words.holds(serial->Address, value);
    }
    Unit unit;
    if (m_production)
        unit.production = KeyCommands::hexText(*m_production);
    if (const std::optional<int32_t> number = serial ? words.word(serial->Address) : std::nullopt)
        unit.serial = QString::number(*number);
    return unit;
}

ServiceHistory::Row HistoryRecorder::row(const QString &time, const Unit &unit, const QString &action) const
{
    ServiceHistory::Row r;
    r.time = time;
    r.program = m_program.isEmpty() ? QCoreApplication::applicationName() : m_program;
    r.user = ServiceHistory::userName();
    r.port = portName();
    r.production = unit.production;
    r.serial = unit.serial;
    r.action = action;
    return r;
}

void HistoryRecorder::append(const QList<ServiceHistory::Row> &rows)
{
    if (m_store)
        m_store->append(rows);
}

void HistoryRecorder::recordSetWrite(const QString &action, const QList<QPair<int, int32_t>> &sent,
                                     const QList<int> &lost, Outcome outcome, int done, int total)
{
    const Catalogue &cat = m_session.catalogue;
    if (recording()) {
        const QString time = now();
        const Unit unit = identify(outcome != Outcome::Failed);
        QList<ServiceHistory::Row> rows;
        const auto changed = [&](int index, int32_t value, const QString &result) {
            const int32_t address = cat.data(index)->Address;
            if (m_session.unitWords.word(address) == value)
                return;
            ServiceHistory::Row r = row(time, unit, action);
            r.parameter = cat.data(index)->Name;
            r.oldValue = oldText(index, address);
            r.newValue = valueText(index, value);
            r.sourceFile = m_sourceFile;
            r.result = result;
            rows.append(r);
        };
        for (const auto &[index, value] : sent)
            changed(index, value, ServiceHistory::Done);
        for (int index : lost)
            changed(index, cat.data(index)->KrvDownloadValueE2, ServiceHistory::Failed);
        ServiceHistory::Row summary = row(time, unit, action);
        summary.newValue = QStringLiteral("%1 of %2 entries").arg(done).arg(total);
        summary.sourceFile = m_sourceFile;
        summary.result = resultText(outcome);
        rows.append(summary);
        append(rows);
    }
    for (const auto &[index, value] : sent)
        m_session.unitWords.holds(cat.data(index)->Address, value);
    for (int index : lost)
        m_session.unitWords.mayHold(cat.data(index)->Address);
}

void HistoryRecorder::recordWord(const QString &action, int32_t address, int32_t value, bool done)
{
    // over a closed link nothing reached any unit
    if (m_session.devLink.LinkState != DevLink::State::Open)
        return;
    if (recording()) {
        const int index = m_session.catalogue.indexAt(address);
        ServiceHistory::Row r = row(now(), identify(done), action);
        r.parameter = index ? m_session.catalogue.data(index)->Name : File::formatAddress(address);
        r.oldValue = oldText(index, address);
        r.newValue = valueText(index, value);
        r.result = done ? ServiceHistory::Done : ServiceHistory::Failed;
        append({r});
    }
    if (done)
        m_session.unitWords.holds(address, value);
    else
        m_session.unitWords.mayHold(address);
}

void HistoryRecorder::recordValue(const QString &action, const QString &parameter, const QString &oldValue,
                                  const QString &newValue, bool done)
{
    if (!recording() || m_session.devLink.LinkState != DevLink::State::Open)
        return;
    ServiceHistory::Row r = row(now(), identify(done), action);
    r.parameter = parameter;
    r.oldValue = oldValue;
    r.newValue = newValue;
    r.result = done ? ServiceHistory::Done : ServiceHistory::Failed;
    append({r});
}
