#pragma once

#include "tesseracore_global.h"

#include <QString>

// Modal message boxes go through this seam so that tests can answer them.
class TESSERACORE_EXPORT MessageService
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageService() = default;
    virtual Answer show(const QString &text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                        const QString &title = QString()) = 0;
};
