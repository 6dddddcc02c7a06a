#pragma once

#include "tessera_global.h"

#include <QWidget>

// A plain painted rectangle: the lamps of the diagnostic row and the focus
// frame of the bar monitor. Colours are colour values (see vbcolor.h), resolved
// against the widget's palette when painted so system colours follow it.
class TESSERA_EXPORT ShapeWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ShapeWidget(QWidget *parent = nullptr);

    quint32 fillColor() const { return m_fillColor; }
    void setFillColor(quint32 color);

    // A shape without fill shows only its border.
    bool isFilled() const { return m_filled; }
    void setFilled(bool filled);

    quint32 borderColor() const { return m_borderColor; }
    void setBorderColor(quint32 color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    quint32 m_fillColor;
    quint32 m_borderColor;
    bool m_filled = true;
};
