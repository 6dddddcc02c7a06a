#include "lineeditbox.h"

#include "vbpalette.h"

#include <QLineEdit>

QString LineEditBox::text() const
{
    return m_edit->text();
}

void LineEditBox::setText(const QString &text)
{
    // setting the same text again would still redraw the box and move its
    // cursor; the indicators are set on every draw tick
    if (m_edit->text() != text)
        m_edit->setText(text);
}

void LineEditBox::setBackColor(uint32_t colour)
{
    VbColor::applyTo(m_edit, QPalette::Base, colour);
}

void LineEditBox::setSelection(int start, int length)
{
    m_edit->setSelection(start, length);
}
