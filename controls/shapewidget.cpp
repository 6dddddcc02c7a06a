#include "shapewidget.h"

#include "vbcolor.h"

#include <QPainter>

ShapeWidget::ShapeWidget(QWidget *parent)
    : QWidget(parent), m_fillColor(VbColor::WindowBackground), m_borderColor(VbColor::WindowText)
{
}

void ShapeWidget::setFillColor(quint32 color)
{
    if (m_fillColor == color)
        return;
    m_fillColor = color;
    update();
}

void ShapeWidget::setFilled(bool filled)
{
    if (m_filled == filled)
        return;
    m_filled = filled;
    update();
}

void ShapeWidget::setBorderColor(quint32 color)
{
    if (m_borderColor == color)
        return;
    m_borderColor = color;
    update();
}

QSize ShapeWidget::sizeHint() const
{
    return QSize(12, 12);
}

void ShapeWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette pal = palette();
    painter.setPen(QPen(VbColor::toQColor(m_borderColor, &pal), 1));
    painter.setBrush(m_filled ? QBrush(VbColor::toQColor(m_fillColor, &pal)) : QBrush(Qt::NoBrush));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
