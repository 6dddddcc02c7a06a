#include "trendrecorder.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <limits>

TrendRecorder::TrendRecorder(const LiveColumns &columns) : m_columns(columns) {}

void TrendRecorder::setColumns(const LiveColumns &columns)
{
    if (columns == m_columns)
        return;
    m_columns = columns;
    clear();
}

TrendRecorder::Sample TrendRecorder::emptySample(qint64 timeMs) const
{
    return Sample{timeMs, QVector<double>(m_columns.count(), std::numeric_limits<double>::quiet_NaN())};
}

void TrendRecorder::append(Sample sample)
{
    if (sample.values.size() != m_columns.count())
        return;
    if (!m_samples.empty() && sample.timeMs < m_samples.back().timeMs)
        return;
    const qint64 oldest = sample.timeMs - SpanMs;
    m_samples.push_back(std::move(sample));
    while (m_samples.front().timeMs < oldest || m_samples.size() > size_t(MaxSamples))
        m_samples.pop_front();
    ++m_appended;
    if (m_listener)
        m_listener();
}

void TrendRecorder::clear()
{
    m_samples.clear();
    ++m_appended;
}

size_t TrendRecorder::lowerBound(qint64 timeMs) const
{
    const auto it = std::lower_bound(m_samples.begin(), m_samples.end(), timeMs,
                                     [](const Sample &s, qint64 t) { return s.timeMs < t; });
    return size_t(it - m_samples.begin());
}

QList<QPointF> TrendRecorder::points(int column, qint64 fromMs, qint64 toMs, int buckets) const
{
    QList<QPointF> result;
    if (column < 0 || column >= m_columns.count() || toMs <= fromMs)
        return result;
    size_t first = lowerBound(fromMs);
    size_t last = lowerBound(toMs + 1);
    if (first > 0)
        --first;
    if (last < m_samples.size())
        ++last;
    buckets = std::max(1, buckets);
    const bool reduce = last - first > size_t(2 * buckets);
    const double width = double(toMs - fromMs) / buckets;
    long bucket = -1;
    QPointF low, high;
    auto flush = [&] {
        if (bucket < 0)
            return;
        // in time order, so the line runs forward
        if (low.x() <= high.x()) {
            result.append(low);
            if (high.x() != low.x())
                result.append(high);
        } else {
            result.append(high);
            result.append(low);
        }
    };
    for (size_t i = first; i < last; ++i) {
        const Sample &s = m_samples[i];
        const double v = s.values[column];
        if (std::isnan(v))
            continue;
        const QPointF p(double(s.timeMs), v);
        if (!reduce) {
            result.append(p);
            continue;
        }
        const long b = long(std::floor((s.timeMs - fromMs) / width));
        if (b != bucket) {
            flush();
            bucket = b;
            low = high = p;
        } else if (v < low.y()) {
            low = p;
        } else if (v > high.y()) {
            high = p;
        }
    }
    flush();
    return result;
}

QString TrendRecorder::csvRow(const LiveColumns &columns, const Sample &sample)
{
    QStringList fields{LiveColumns::timeStamp(QDateTime::fromMSecsSinceEpoch(sample.timeMs, Qt::UTC))};
    for (int c = 0; c < columns.count(); ++c) {
        const double v = sample.values.value(c, std::numeric_limits<double>::quiet_NaN());
        fields.append(std::isnan(v) ? QString() : LiveColumns::number(v));
    }
    return fields.join(QLatin1Char(','));
}

QByteArray TrendRecorder::csv() const
{
    QByteArray bytes = m_columns.header().toUtf8() + '\n';
    for (const Sample &s : m_samples)
        bytes += csvRow(m_columns, s).toUtf8() + '\n';
    return bytes;
}
