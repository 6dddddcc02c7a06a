#include "linesegment.h"

#include "vbcolor.h"

#include <QPainter>

LineSegment::LineSegment(const QLine &line, QWidget *parent)
    : QWidget(parent), m_line(line), m_borderColor(VbColor::WindowText)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    place();
}

void LineSegment::setBorderColor(quint32 color)
{
    if (m_borderColor == color)
        return;
    m_borderColor = color;
    update();
}

void LineSegment::place()
{
    // The widget covers the line with room for the pen on every side.
    const int margin = (m_width + 1) / 2 + 1;
    const QRect box = QRect(m_line.p1(), m_line.p2()).normalized();
    setGeometry(box.adjusted(-margin, -margin, margin, margin));
}

void LineSegment::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette pal = palette();
    const QLine line = m_line.translated(-geometry().topLeft());
    // A thin edge keeps light colours visible on a light page.
    painter.setPen(QPen(pal.color(QPalette::Mid), m_width + 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(line);
    painter.setPen(QPen(VbColor::toQColor(m_borderColor, &pal), m_width, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(line);
}
