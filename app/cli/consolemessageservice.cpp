#include "consolemessageservice.h"

MessageService::Answer ConsoleMessageService::show(const QString &text, Buttons buttons, Icon, const QString &)
{
    ++m_shown;
    m_last = text;
    // the program's texts end their lines with a bare CR
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_err << "krvctl: " << lines.trimmed() << Qt::endl;
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return assumeYes ? Answer::Yes : Answer::No;
    case Buttons::OkCancel:
        return assumeYes ? Answer::Ok : Answer::Cancel;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}
