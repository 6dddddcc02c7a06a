#include "monitorlogger.h"

#include "csvtext.h"
#include "cvardata.h"
#include "session.h"

#include <QDateTime>

MonitorLogger::MonitorLogger(Session &session) : m_session(session)
{
    const KrvId live[] = {KRV_ERROR_CODE,     KRV_HSD_MONITOR,    KRV_DIGIT_MONITOR,  KRV_JOY0_VALUE,
                          KRV_JOY1_VALUE,     KRV_JOY2_VALUE,     KRV_JOY3_VALUE,     KRV_I0_MEASURE_400,
                          KRV_I1_MEASURE_400, KRV_I2_MEASURE_400, KRV_I3_MEASURE_400, KRV_VBB_400};
    for (KrvId id : live) {
        const int index = session.catalogue.index(id);
        if (index > 0)
            m_indices.append(index);
        else
            m_missing.append(QString::fromLatin1(krvIdName(id)));
    }
}

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
    for (int index : m_indices)
        m_session.catalogue.data(index)->CurrentTBXSystem = count;
    return true;
}

QString MonitorLogger::header() const
{
    QStringList fields{QStringLiteral("time")};
    for (int index : m_indices) {
        const CVarDataS *d = m_session.catalogue.data(index);
        fields.append(CsvText::field(d->Unit.isEmpty() ? d->Name : d->Name + QStringLiteral(" [") + d->Unit + QLatin1Char(']')));
    }
    return fields.join(QLatin1Char(','));
}

bool MonitorLogger::poll(QString &row)
{
    QStringList fields{QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)};
    for (int index : m_indices) {
        CVarData *entry = m_session.catalogue.entry(index);
        int32_t value = 0;
        if (!m_session.rs232.ReadVar(entry->Data->Address, value).isEmpty())
            return false;
        entry->ReadRAMFromQEL(value);
        fields.append(QString::number(entry->Data->KrvDisplayValueRAM, 'g', 10));
    }
    row = fields.join(QLatin1Char(','));
    return true;
}
