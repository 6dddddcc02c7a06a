#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class Session;

// The control unit's 32-bit key and production number, read and written by
// fixed address through the device link, without the page's widgets. It keeps
// what the unit is known to hold (the last value read or written), so that a
// failed access shows that rather than an empty box or a key never sent.
class KeyCommands
{
public:
    static constexpr int32_t KeyAddress = 88;
    static constexpr int32_t ProductionAddress = 92;
    static constexpr int WaitAfterRead = 500;

    enum class Field { ProductionNumber, Key };
    using ShowField = std::function<void(Field, const QString &)>;

    // `show` puts a text into the page's box for the field (none: nothing shown).
    explicit KeyCommands(Session &session, ShowField show = {});

    // "0x" and the value in hexadecimal without leading zeros.
    static QString hexText(int32_t value);
    // Eight hexadecimal digits after an optional "0x", as the 32-bit key.
    static bool parseKeyText(const QString &text, qint64 &key);

    // Read: both fields cleared, then each one shown as soon as it is read,
    // with a pause after each. A failed read still tries the other value,
    // shows what the unit is known to hold and then "Operation Failed :FAILED!".
    // `show`, when given, takes the fields of this read instead.
    bool readKey(const ShowField &show = {});

    // False (and nothing written) when the key text is refused or the user
    // says No; true when the unit took the key. A failed write shows the key
    // the unit is known to hold and "Operation Failed :FAILED!".
    bool writeKey(const QString &keyText);
    // The same for key 0, after the user said Yes to the question.
    bool lock();

    // The link was closed: the next unit may hold anything.
    void forgetKnownValues();

    static const QString FailedText;
    static const QString LockQuestion;

private:
    std::optional<int32_t> &known(Field field) { return field == Field::Key ? m_key : m_production; }
    // Reads one value into its box; false when the read failed.
    bool readField(const ShowField &show, Field field, int32_t address, int progress);
    // The box shows what the unit is known to hold (empty when nothing is).
    void showKnown(const ShowField &show, Field field);
    bool sendKey(qint64 key, const QString &action);
    bool askYes(const QString &question);
    void reportFailure();
    void setProgress(int value);

    Session &m_session;
    ShowField m_show;
    std::optional<int32_t> m_key;
    std::optional<int32_t> m_production;
};
