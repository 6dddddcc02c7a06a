#include "consolewaitwindow.h"

void ConsoleWaitWindow::DrawWaitBar(int16_t progressValue, const QString &msgText)
{
    if (!enabled || progressValue == m_last)
        return;
    m_last = progressValue;
    if (progressValue >= 100) {
        m_err << "\r\033[K" << Qt::flush;
        m_last = -1;
        return;
    }
    m_err << "\r" << msgText << ' ' << progressValue << '%' << Qt::flush;
}
