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

const QString KeyCommands::FailedText = QStringLiteral("Operation Failed :FAILED!");
const QString KeyCommands::LockQuestion = QStringLiteral("Lock the control unit, Are you sure?");

KeyCommands::KeyCommands(Session &session, ShowField show) : m_session(session), m_show(std::move(show)) {}

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

void KeyCommands::showKnown(const ShowField &show, Field field)
{
    const std::optional<int32_t> &value = known(field);
    if (show)
        show(field, value ? hexText(*value) : QString());
}

void KeyCommands::reportFailure()
{
    if (m_session.messages)
        m_session.messages->show(FailedText, MessageService::Buttons::Ok, MessageService::Icon::None);
}

bool KeyCommands::askYes(const QString &question)
{
    return !m_session.messages
           || m_session.messages->show(question, MessageService::Buttons::YesNo, MessageService::Icon::Information)
                  == MessageService::Answer::Yes;
}

bool KeyCommands::readField(const ShowField &show, Field field, int32_t address, int progress)
{
    int32_t value = 0;
    if (m_session.devLink.ReadValue(address, value, ValueSize) != 0) {
        showKnown(show, field);
        return false;
    }
    known(field) = value;
    if (field == Field::ProductionNumber)
        m_session.history.productionNumberRead(value);
    setProgress(progress);
    if (field == Field::Key)
        m_session.draw.UpdateStatusBar(m_session.StatusText);
    showKnown(show, field);
    DevLink::WaitMs(WaitAfterRead);
    return true;
}

bool KeyCommands::readKey(const ShowField &show)
{
    const ShowField &boxes = show ? show : m_show;
    if (boxes) {
        boxes(Field::ProductionNumber, QString());
        boxes(Field::Key, QString());
    }
    const bool production = readField(boxes, Field::ProductionNumber, ProductionAddress, 50);
    const bool key = readField(boxes, Field::Key, KeyAddress, 100);
    setProgress(0);
    if (production && key)
        return true;
    reportFailure();
    return false;
}

bool KeyCommands::sendKey(qint64 key, const QString &action)
{
    const bool sent = m_session.devLink.WriteLong(KeyAddress, QString::number(key)) == 0;
    m_session.history.recordValue(action, QStringLiteral("Key"), m_key ? hexText(*m_key) : QString(),
                                  hexText(static_cast<int32_t>(key)), sent);
    if (!sent) {
        // the unit did not confirm the key: it holds what it held before
        showKnown(m_show, Field::Key);
        reportFailure();
        return false;
    }
    known(Field::Key) = static_cast<int32_t>(key);
    showKnown(m_show, Field::Key);
    return true;
}

bool KeyCommands::writeKey(const QString &keyText)
{
    qint64 key = 0;
    if (!parseKeyText(keyText, key)) {
        // A typo must not become key 0, which would lock the unit.
        if (m_session.messages)
            m_session.messages->show(QStringLiteral("Key Not Valid : '") + keyText
                                         + QStringLiteral("'\rEnter eight hexadecimal digits, as 0x12345678."),
                                     MessageService::Buttons::Ok, MessageService::Icon::Warning);
        return false;
    }
    if (!askYes(QStringLiteral("Write a new Key, Are yoy sure?")) || !sendKey(key, HistoryRecorder::KeyWriteAction))
        return false;
    if (m_session.messages)
        m_session.messages->show(QStringLiteral("Write Done!"), MessageService::Buttons::Ok,
                                 MessageService::Icon::Warning);
    return true;
}

bool KeyCommands::lock()
{
    // key 0 locks the unit: nothing works on it until the key is written again
    if (!askYes(LockQuestion) || !sendKey(0, HistoryRecorder::LockAction))
        return false;
    if (m_session.messages)
        m_session.messages->show(QStringLiteral("Control unit Locked!"), MessageService::Buttons::Ok,
                                 MessageService::Icon::Warning);
    return true;
}

void KeyCommands::forgetKnownValues()
{
    m_key.reset();
    m_production.reset();
}
