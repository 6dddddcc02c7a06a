#pragma once

#include "waitwindow.h"

#include <QTextStream>

// The wait window on a terminal: one line on the error stream rewritten in
// place, cleared at 100. Silent unless enabled (not a terminal).
class ConsoleWaitWindow : public WaitWindow
{
public:
    explicit ConsoleWaitWindow(QTextStream &err) : m_err(err) {}
    void DrawWaitBar(int16_t progressValue, const QString &msgText = QString()) override;

    bool enabled = false;

private:
    QTextStream &m_err;
    int m_last = -1;
};
