#pragma once

#include "tessera_global.h"

#include <QString>

// Modal message boxes go through this seam so that tests can answer them.
class TESSERA_EXPORT MessageService
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageService() = default;
    virtual Answer show(const QString &text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                        const QString &title = QString()) = 0;
};

// The real thing: a QMessageBox with the program's title.
class TESSERA_EXPORT DialogMessageService : public MessageService
{
public:
    explicit DialogMessageService(QString defaultTitle = QStringLiteral("KRV Studio"));
    Answer show(const QString &text, Buttons buttons, Icon icon, const QString &title) override;

private:
    QString m_defaultTitle;
};
