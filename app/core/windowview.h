#pragma once

#include <QPoint>
#include <QRect>

// A window's place on screen.
class WindowView
{
public:
    virtual ~WindowView() = default;
    virtual QRect frameGeometry() const = 0;
    virtual void moveTo(const QPoint &topLeft) = 0;
};
