#pragma once

#include "livecolumns.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>
#include <QVector>
#include <deque>
#include <functional>

// The live values of the last ten minutes, one sample per completed monitor
// cycle, oldest first. A sample older than the span before the newest one is
// dropped; so is the oldest when the count limit is reached, so memory stays
// bounded whatever the polling rate.
class TrendRecorder
{
public:
    static constexpr qint64 SpanMs = 10 * 60 * 1000;
    // Ten minutes at 100 samples a second.
    static constexpr int MaxSamples = 60000;

    struct Sample
    {
        qint64 timeMs = 0;          // milliseconds since the epoch, UTC
        QVector<double> values;     // one per column; NaN: not read in that cycle
    };

    explicit TrendRecorder(const LiveColumns &columns = LiveColumns());

    // New columns (another list loaded) start a new recording.
    void setColumns(const LiveColumns &columns);
    const LiveColumns &columns() const { return m_columns; }

    // A sample with every value unread, for the caller to fill in.
    Sample emptySample(qint64 timeMs) const;
    // Samples must come in time order; one older than the newest is refused.
    void append(Sample sample);
    void clear();
    // Called after each sample appended (one listener; empty to stop).
    void setAppendListener(std::function<void()> listener) { m_listener = std::move(listener); }

    const std::deque<Sample> &samples() const { return m_samples; }
    bool isEmpty() const { return m_samples.empty(); }
    // Grows with every sample appended: a view redraws only when it changed.
    quint64 appended() const { return m_appended; }
    // The first sample at or after a time (samples().size() when none).
    size_t lowerBound(qint64 timeMs) const;

    // The points of a column between two times (x: milliseconds since the
    // epoch), with the samples just outside so a line reaches the edges. More
    // samples than two a bucket are reduced to each bucket's lowest and
    // highest value, so peaks stay visible at any zoom.
    QList<QPointF> points(int column, qint64 fromMs, qint64 toMs, int buckets) const;

    // The header and one row per sample, as krvctl monitor writes them.
    QByteArray csv() const;
    static QString csvRow(const LiveColumns &columns, const Sample &sample);

private:
    LiveColumns m_columns;
    std::deque<Sample> m_samples;
    quint64 m_appended = 0;
    std::function<void()> m_listener;
};
