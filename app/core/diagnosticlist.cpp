#include "diagnosticlist.h"

#include "ansitext.h"
#include "messageservice.h"
#include "respaths.h"
#include "stringeval.h"
#include "vbnumber.h"

#include <algorithm>

namespace {

bool intField(const QString &text, int16_t &out)
{
    double v = 0;
    return VbNumber::parseNumber(text, v) && VbNumber::toInt16(v, out);
}

} // namespace

DiagnosticList::DiagnosticList(MessageService *messages) : m_messages(messages) {}

QString DiagnosticList::defaultPath()
{
    return ResPaths::res(QStringLiteral("ini/DiagnosticList.ini"));
}

bool DiagnosticList::Load()
{
    return Load(defaultPath());
}

void DiagnosticList::clear()
{
    for (auto &row : m_cells)
        for (auto &cell : row)
            cell.reset();
    m_rowCount = 0;
    m_distinctRows = 0;
}

const CDiagnosticData *DiagnosticList::cell(int row, int bit) const
{
    if (row < 0 || row >= RowSlots || bit < 0 || bit >= BitSlots)
        return nullptr;
    return m_cells[static_cast<size_t>(row)][static_cast<size_t>(bit)].get();
}

QString DiagnosticList::code(int row, int bit) const
{
    const CDiagnosticData *entry = cell(row, bit);
    return entry ? entry->Code : QString();
}

bool DiagnosticList::read(const QString &text)
{
    const QStringList lines = AnsiText::splitLines(text);
    if (lines.isEmpty())
        return false; // not even the header line
    std::array<bool, RowSlots> seen{};
    int highestRow = -1;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        QString line = lines[n];
        int16_t row = 0;
        int16_t bit = 0;
        int16_t number = 0;
        if (!intField(StringEval::NextTabField(line), row) || !intField(StringEval::NextTabField(line), bit)
            || !intField(StringEval::NextTabField(line), number))
            return false;
        if (row < 0 || row >= RowSlots || bit < 0 || bit >= BitSlots)
            return false;
        auto entry = std::make_unique<CDiagnosticData>();
        entry->Load(line);
        entry->EntryNumber = number;
        m_cells[static_cast<size_t>(row)][static_cast<size_t>(bit)] = std::move(entry);
        if (!seen[static_cast<size_t>(row)]) {
            seen[static_cast<size_t>(row)] = true;
            ++m_distinctRows;
        }
        // the highest row, not the last one: a list out of order still shows every row
        highestRow = std::max<int>(highestRow, row);
    }
    m_rowCount = highestRow + 1;
    return true;
}

bool DiagnosticList::Load(const QString &path)
{
    clear();
    QString text;
    return finishLoad(AnsiText::readFile(path, text) && read(text));
}

bool DiagnosticList::LoadBytes(const QByteArray &bytes)
{
    clear();
    return finishLoad(read(AnsiText::decode(bytes)));
}

bool DiagnosticList::finishLoad(bool good)
{
    if (good)
        return true;
    clear();
    if (m_messages)
        m_messages->show(QStringLiteral("'Diagnostic.ini' file NOT FOUND or CORRUPTED"),
                         MessageService::Buttons::Ok, MessageService::Icon::Critical);
    return false;
}
