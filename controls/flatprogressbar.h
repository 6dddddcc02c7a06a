#pragma once

#include "tessera_global.h"

#include <QProgressBar>

// A progress bar drawn flat: the background in the palette's Base colour and
// the filled part, from the left, in its Highlight colour; no frame, no text.
// A bar moves on every step of a transfer or a monitor cycle, so it must cost
// far less than the serial word it reports on: its drawing is two filled
// rectangles, and a new value is drawn with the next pass of the event loop
// (which every caller lets run right after) instead of at once, as
// QProgressBar::setValue would, repainting the whole window's pending changes.
class TESSERA_EXPORT FlatProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    explicit FlatProgressBar(QWidget *parent = nullptr);

    // As QProgressBar::setValue, but the redraw waits for the event loop.
    void setValue(int value);

    // Width in pixels of the filled part for the current value.
    int filledWidth() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
