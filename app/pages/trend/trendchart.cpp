#include "trendchart.h"

#include <QGraphicsLineItem>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>
#include <QWheelEvent>

TrendChart::TrendChart(const QString &title, const QString &unit, QWidget *parent)
    : QChartView(new QChart, parent), m_time(new QValueAxis), m_values(new QValueAxis)
{
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(true);
    setMinimumHeight(150);
    QChart *c = chart();
    c->setTitle(title);
    c->legend()->hide();
    c->setMargins(QMargins(4, 2, 8, 2));
    c->setBackgroundRoundness(0);
    // no animation: the view follows the live data at once
    c->setAnimationOptions(QChart::NoAnimation);
    // seconds back from the view's end: the axis stays put while the view
    // moves on, so a live redraw moves the lines and lays out nothing
    m_time->setTickCount(7);
    m_time->setTitleText(QStringLiteral("s"));
    m_values->setTitleText(unit);
    m_values->setLabelFormat(QStringLiteral("%.0f"));
    c->addAxis(m_time, Qt::AlignBottom);
    c->addAxis(m_values, Qt::AlignLeft);
    m_cursor = new QGraphicsLineItem(c);
    m_cursor->setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
    m_cursor->setZValue(20);
    m_cursor->hide();
}

double TrendChart::axisX(qint64 timeMs) const
{
    return double(timeMs - m_toMs) / 1000.0;
}

QLineSeries *TrendChart::addSeries(const QString &name, const QColor &colour)
{
    auto *series = new QLineSeries;
    series->setName(name);
    // a thin cosmetic pen draws fastest
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    series->setPen(pen);
    chart()->addSeries(series);
    series->attachAxis(m_time);
    series->attachAxis(m_values);
    return series;
}

void TrendChart::setTimeRange(qint64 fromMs, qint64 toMs)
{
    if (fromMs == m_fromMs && toMs == m_toMs)
        return;
    if (toMs - fromMs != m_toMs - m_fromMs) {
        const double seconds = double(toMs - fromMs) / 1000.0;
        m_time->setLabelFormat(seconds < 12 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
        m_time->setRange(-seconds, 0);
    }
    m_fromMs = fromMs;
    m_toMs = toMs;
    placeCursor();
}

void TrendChart::setValueRange(double low, double high)
{
    if (low != m_values->min() || high != m_values->max())
        m_values->setRange(low, high);
}

void TrendChart::setValueTicks(int count)
{
    m_values->setTickCount(count);
}

void TrendChart::setCursorTime(qint64 timeMs)
{
    m_cursorMs = timeMs;
    placeCursor();
}

int TrendChart::valueAxisWidth() const
{
    return int(chart()->plotArea().left()) - chart()->margins().left();
}

void TrendChart::setValueAxisRoom(int width)
{
    QMargins margins = chart()->margins();
    const int left = std::max(4, width - valueAxisWidth());
    if (left != margins.left()) {
        margins.setLeft(left);
        chart()->setMargins(margins);
    }
}

int TrendChart::plotWidth() const
{
    return int(chart()->plotArea().width());
}

void TrendChart::placeCursor()
{
    const QRectF area = chart()->plotArea();
    if (m_cursorMs < m_fromMs || m_cursorMs > m_toMs || area.width() <= 0) {
        m_cursor->hide();
        return;
    }
    const double x = area.left() + area.width() * double(m_cursorMs - m_fromMs) / double(m_toMs - m_fromMs);
    m_cursor->setLine(x, area.top(), x, area.bottom());
    m_cursor->show();
}

qint64 TrendChart::timeAt(const QPointF &viewPos) const
{
    const QRectF area = chart()->plotArea();
    const QPointF scenePos = mapToScene(viewPos.toPoint());
    const double share = area.width() > 0 ? (scenePos.x() - area.left()) / area.width() : 0.0;
    return m_fromMs + qint64(share * double(m_toMs - m_fromMs));
}

void TrendChart::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        emit zoomRequested(steps > 0 ? 1.0 / 1.25 : 1.25, timeAt(event->position()));
    event->accept();
}

void TrendChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragX = event->position().x();
        setCursor(Qt::ClosedHandCursor);
    }
    event->accept();
}

void TrendChart::mouseMoveEvent(QMouseEvent *event)
{
    const QRectF area = chart()->plotArea();
    if (m_dragging && area.width() > 0) {
        const double dx = event->position().x() - m_dragX;
        const auto delta = qint64(-dx / area.width() * double(m_toMs - m_fromMs));
        if (delta != 0) {
            m_dragX = event->position().x();
            emit panRequested(delta);
        }
    }
    const QPointF scenePos = mapToScene(event->position().toPoint());
    if (area.contains(scenePos))
        emit cursorMoved(timeAt(event->position()));
    else
        emit cursorLeft();
    event->accept();
}

void TrendChart::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    unsetCursor();
    event->accept();
}

void TrendChart::leaveEvent(QEvent *event)
{
    emit cursorLeft();
    QChartView::leaveEvent(event);
}

void TrendChart::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    placeCursor();
}
