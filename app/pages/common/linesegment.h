#pragma once

#include <QLine>
#include <QWidget>

// One straight line drawn on a page between two points of its parent, in a
// colour value (see vbcolor.h). Pages join the pictures of their drawings
// with these; a widget of its own per segment lets each be shown, hidden and
// coloured like any other control.
class LineSegment : public QWidget
{
    Q_OBJECT
public:
    static constexpr int DefaultWidth = 3;

    LineSegment(const QLine &line, QWidget *parent = nullptr);

    QLine line() const { return m_line; }

    quint32 borderColor() const { return m_borderColor; }
    void setBorderColor(quint32 color);

    int borderWidth() const { return m_width; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    QLine m_line;
    quint32 m_borderColor;
    int m_width = DefaultWidth;
};
