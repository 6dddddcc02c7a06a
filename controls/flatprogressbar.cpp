#include "flatprogressbar.h"

#include <QEvent>
#include <QPainter>

FlatProgressBar::FlatProgressBar(QWidget *parent) : QProgressBar(parent)
{
    setTextVisible(false);
    // every pixel is painted: nothing behind it needs drawing first
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FlatProgressBar::setValue(int value)
{
    if (value == this->value())
        return;
    if (!updatesEnabled()) {
        QProgressBar::setValue(value);
        return;
    }
    // with updates off the base class cannot paint at once; turning them on
    // again schedules the redraw
    setUpdatesEnabled(false);
    QProgressBar::setValue(value);
    setUpdatesEnabled(true);
}

int FlatProgressBar::filledWidth() const
{
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0)
        return 0;
    const qint64 done = qBound<qint64>(0, qint64(value()) - minimum(), span);
    return static_cast<int>(width() * done / span);
}

bool FlatProgressBar::event(QEvent *event)
{
    const bool handled = QProgressBar::event(event);
    // the style's polish takes the flag away again when the bar is first shown
    if (event->type() == QEvent::Polish)
        setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

void FlatProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int filled = filledWidth();
    painter.fillRect(QRect(filled, 0, width() - filled, height()), palette().color(QPalette::Base));
    if (filled > 0)
        painter.fillRect(QRect(0, 0, filled, height()), palette().color(QPalette::Highlight));
}
