#pragma once

#include "textboxview.h"

class QLineEdit;

// A line edit as the core's shared routines address a text box.
class LineEditBox : public TextBoxView
{
public:
    explicit LineEditBox(QLineEdit *edit) : m_edit(edit) {}

    QString text() const override;
    void setText(const QString &text) override;
    void setBackColor(uint32_t colour) override;
    void setSelection(int start, int length) override;

    QLineEdit *edit() const { return m_edit; }

private:
    QLineEdit *m_edit;
};
