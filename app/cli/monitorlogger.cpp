#include "monitorlogger.h"

#include "cvardata.h"
#include "session.h"

#include <QDateTime>

MonitorLogger::MonitorLogger(Session &session) : m_session(session), m_columns(session.catalogue) {}

bool MonitorLogger::prepare()
{
    CVarData *sections = m_session.catalogue.entry(KRV_NUM_PROP_REG);
    int16_t count = 0;
    if (sections) {
        int32_t value = 0;
        if (!m_session.rs232.ReadVar(sections->Data->Address, value).isEmpty())
            return false;
        sections->ReadE2FromQEL(value);
        count = int16_t(sections->Data->QelValueE2);
    }
    for (int c = 0; c < m_columns.count(); ++c)
        m_session.catalogue.data(m_columns.index(c))->CurrentTBXSystem = count;
    return true;
}

QString MonitorLogger::header() const
{
    return m_columns.header();
}

bool MonitorLogger::poll(QString &row)
{
    QStringList fields{LiveColumns::timeStamp(QDateTime::currentDateTimeUtc())};
    for (int c = 0; c < m_columns.count(); ++c) {
        CVarData *entry = m_session.catalogue.entry(m_columns.index(c));
        int32_t value = 0;
        if (!m_session.rs232.ReadVar(entry->Data->Address, value).isEmpty())
            return false;
        entry->ReadRAMFromQEL(value);
        fields.append(LiveColumns::number(entry->Data->KrvDisplayValueRAM));
    }
    row = fields.join(QLatin1Char(','));
    return true;
}
