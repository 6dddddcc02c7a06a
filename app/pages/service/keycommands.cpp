#include "keycommands.h"

#include "devlink.h"
#include "mainwindowview.h"
#include "messageservice.h"
#include "progressbarview.h"
#include "session.h"

#include <QRegularExpression>

namespace {
constexpr int16_t ValueSize = 4;
}

KeyCommands::KeyCommands(Session &session) : m_session(session) {}

QString KeyCommands::hexText(int32_t value)
{
    return QStringLiteral("0x") + QString::number(static_cast<uint32_t>(value), 16).toUpper();
}

bool KeyCommands::parseKeyText(const QString &text, qint64 &key)
{
    static const QRegularExpression form(QStringLiteral("^(0[xX])?([0-9A-Fa-f]{8})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    // The key is the 32-bit pattern typed, sent as a signed long: reading the
    // digits in signed groups of four would write 0x12338000 for 0x12348000.
    key = static_cast<int32_t>(match.captured(2).toUInt(nullptr, 16));
    return true;
}

void KeyCommands::setProgress(int value)
{
    // The bar shows at once; the status refresh takes the same value.
    m_session.ProgressPercent = static_cast<int16_t>(value);
    if (m_session.mainWindow)
        m_session.mainWindow->progressBar().setValue(value);
}

void KeyCommands::readKey(const ShowField &show)
{
    show(Field::ProductionNumber, QString());
    show(Field::Key, QString());

    int32_t value = 0;
    if (m_session.devLink.ReadValue(ProductionAddress, value, ValueSize) == 0) {
        setProgress(50);
        show(Field::ProductionNumber, hexText(value));
        DevLink::WaitMs(WaitAfterRead);
    }
    if (m_session.devLink.ReadValue(KeyAddress, value, ValueSize) == 0) {
        setProgress(100);
        m_session.draw.UpdateStatusBar(m_session.StatusText);
        show(Field::Key, hexText(value));
        DevLink::WaitMs(WaitAfterRead);
    }
    setProgress(0);
}

bool KeyCommands::writeKey(const QString &keyText)
{
    MessageService *messages = m_session.messages;
    qint64 key = 0;
    if (!parseKeyText(keyText, key)) {
        // A typo must not become key 0, which would lock the unit.
        if (messages)
            messages->show(QStringLiteral("Key Not Valid : '") + keyText
                               + QStringLiteral("'\rEnter eight hexadecimal digits, as 0x12345678."),
                           MessageService::Buttons::Ok, MessageService::Icon::Warning);
        return false;
    }
    if (messages
        && messages->show(QStringLiteral("Write a new Key, Are yoy sure?"), MessageService::Buttons::YesNo,
                          MessageService::Icon::Information)
               != MessageService::Answer::Yes)
        return false;
    if (m_session.devLink.WriteLong(KeyAddress, QString::number(key)) != 0)
        return false;
    if (messages)
        messages->show(QStringLiteral("Write Done!"), MessageService::Buttons::Ok, MessageService::Icon::Warning);
    return true;
}

bool KeyCommands::lock()
{
    if (m_session.devLink.WriteLong(KeyAddress, QStringLiteral("0")) != 0)
        return false;
    if (m_session.messages)
        m_session.messages->show(QStringLiteral("Control unit Locked!"), MessageService::Buttons::Ok,
                                 MessageService::Icon::Warning);
    return true;
}
