#pragma once

#include "textboxview.h"

// A text box of the main window (TxtConnect, TxtPar) that records what it shows.
class FakeTextBox : public TextBoxView
{
public:
    QString text() const override { return value; }
    void setText(const QString &t) override { value = t; }
    void setBackColor(uint32_t c) override { colour = c; }
    void setSelection(int start, int length) override
    {
        selStart = start;
        selLength = length;
    }

    QString value;
    uint32_t colour = 0;
    int selStart = -1;
    int selLength = -1;
};
