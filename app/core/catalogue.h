#pragma once

#include "cvardata.h"
#include "krvid.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class MessageService;

// The program's model of the controller's memory: entries in slots 1 to 250
// loaded from Ramlist.ini, and the identifier table of well-known names.
class Catalogue
{
public:
    static constexpr int MaxEntries = 250;

    explicit Catalogue(MessageService *messages = nullptr);
    ~Catalogue();
    Catalogue(const Catalogue &) = delete;
    Catalogue &operator=(const Catalogue &) = delete;

    std::array<std::unique_ptr<CVarData>, MaxEntries + 1> VarList;
    int16_t VarCount = 0;       // one more than the highest filled slot; 0 when empty
    bool ConfigSaved = true;    // no display value edited since the last load, save or read
    std::array<int16_t, KRV_ID_COUNT> ids{};

    // Loads the list; on failure shows the message, leaves VarCount 0 and returns false.
    bool LoadRamList(const QString &path);
    void ClearVarList();
    void SetVarID(const QString &symbolicName, int16_t index);

    // The default list beside the program.
    static QString defaultRamListPath();

    // Entry at a catalogue index, or nullptr outside 1 .. VarCount-1.
    CVarData *entry(int index) const;
    CVarDataS *data(int index) const;
    // Entry that carries a well-known name, or nullptr when the list lacks it.
    CVarData *entry(KrvId id) const { return entry(ids[id]); }
    CVarDataS *data(KrvId id) const { return data(ids[id]); }
    int16_t index(KrvId id) const { return ids[id]; }

    void setMessageService(MessageService *messages) { m_messages = messages; }

private:
    bool loadLines(const QString &path);

    MessageService *m_messages;
};
