#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class Session;

// The control unit's 32-bit key and production number, read and written by
// fixed address through the device link, without the page's widgets.
class KeyCommands
{
public:
    static constexpr int32_t KeyAddress = 88;
    static constexpr int32_t ProductionAddress = 92;
    static constexpr int WaitAfterRead = 500;

    explicit KeyCommands(Session &session);

    // "0x" and the value in hexadecimal without leading zeros.
    static QString hexText(int32_t value);
    // Eight hexadecimal digits after an optional "0x", as the number the link
    // is given (each group of four read as a signed word, see HexTextToNumber).
    static bool parseKeyText(const QString &text, qint64 &key);

    enum class Field { ProductionNumber, Key };
    using ShowField = std::function<void(Field, const QString &)>;

    // Read: both fields cleared, then each one shown as soon as it is read
    // (a failed read leaves it empty), with a pause after each.
    void readKey(const ShowField &show);

    // False (and nothing written) when the key text is refused or the user
    // says No; true when the unit took the key.
    bool writeKey(const QString &keyText);
    bool lock();

private:
    void setProgress(int value);

    Session &m_session;
};
