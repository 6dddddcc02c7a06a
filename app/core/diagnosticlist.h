#pragma once

#include "cdiagnosticdata.h"

#include <QString>
#include <array>
#include <memory>

class MessageService;

// The descriptions of the controller's error bits from DiagnosticList.ini:
// one cell per (row, bit), row = error word 0 .. 10, bit 0 .. 8.
class DiagnosticList
{
public:
    static constexpr int RowSlots = 11;
    static constexpr int BitSlots = 9;

    explicit DiagnosticList(MessageService *messages = nullptr);

    // Reads the list; on a failure shows the message, leaves the table empty
    // (row count 0) and returns false.
    bool Load(const QString &path);
    bool Load(); // the list beside the program
    // The same for the list's bytes.
    bool LoadBytes(const QByteArray &bytes);
    static QString defaultPath();

    // One more than the highest row index read; 0 for an empty list.
    int rowCount() const { return m_rowCount; }
    // Number of different row indexes in the file.
    int distinctRows() const { return m_distinctRows; }

    // The entry of a cell, or nullptr when the cell is empty or outside the table.
    const CDiagnosticData *cell(int row, int bit) const;
    // Code text of a cell; empty for an empty cell.
    QString code(int row, int bit) const;

    void clear();
    void setMessageService(MessageService *messages) { m_messages = messages; }

private:
    bool read(const QString &text);
    // Keeps a good read, or empties the table and says so.
    bool finishLoad(bool good);

    std::array<std::array<std::unique_ptr<CDiagnosticData>, BitSlots>, RowSlots> m_cells;
    int m_rowCount = 0;
    int m_distinctRows = 0;
    MessageService *m_messages;
};
