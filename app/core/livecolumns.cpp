#include "livecolumns.h"

#include "catalogue.h"
#include "csvtext.h"
#include "cvardata.h"

LiveColumns::LiveColumns(const Catalogue &catalogue)
{
    const KrvId live[] = {KRV_ERROR_CODE,     KRV_HSD_MONITOR,    KRV_DIGIT_MONITOR,  KRV_JOY0_VALUE,
                          KRV_JOY1_VALUE,     KRV_JOY2_VALUE,     KRV_JOY3_VALUE,     KRV_I0_MEASURE_400,
                          KRV_I1_MEASURE_400, KRV_I2_MEASURE_400, KRV_I3_MEASURE_400, KRV_VBB_400};
    for (KrvId id : live) {
        const int index = catalogue.index(id);
        const CVarDataS *d = index > 0 ? catalogue.data(index) : nullptr;
        if (!d) {
            m_missing.append(QString::fromLatin1(krvIdName(id)));
            continue;
        }
        m_indices.append(index);
        m_ids.append(id);
        m_labels.append(d->MonitorName.isEmpty() ? d->Name : d->MonitorName);
        m_units.append(d->Unit);
        m_captions.append(d->Unit.isEmpty() ? d->Name : d->Name + QStringLiteral(" [") + d->Unit + QLatin1Char(']'));
    }
}

QString LiveColumns::header() const
{
    return CsvText::row(QStringList{QStringLiteral("time")} + m_captions);
}

QString LiveColumns::timeStamp(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QString LiveColumns::number(double value)
{
    return QString::number(value, 'g', 10);
}
