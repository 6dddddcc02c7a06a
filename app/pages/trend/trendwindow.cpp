#include "trendwindow.h"

#include "exportfile.h"
#include "trendchart.h"
#include "trendrecorder.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

struct Line
{
    KrvId id;
    QColor colour;
};

// The charts, top to bottom; each has one unit. highest 0: the axis follows the data.
struct ChartGroup
{
    const char *title;
    double highest;
    int ticks;
    QList<Line> lines;
};

const QList<ChartGroup> &groups()
{
    static const QList<ChartGroup> list = {
        {"Joystick inputs", 100.0, 5,
         {{KRV_JOY0_VALUE, QColor(31, 90, 190)},
          {KRV_JOY1_VALUE, QColor(200, 50, 40)},
          {KRV_JOY2_VALUE, QColor(30, 140, 60)},
          {KRV_JOY3_VALUE, QColor(210, 130, 0)}}},
        {"Coil currents", 0.0, 5,
         {{KRV_I0_MEASURE_400, QColor(31, 90, 190)},
          {KRV_I1_MEASURE_400, QColor(200, 50, 40)},
          {KRV_I2_MEASURE_400, QColor(30, 140, 60)},
          {KRV_I3_MEASURE_400, QColor(210, 130, 0)}}},
        {"Supply", 30.0, 4, {{KRV_VBB_400, QColor(130, 40, 150)}}},
    };
    return list;
}

// A round upper end for an axis that follows the data: 1, 2 or 5 times a power of ten.
double roundUp(double value)
{
    if (value <= 0)
        return 100.0;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 5.0, 10.0})
        if (value <= step * power)
            return step * power;
    return 10.0 * power;
}

QPixmap swatch(const QColor &colour)
{
    QPixmap p(12, 12);
    p.fill(colour);
    return p;
}

} // namespace

TrendWindow::TrendWindow(TrendRecorder &recorder, FileDialogService *dialogs, MessageService *messages, QWidget *parent)
    : QWidget(parent, Qt::Window), m_recorder(recorder), m_dialogs(dialogs), m_messages(messages),
      m_lastSamples(new QTimer(this))
{
    setObjectName(QStringLiteral("FrmTrend"));
    setWindowTitle(QStringLiteral("Trend"));
    build();
    // the samples of the last moments before the monitor stopped
    m_lastSamples->setSingleShot(true);
    m_lastSamples->setInterval(2 * RefreshMs);
    connect(m_lastSamples, &QTimer::timeout, this, [this] {
        if (m_live && m_recorder.appended() != m_drawn)
            refresh();
    });
    m_recorder.setAppendListener([this] { sampleAppended(); });
    resize(980, 660);
    refresh();
}

TrendWindow::~TrendWindow()
{
    m_recorder.setAppendListener(nullptr);
}

void TrendWindow::build()
{
    const LiveColumns &columns = m_recorder.columns();
    auto *outer = new QHBoxLayout(this);

    m_chartArea = new QWidget(this);
    m_chartArea->setObjectName(QStringLiteral("chartArea"));
    auto *chartsLayout = new QVBoxLayout(m_chartArea);
    chartsLayout->setContentsMargins(0, 0, 0, 0);
    chartsLayout->setSpacing(2);

    auto *side = new QVBoxLayout;
    auto *buttons = new QHBoxLayout;
    m_pause = new QPushButton(QStringLiteral("Pause"), this);
    m_pause->setObjectName(QStringLiteral("cmdPause"));
    connect(m_pause, &QPushButton::clicked, this, [this] { m_live ? pause() : resume(); });
    auto *csv = new QPushButton(QStringLiteral("Save CSV..."), this);
    csv->setObjectName(QStringLiteral("cmdSaveCsv"));
    connect(csv, &QPushButton::clicked, this, &TrendWindow::saveCsv);
    auto *png = new QPushButton(QStringLiteral("Save PNG..."), this);
    png->setObjectName(QStringLiteral("cmdSavePng"));
    connect(png, &QPushButton::clicked, this, &TrendWindow::savePng);
    buttons->addWidget(m_pause);
    buttons->addWidget(csv);
    buttons->addWidget(png);
    side->addLayout(buttons);
    m_endLabel = new QLabel(this);
    m_endLabel->setObjectName(QStringLiteral("lblViewEnd"));
    m_endLabel->setFixedHeight(m_endLabel->fontMetrics().height() + 4);
    side->addWidget(m_endLabel);
    m_timeLabel = new QLabel(this);
    m_timeLabel->setObjectName(QStringLiteral("lblCursorTime"));
    m_timeLabel->setFixedHeight(m_timeLabel->fontMetrics().height() + 4);
    side->addWidget(m_timeLabel);

    for (const ChartGroup &group : groups()) {
        const int first = columns.columnOf(group.lines.first().id);
        const QString unit = first >= 0 ? columns.unit(first) : QString();
        auto *chart = new TrendChart(QString::fromLatin1(group.title), unit, m_chartArea);
        chart->setValueRange(0, group.highest > 0 ? group.highest : 100.0);
        chart->setValueTicks(group.ticks);
        chartsLayout->addWidget(chart, group.lines.size() > 1 ? 3 : 2);
        m_charts.append(chart);
        connect(chart, &TrendChart::zoomRequested, this, &TrendWindow::zoom);
        connect(chart, &TrendChart::panRequested, this, &TrendWindow::pan);
        connect(chart, &TrendChart::cursorMoved, this, &TrendWindow::showCursor);
        connect(chart, &TrendChart::cursorLeft, this, [this] { showCursor(-1); });

        auto *box = new QGroupBox(unit.isEmpty() ? QString::fromLatin1(group.title)
                                                 : QStringLiteral("%1 [%2]").arg(QString::fromLatin1(group.title), unit),
                                  this);
        auto *grid = new QGridLayout(box);
        grid->setColumnStretch(0, 1);
        for (const Line &line : group.lines) {
            const int column = columns.columnOf(line.id);
            if (column < 0)
                continue;
            QLineSeries *series = chart->addSeries(columns.label(column), line.colour);
            auto *check = new QCheckBox(columns.label(column), box);
            check->setObjectName(QStringLiteral("chk_%1").arg(QString::fromLatin1(krvIdName(line.id))));
            check->setIcon(swatch(line.colour));
            check->setChecked(true);
            auto *value = new QLabel(box);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // a fixed size: a new value repaints the label and lays out nothing
            value->setFixedSize(90, value->fontMetrics().height() + 4);
            const int row = grid->rowCount();
            grid->addWidget(check, row, 0);
            grid->addWidget(value, row, 1);
            connect(check, &QCheckBox::toggled, this, [this, series](bool on) {
                series->setVisible(on);
                refresh();
            });
            m_series.insert(line.id, series);
            m_switches.insert(line.id, check);
            m_values.insert(line.id, value);
            m_chartOf.insert(line.id, chart);
        }
        side->addWidget(box);
    }
    side->addStretch(1);
    auto *hint = new QLabel(QStringLiteral("Wheel: zoom the time axis\nDrag: move along it"), this);
    hint->setEnabled(false);
    side->addWidget(hint);

    outer->addWidget(m_chartArea, 1);
    outer->addLayout(side);
}

void TrendWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

void TrendWindow::hideEvent(QHideEvent *event)
{
    // a hidden window costs nothing; the recording goes on in the recorder
    m_lastSamples->stop();
    QWidget::hideEvent(event);
}

void TrendWindow::sampleAppended()
{
    if (!isVisible() || !m_live)
        return;
    m_lastSamples->start();
    // drawn once the cycle has handed over, before the next one starts
    if (!m_sinceDrawn.isValid() || m_sinceDrawn.elapsed() >= RefreshMs) {
        m_sinceDrawn.start();
        QTimer::singleShot(0, this, &TrendWindow::refresh);
    }
}

void TrendWindow::pause()
{
    if (!m_live)
        return;
    m_live = false;
    m_pause->setText(QStringLiteral("Resume"));
}

void TrendWindow::resume()
{
    m_live = true;
    m_pause->setText(QStringLiteral("Pause"));
    refresh();
}

void TrendWindow::zoom(double factor, qint64 anchorMs)
{
    const qint64 span = std::clamp(qint64(double(m_spanMs) * factor), ShortestSpanMs, TrendRecorder::SpanMs);
    if (!m_live) {
        // the time under the mouse keeps its place
        const double share = double(anchorMs - viewStart()) / double(m_spanMs);
        m_endMs = anchorMs + qint64((1.0 - share) * double(span));
    }
    m_spanMs = span;
    refresh();
}

void TrendWindow::pan(qint64 deltaMs)
{
    pause();
    m_endMs += deltaMs;
    if (!m_recorder.isEmpty())
        m_endMs = std::clamp(m_endMs, m_recorder.samples().front().timeMs, m_recorder.samples().back().timeMs);
    refresh();
}

void TrendWindow::refresh()
{
    if (m_live)
        m_endMs = m_recorder.isEmpty() ? QDateTime::currentMSecsSinceEpoch() : m_recorder.samples().back().timeMs;
    const qint64 from = viewStart();
    for (TrendChart *chart : m_charts)
        chart->setTimeRange(from, m_endMs);

    const LiveColumns &columns = m_recorder.columns();
    QHash<TrendChart *, double> highest;
    for (auto it = m_series.constBegin(); it != m_series.constEnd(); ++it) {
        if (!it.value()->isVisible())
            continue;
        TrendChart *chart = m_chartOf.value(it.key());
        QList<QPointF> points =
            m_recorder.points(columns.columnOf(it.key()), from, m_endMs, std::max(50, chart->plotWidth()));
        double &top = highest[chart];
        for (QPointF &p : points) {
            top = std::max(top, p.y());
            p.setX(chart->axisX(qint64(p.x())));
        }
        it.value()->replace(points);
    }
    for (int g = 0; g < m_charts.size(); ++g)
        if (groups()[g].highest <= 0)
            m_charts[g]->setValueRange(0, roundUp(highest.value(m_charts[g])));
    // the time axes one under the other, whatever width the value labels take
    int room = 0;
    for (TrendChart *chart : m_charts)
        room = std::max(room, chart->valueAxisWidth() + 4);
    for (TrendChart *chart : m_charts)
        chart->setValueAxisRoom(room);
    if (m_cursorMs < 0)
        showValues(-1);
    m_endLabel->setText(QStringLiteral("0 s = ") + QDateTime::fromMSecsSinceEpoch(m_endMs).toString(QStringLiteral("hh:mm:ss.zzz")));
    m_drawn = m_recorder.appended();
    // paint now, in the pause after a cycle, rather than while the next one waits for replies
    if (isVisible()) {
        for (TrendChart *chart : m_charts) {
            QCoreApplication::sendPostedEvents(chart->chart());
            QCoreApplication::sendPostedEvents(chart->scene());
            chart->viewport()->repaint();
        }
    }
}

void TrendWindow::showCursor(qint64 timeMs)
{
    m_cursorMs = timeMs;
    for (TrendChart *chart : m_charts)
        chart->setCursorTime(timeMs);
    showValues(timeMs);
}

void TrendWindow::showValues(qint64 timeMs)
{
    const auto &samples = m_recorder.samples();
    if (samples.empty()) {
        m_timeLabel->setText(QStringLiteral("No values recorded yet"));
        for (QLabel *label : std::as_const(m_values))
            label->clear();
        return;
    }
    size_t i = samples.size() - 1;
    if (timeMs >= 0) {
        // the sample nearest the cursor
        i = std::min(m_recorder.lowerBound(timeMs), samples.size() - 1);
        if (i > 0 && timeMs - samples[i - 1].timeMs < samples[i].timeMs - timeMs)
            --i;
    }
    const TrendRecorder::Sample &sample = samples[i];
    m_timeLabel->setText((timeMs >= 0 ? QStringLiteral("Cursor ") : QStringLiteral("Newest "))
                         + QDateTime::fromMSecsSinceEpoch(sample.timeMs).toString(QStringLiteral("hh:mm:ss.zzz")));
    const LiveColumns &columns = m_recorder.columns();
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it) {
        const int column = columns.columnOf(it.key());
        const double v = sample.values.value(column, std::nan(""));
        it.value()->setText(std::isnan(v) ? QStringLiteral("-")
                                          : QStringLiteral("%1 %2").arg(QString::number(v, 'f', 1), columns.unit(column)));
    }
}

bool TrendWindow::saveCsv()
{
    return exportFile(m_dialogs, m_messages, {QStringLiteral("Save CSV"), QStringLiteral("*.csv|*.csv"), QString(),
                                              QStringLiteral("trend.csv")},
                      [this] { return m_recorder.csv(); });
}

bool TrendWindow::savePng()
{
    return exportFile(m_dialogs, m_messages, {QStringLiteral("Save PNG"), QStringLiteral("*.png|*.png"), QString(),
                                              QStringLiteral("trend.png")},
                      [this] {
                          QByteArray png;
                          QBuffer buffer(&png);
                          buffer.open(QIODevice::WriteOnly);
                          m_chartArea->grab().save(&buffer, "PNG");
                          return png;
                      });
}
