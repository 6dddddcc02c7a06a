#pragma once

#include "cvardata.h"
#include "krvid.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

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
    // The same for the list's bytes; `name` stands for the file in the problem text.
    bool LoadRamListBytes(const QByteArray &bytes, const QString &name);
    void ClearVarList();
    void SetVarID(const QString &symbolicName, int16_t index);

    // Why the list cannot be worked with: its path and the first bad line
    // ("<path>, line 37: column 6 is not ..."), or "" when it loaded with at
    // least one variable. A list with no variables is as good as none.
    QString listProblem() const;
    bool usable() const { return listProblem().isEmpty(); }
    // The text a command shows when it refuses to work without a usable list.
    QString refusalText() const;

    // The EEPROM-side values of every entry (controller, download and display
    // value), to put back when a transfer stops midway.
    struct E2Values
    {
        int32_t qel = 0;
        int32_t download = 0;
        int32_t display = 0;
    };
    using E2Snapshot = std::vector<E2Values>;
    E2Snapshot saveE2Values() const;
    void restoreE2Values(const E2Snapshot &snapshot);

    // The default list beside the program.
    static QString defaultRamListPath();

    // Entry at a catalogue index, or nullptr outside 1 .. VarCount-1.
    CVarData *entry(int index) const;
    CVarDataS *data(int index) const;
    // Entry that carries a well-known name, or nullptr when the list lacks it.
    CVarData *entry(KrvId id) const { return entry(ids[id]); }
    CVarDataS *data(KrvId id) const { return data(ids[id]); }
    int16_t index(KrvId id) const { return ids[id]; }
    // The first entry at a controller address, 0 when none is.
    int indexAt(int32_t address) const;

    void setMessageService(MessageService *messages) { m_messages = messages; }

private:
    // The load itself; "" or the reason it failed (the first bad line).
    QString loadLines(const QString &text);
    // Keeps a good load, or empties the list and says why it failed.
    bool finishLoad(const QString &problem, const QString &name);

    MessageService *m_messages;
    QString m_listProblem = QStringLiteral("no variable list loaded");
};
