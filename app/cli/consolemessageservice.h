#pragma once

#include "messageservice.h"

#include <QTextStream>

// Message boxes on a console: the text goes to the error stream; a question
// is answered Yes only when the user confirmed beforehand (--yes).
class ConsoleMessageService : public MessageService
{
public:
    explicit ConsoleMessageService(QTextStream &err) : m_err(err) {}
    Answer show(const QString &text, Buttons buttons, Icon icon, const QString &title) override;

    bool assumeYes = false;
    // How many messages were shown so far; callers compare before and after a step.
    int shownCount() const { return m_shown; }
    QString lastText() const { return m_last; }

private:
    QTextStream &m_err;
    int m_shown = 0;
    QString m_last;
};
