#pragma once

#include "messageservice.h"

#include <QString>

// The LOAD command restores every parameter of the control unit to its
// default: the user confirms it first. Without a way to ask, nothing is sent.
inline bool confirmReset(MessageService *messages)
{
    return messages
        && messages->show(QStringLiteral("Restore every parameter of the control unit to its default values?"),
                          MessageService::Buttons::YesNo, MessageService::Icon::Question)
               == MessageService::Answer::Yes;
}
