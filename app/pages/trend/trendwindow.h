#pragma once

#include "krvid.h"

#include <QHash>
#include <QElapsedTimer>
#include <QList>
#include <QWidget>

class FileDialogService;
class MessageService;
class QCheckBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QTimer;
class TrendChart;
class TrendRecorder;

// The trend window: the joystick inputs, coil currents and supply the
// monitor recorded, over time. Live, the view ends at the newest sample and
// moves on with it; paused (or dragged), it stays where it is while the
// recording goes on. The charts are redrawn at most every RefreshMs, right
// after a monitor cycle, so a redraw does not hold up the next cycle's reads.
class TrendWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RefreshMs = 500;
    static constexpr qint64 DefaultSpanMs = 60 * 1000;
    static constexpr qint64 ShortestSpanMs = 2 * 1000;

    TrendWindow(TrendRecorder &recorder, FileDialogService *dialogs, MessageService *messages,
                QWidget *parent = nullptr);
    ~TrendWindow() override;

    bool isLive() const { return m_live; }
    qint64 viewStart() const { return m_endMs - m_spanMs; }
    qint64 viewEnd() const { return m_endMs; }
    QCheckBox *seriesSwitch(KrvId id) const { return m_switches.value(id); }
    QLineSeries *series(KrvId id) const { return m_series.value(id); }
    QLabel *valueLabel(KrvId id) const { return m_values.value(id); }

    void pause();
    void resume();
    // factor > 1 shows a longer time; anchorMs keeps its place on screen.
    void zoom(double factor, qint64 anchorMs);
    void pan(qint64 deltaMs);
    // The values at a time in the side panel, the cursor line on every chart; negative: the newest.
    void showCursor(qint64 timeMs);
    // Redraws now (the timer does it while the window is shown).
    void refresh();
    bool saveCsv();
    bool savePng();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct Group;
    void build();
    void sampleAppended();
    void showValues(qint64 timeMs);

    TrendRecorder &m_recorder;
    FileDialogService *m_dialogs;
    MessageService *m_messages;
    QList<TrendChart *> m_charts;
    QWidget *m_chartArea = nullptr;
    QHash<KrvId, QLineSeries *> m_series;
    QHash<KrvId, QCheckBox *> m_switches;
    QHash<KrvId, QLabel *> m_values;
    QHash<KrvId, TrendChart *> m_chartOf;
    QLabel *m_timeLabel = nullptr;
    QLabel *m_endLabel = nullptr;
    QPushButton *m_pause = nullptr;
    QTimer *m_lastSamples;
    QElapsedTimer m_sinceDrawn;
    bool m_live = true;
    quint64 m_drawn = 0;
    qint64 m_spanMs = DefaultSpanMs;
    qint64 m_endMs = 0;
    qint64 m_cursorMs = -1;
};
