#pragma once

#include <QChartView>
#include <QList>

class QGraphicsLineItem;
class QLineSeries;
class QValueAxis;

// One chart of the trend window: a group of series with the same unit over a
// time axis in seconds back from the view's end. The mouse wheel asks for a zoom, dragging for a pan, hovering
// moves the cursor line; the window decides and sets the ranges.
class TrendChart : public QChartView
{
    Q_OBJECT
public:
    TrendChart(const QString &title, const QString &unit, QWidget *parent = nullptr);

    QLineSeries *addSeries(const QString &name, const QColor &colour);
    // The time the view shows; the axis reads in seconds back from its end.
    void setTimeRange(qint64 fromMs, qint64 toMs);
    // Where a time lies on the time axis (seconds, 0 at the view's end).
    double axisX(qint64 timeMs) const;
    void setValueRange(double low, double high);
    void setValueTicks(int count);
    // The vertical cursor line at a time; a negative time hides it.
    void setCursorTime(qint64 timeMs);
    // Room for the value axis left of the plot area, in pixels.
    int valueAxisWidth() const;
    // Widens the left margin so the plot area starts `width` from the left.
    void setValueAxisRoom(int width);
    // Width of the plot area in pixels: about one point a pixel is enough.
    int plotWidth() const;

signals:
    // factor > 1 widens the span; anchorMs stays where it is on screen.
    void zoomRequested(double factor, qint64 anchorMs);
    // Move the view's end by so many milliseconds (negative: back in time).
    void panRequested(qint64 deltaMs);
    void cursorMoved(qint64 timeMs);
    void cursorLeft();

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    qint64 timeAt(const QPointF &viewPos) const;
    void placeCursor();

    QValueAxis *m_time;
    QValueAxis *m_values;
    QGraphicsLineItem *m_cursor;
    qint64 m_fromMs = 0;
    qint64 m_toMs = 1;
    qint64 m_cursorMs = -1;
    bool m_dragging = false;
    double m_dragX = 0;
};
