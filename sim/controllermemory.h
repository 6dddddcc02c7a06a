#pragma once

#include "framecodec.h"
#include "krvid.h"

#include <QString>
#include <chrono>
#include <map>
#include <optional>
#include <vector>

class Catalogue;
class MachineModel;

// The controller's memory as the link sees it: a 24-bit byte address space of
// 16-bit words. The variable list gives the words and their defaults: EEPROM
// parameters (page domain bit 0) are kept in a file and survive a restart,
// the rest is RAM. Beside them live the 32-bit key and production number, the
// LOAD command word and the reset marker. A 32-bit value at address X is the
// word at X (low half) and the word at X + 2 (high half).
class ControllerMemory
{
public:
    static constexpr uint32_t KeyAddress = 88;
    static constexpr uint32_t ProductionAddress = 92;
    static constexpr uint32_t LoadAddress = 1024;
    static constexpr uint32_t LoadCode = 1145130828;   // "LOAD"
    static constexpr uint32_t MarkerAddresses[5] = {0xFDEA00, 0xFDEC00, 0xFDEE00, 0xFDF000, 0xFDF200};

    struct Result
    {
        bool ok = true;
        FrameCodec::Error error = FrameCodec::Error::NoSuchAddress;
        uint32_t value = 0;
        std::vector<uint16_t> words;   // a block read
        uint8_t index = 0;             // a failed block: the first word refused
    };

    ControllerMemory(const Catalogue &catalogue, uint16_t softwareVersion, uint32_t productionNumber);

    void setLiveValues(MachineModel *model) { m_model = model; }

    // Loads the EEPROM file; a file that does not exist yet starts from the
    // defaults and is written at once. An empty path keeps the EEPROM in memory.
    bool attachEeprom(const QString &path, QString *error);

    Result readWord(uint32_t address, std::chrono::steady_clock::time_point now);
    Result writeWord(uint32_t address, uint16_t value);
    Result readLong(uint32_t address, std::chrono::steady_clock::time_point now);
    Result writeLong(uint32_t address, uint32_t value);
    // A run of consecutive words. Unused words inside the EEPROM and RAM areas
    // read as 0, so a reader may bridge a short gap. A block write checks every
    // word first and changes nothing unless all of them can be written.
    Result readBlock(uint32_t address, int count, std::chrono::steady_clock::time_point now);
    Result writeBlock(uint32_t address, const std::vector<uint16_t> &words);

    // Raw word of a well-known variable (0 when the list lacks it).
    int32_t word(KrvId id) const;
    bool resetMarker() const { return m_marker; }

    // Error words raised by name (identifier or list name); words raised
    // before and not named now drop back to 0. Unknown names are returned.
    QStringList setFaults(const std::map<QString, int> &faults);

    // Power off and on: RAM back to its initial values, the reset marker gone.
    void powerCycle();

    // Why the last EEPROM save failed, if it did.
    QString saveError() const { return m_saveError; }

private:
    enum class Kind { Eeprom, Ram, ReadOnly, Live, Marker, Command };
    struct Cell
    {
        Kind kind;
        uint16_t value;
        uint16_t initial;
        int index;   // catalogue index, 0 for the special words
    };

    void addCell(uint32_t address, Kind kind, uint16_t value, int index);
    Result fail(FrameCodec::Error e) const;
    // Sets a writable word as the controller takes it.
    void store(Cell &c, uint16_t value);
    // Why a word cannot be written, if it cannot.
    std::optional<FrameCodec::Error> blockWriteRefusal(uint32_t address) const;
    // LOAD: every parameter back to its default; false (nothing changed) when
    // the EEPROM cannot be written.
    bool restoreDefaults();
    bool saveEeprom();
    bool loadEeprom(const QString &text);

    const Catalogue &m_catalogue;
    MachineModel *m_model = nullptr;
    std::map<uint32_t, Cell> m_cells;
    std::map<uint32_t, int> m_raised;   // fault words currently raised
    QString m_eepromPath;
    QString m_saveError;
    bool m_marker = false;
};
