#pragma once

#include <QHash>
#include <QMetaObject>
#include <cstdint>
#include <optional>

class ConnectionState;

// What the connected control unit is known to hold: the words last read from
// it or written into it, by address. A loaded file changes the program's
// values, never these; the preview before a write and the history's old values
// compare with them. Forgotten when the link closes: the next unit may be
// another one.
class UnitWords
{
public:
    explicit UnitWords(ConnectionState &state);
    ~UnitWords();
    UnitWords(const UnitWords &) = delete;
    UnitWords &operator=(const UnitWords &) = delete;

    // The unit holds this word at the address (read from it or written into it).
    void holds(int32_t address, int32_t value) { m_words.insert(address, value); }
    // A write whose arrival is not known: the unit may hold either word.
    void mayHold(int32_t address) { m_words.remove(address); }
    // The word at the address; none when it was not read or written since the
    // link opened.
    std::optional<int32_t> word(int32_t address) const
    {
        const auto known = m_words.constFind(address);
        return known == m_words.cend() ? std::nullopt : std::optional<int32_t>(*known);
    }
    void forget() { m_words.clear(); }

private:
    QHash<int32_t, int32_t> m_words;
    QMetaObject::Connection m_linkClosed;
};
