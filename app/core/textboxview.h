#pragma once

#include <QString>
#include <cstdint>

// A text box of a page, as far as the shared routines use it.
class TextBoxView
{
public:
    virtual ~TextBoxView() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    // Colour as 0x00BBGGRR; system colours carry the top bit (0x8000000F button face).
    virtual void setBackColor(uint32_t colour) = 0;
    virtual void setSelection(int start, int length) = 0;
};
