#pragma once

#include "messageservice.h"
#include "tessera_global.h"

// The real thing: a QMessageBox with the program's title.
class TESSERA_EXPORT DialogMessageService : public MessageService
{
public:
    explicit DialogMessageService(QString defaultTitle = QStringLiteral("KRV Studio"));
    Answer show(const QString &text, Buttons buttons, Icon icon, const QString &title) override;

private:
    QString m_defaultTitle;
};
