#include "numberkeys.h"

#include <QKeyEvent>
#include <QKeySequence>

bool NumberKeys::accepts(const QKeyEvent &key)
{
    // Shortcuts that leave the text a number; paste could bring in anything.
    if (key.matches(QKeySequence::SelectAll) || key.matches(QKeySequence::Copy) || key.matches(QKeySequence::Cut))
        return true;
    const QString text = key.text();
    if (text.isEmpty())
        return true;
    switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    if (text.size() != 1)
        return false;
    const QChar c = text.at(0);
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}
