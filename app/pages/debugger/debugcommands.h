#pragma once

#include <QString>
#include <array>
#include <cstdint>

class Session;

// What the debugger page does with the controller, without its widgets: the
// single-word commands, one monitor read, the dither settings and the LOAD
// command, each with the connection state, status text and catalogue updates
// that go with it. Failures are shown here; the page only shows results.
class DebugCommands
{
public:
    enum class Column { E2, Ram };

    // The dither rows in page order: amplitude, amplitude %, frequency.
    static constexpr int DitherRows = 3;
    using DitherValues = std::array<int32_t, DitherRows>;

    explicit DebugCommands(Session &session);

    // Input checks: false after telling the user why; nothing is sent then.
    bool checkAddress(const QString &text, int32_t &address) const;
    // The catalogue index of the first variable at the address; 0 (after
    // telling the user) when the list has none there.
    int variableAt(int32_t address) const;
    bool checkValue(const QString &text, int32_t &value) const;

    // A fresh link for the command; false when it cannot be opened.
    bool connect();

    // READ (EEPROM column) and DISPLAY (RAM column): the word at the address,
    // stored into catalogue entry `index` (0: none) on success.
    bool readWord(int32_t address, int index, Column column, int32_t &value);
    // WRITE (`eeprom`: both columns) and SET (RAM column only).
    bool writeWord(int32_t address, int index, int32_t value, bool eeprom);

    // One read of the monitor into the RAM column. A failure ends the
    // monitoring: the caller stops its timer.
    bool monitorRead(int32_t address, int index, int32_t &value);
    // The monitor is over: status text and progress back to rest.
    void monitorStopped();

    // Engineering value of entry `index` for a column: empty when the entry has no unit.
    QString engineeringText(int index, Column column) const;

    // Asks before the LOAD command: true when the user said Yes.
    bool confirmReset() const;
    // The LOAD command: true when the controller took it (the link is then closed).
    bool reset();

    bool readDither(DitherValues &values);
    // Writes the three settings, then 1 to KRV_DITHER_UPDATE.
    bool updateDither(const DitherValues &values);
    // Catalogue index of a row's variable (0 when the list lacks it).
    int ditherIndex(int row) const;

    int progress() const { return m_progress; }

private:
    void begin(const QString &statusText);
    void statusRefresh();
    void finish();
    void failed(const QString &error);
    void store(int index, int32_t value, Column column);

    Session &m_session;
    int m_progress = 0;
};
