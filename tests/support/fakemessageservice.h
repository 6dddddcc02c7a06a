#pragma once

#include "messageservice.h"

#include <QList>
#include <QString>
#include <deque>

// Records every message box and answers from a script (Ok/Yes by default).
class FakeMessageService : public MessageService
{
public:
    struct Shown
    {
        QString text;
        Buttons buttons;
        Icon icon;
        QString title;
    };

    Answer show(const QString &text, Buttons buttons, Icon icon, const QString &title) override
    {
        shown.append({text, buttons, icon, title});
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes : Answer::Ok;
    }

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }

    QList<Shown> shown;
    std::deque<Answer> answers;
};
