#include "controllermemory.h"

#include "catalogue.h"
#include "machinemodel.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

using namespace FrameCodec;

namespace {

const uint16_t MarkerWords[5] = {82, 69, 83, 69, 84};   // R E S E T

} // namespace

ControllerMemory::ControllerMemory(const Catalogue &catalogue, uint16_t softwareVersion, uint32_t productionNumber)
    : m_catalogue(catalogue)
{
    addCell(KeyAddress, Kind::Eeprom, 0, 0);
    addCell(KeyAddress + 2, Kind::Eeprom, 0, 0);
    addCell(ProductionAddress, Kind::ReadOnly, static_cast<uint16_t>(productionNumber & 0xFFFF), 0);
    addCell(ProductionAddress + 2, Kind::ReadOnly, static_cast<uint16_t>(productionNumber >> 16), 0);
    addCell(LoadAddress, Kind::Command, 0, 0);
    addCell(LoadAddress + 2, Kind::Command, 0, 0);
    for (uint32_t a : MarkerAddresses)
        addCell(a, Kind::Marker, 0, 0);

    const int version = catalogue.index(KRV_PROG_VERS);
    for (int i = 1; i < catalogue.VarCount; ++i) {
        const CVarDataS *e = catalogue.data(i);
        const uint32_t address = static_cast<uint32_t>(e->Address) & MaxAddress;
        const uint16_t initial = static_cast<uint16_t>(e->QelValueDefault);
        if (i == version)
            addCell(address, Kind::ReadOnly, softwareVersion, i);
        else if (e->KRVPageDomain & 1)
            addCell(address, Kind::Eeprom, initial, i);
        else
            addCell(address, Kind::Ram, initial, i);
    }
}

void ControllerMemory::addCell(uint32_t address, Kind kind, uint16_t value, int index)
{
    // the first claim on an address wins; the special words come first
    m_cells.emplace(address, Cell{kind, value, value, index});
}

ControllerMemory::Result ControllerMemory::fail(Error e) const
{
    Result r;
    r.ok = false;
    r.error = e;
    return r;
}

int32_t ControllerMemory::word(KrvId id) const
{
    const CVarDataS *e = m_catalogue.data(id);
    if (!e)
        return 0;
    const auto it = m_cells.find(static_cast<uint32_t>(e->Address));
    return it == m_cells.end() ? 0 : it->second.value;
}

ControllerMemory::Result ControllerMemory::readWord(uint32_t address, std::chrono::steady_clock::time_point now)
{
    const auto it = m_cells.find(address);
    if (it == m_cells.end())
        return fail(Error::NoSuchAddress);
    Result r;
    const Cell &c = it->second;
    if (c.kind == Kind::Marker) {
        int n = 0;
        while (MarkerAddresses[n] != address)
            ++n;
        r.value = m_marker ? MarkerWords[n] : 0;
    } else if (m_model && m_model->isLive(address)) {
        r.value = m_model->read(address, now);
    } else {
        r.value = c.value;
    }
    return r;
}

ControllerMemory::Result ControllerMemory::writeWord(uint32_t address, uint16_t value)
{
    if (const auto refusal = blockWriteRefusal(address))
        return fail(*refusal);
    Cell &c = m_cells[address];
    // the file changes only with the word (or when the last save failed):
    // a Write All of the same set costs no file write per word
    const bool changed = c.value != value || !m_saveError.isEmpty();
    const uint16_t before = c.value;
    store(c, value);
    if (c.kind == Kind::Eeprom && changed && !saveEeprom()) {
        // a refused write changes nothing: the word stays what the EEPROM holds
        c.value = before;
        return fail(Error::BadValue);
    }
    return {};
}

void ControllerMemory::store(Cell &c, uint16_t value)
{
    // the dither is taken over at once; the command word reads 0 again
    const bool ditherUpdate = c.index != 0 && c.index == m_catalogue.index(KRV_DITHER_UPDATE);
    c.value = ditherUpdate ? 0 : value;
}

ControllerMemory::Result ControllerMemory::readLong(uint32_t address, std::chrono::steady_clock::time_point now)
{
    const Result low = readWord(address, now);
    if (!low.ok)
        return low;
    const Result high = readWord(address + 2, now);
    if (!high.ok)
        return high;
    Result r;
    r.value = low.value | (high.value << 16);
    return r;
}

ControllerMemory::Result ControllerMemory::writeLong(uint32_t address, uint32_t value)
{
    if (address == LoadAddress) {
        if (value != LoadCode || !restoreDefaults())
            return fail(Error::BadValue);
        m_marker = true;
        return {};
    }
    const auto low = m_cells.find(address);
    const auto high = m_cells.find(address + 2);
    if (low == m_cells.end() || high == m_cells.end())
        return fail(Error::NoSuchAddress);
    for (const auto &it : {low, high}) {
        const Kind k = it->second.kind;
        if ((k != Kind::Eeprom && k != Kind::Ram) || (m_model && m_model->isLive(it->first)))
            return fail(Error::ReadOnly);
    }
    const uint16_t before[2] = {low->second.value, high->second.value};
    low->second.value = static_cast<uint16_t>(value & 0xFFFF);
    high->second.value = static_cast<uint16_t>(value >> 16);
    if ((low->second.kind == Kind::Eeprom || high->second.kind == Kind::Eeprom) && !saveEeprom()) {
        low->second.value = before[0];
        high->second.value = before[1];
        return fail(Error::BadValue);
    }
    return {};
}

namespace {

bool inWordArea(uint32_t address)
{
    return (address >= 0x2000 && address < 0x2400) || (address >= 0x4000 && address < 0x4400);
}

} // namespace

ControllerMemory::Result ControllerMemory::readBlock(uint32_t address, int count,
                                                     std::chrono::steady_clock::time_point now)
{
    Result r;
    for (int i = 0; i < count; ++i) {
        const uint32_t a = address + 2 * static_cast<uint32_t>(i);
        const Result word = readWord(a, now);
        if (!word.ok && !inWordArea(a)) {
            Result refused = fail(word.error);
            refused.index = static_cast<uint8_t>(i);
            return refused;
        }
        r.words.push_back(static_cast<uint16_t>(word.ok ? word.value : 0));
    }
    return r;
}

std::optional<Error> ControllerMemory::blockWriteRefusal(uint32_t address) const
{
    const auto it = m_cells.find(address);
    if (it == m_cells.end())
        return Error::NoSuchAddress;
    const Kind k = it->second.kind;
    if (k == Kind::ReadOnly || k == Kind::Marker || (m_model && m_model->isLive(address)))
        return Error::ReadOnly;
    if (k == Kind::Command)
        return Error::BadValue;
    return std::nullopt;
}

ControllerMemory::Result ControllerMemory::writeBlock(uint32_t address, const std::vector<uint16_t> &words)
{
    for (size_t i = 0; i < words.size(); ++i) {
        if (const auto refusal = blockWriteRefusal(address + 2 * static_cast<uint32_t>(i))) {
            Result r = fail(*refusal);
            r.index = static_cast<uint8_t>(i);
            return r;
        }
    }
    // one EEPROM save for the whole block, and none when nothing changed
    std::map<uint32_t, uint16_t> before;
    bool eepromChanged = !m_saveError.isEmpty();
    for (size_t i = 0; i < words.size(); ++i) {
        Cell &c = m_cells[address + 2 * static_cast<uint32_t>(i)];
        before[address + 2 * static_cast<uint32_t>(i)] = c.value;
        eepromChanged = eepromChanged || (c.kind == Kind::Eeprom && c.value != words[i]);
        store(c, words[i]);
    }
    if (eepromChanged && !saveEeprom()) {
        for (const auto &[a, value] : before)
            m_cells[a].value = value;
        return fail(Error::BadValue);
    }
    return {};
}

bool ControllerMemory::restoreDefaults()
{
    std::map<uint32_t, uint16_t> before;
    for (auto &[address, c] : m_cells) {
        if (c.kind == Kind::Eeprom && c.index != 0) {
            before[address] = c.value;
            c.value = c.initial;
        }
    }
    if (saveEeprom())
        return true;
    // the EEPROM still holds the old set, and so does the controller
    for (const auto &[address, value] : before)
        m_cells[address].value = value;
    return false;
}

void ControllerMemory::powerCycle()
{
    m_marker = false;
    for (auto &[address, c] : m_cells) {
        if (c.kind == Kind::Ram)
            c.value = c.initial;
    }
    // raised faults are still there after power-up
    for (const auto &[address, value] : m_raised)
        m_cells[address].value = static_cast<uint16_t>(value);
}

QStringList ControllerMemory::setFaults(const std::map<QString, int> &faults)
{
    QStringList unknown;
    for (const auto &[address, value] : m_raised)
        m_cells[address].value = m_cells[address].initial;
    m_raised.clear();
    for (const auto &[name, value] : faults) {
        int index = 0;
        for (int id = 0; id < KRV_ID_COUNT && !index; ++id) {
            if (name == QLatin1String(krvIdName(static_cast<KrvId>(id))))
                index = m_catalogue.index(static_cast<KrvId>(id));
        }
        for (int i = 1; i < m_catalogue.VarCount && !index; ++i) {
            if (m_catalogue.data(i)->Name == name)
                index = i;
        }
        const CVarDataS *e = m_catalogue.data(index);
        const auto it = e ? m_cells.find(static_cast<uint32_t>(e->Address)) : m_cells.end();
        if (it == m_cells.end() || it->second.kind != Kind::Ram) {
            unknown.append(name);
            continue;
        }
        it->second.value = static_cast<uint16_t>(value);
        m_raised[it->first] = value;
    }
    return unknown;
}

bool ControllerMemory::attachEeprom(const QString &path, QString *error)
{
    m_eepromPath = path;
    if (path.isEmpty())
        return true;
    QFile f(path);
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly) || !loadEeprom(QString::fromLatin1(f.readAll()))) {
            if (error)
                *error = QStringLiteral("cannot read EEPROM file ") + path;
            return false;
        }
        return true;
    }
    if (!saveEeprom()) {
        if (error)
            *error = m_saveError;
        return false;
    }
    return true;
}

bool ControllerMemory::loadEeprom(const QString &text)
{
    for (const QString &rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList kv = line.split(QLatin1Char('='));
        bool okA = false, okV = false;
        const uint address = kv.size() == 2 ? kv[0].trimmed().mid(2).toUInt(&okA, 16) : 0;
        const uint value = kv.size() == 2 ? kv[1].trimmed().toUInt(&okV, 10) : 0;
        if (!okA || !okV || !kv[0].trimmed().startsWith(QLatin1String("0x")) || value > 0xFFFF)
            return false;
        const auto it = m_cells.find(address);
        // words the list no longer has are dropped; the production number is
        // kept as the file says (it belongs to this control unit)
        if (it != m_cells.end() && (it->second.kind == Kind::Eeprom || address == ProductionAddress
                                    || address == ProductionAddress + 2))
            it->second.value = static_cast<uint16_t>(value);
    }
    return true;
}

bool ControllerMemory::saveEeprom()
{
    if (m_eepromPath.isEmpty())
        return true;
    QString text = QStringLiteral("# krv-sim EEPROM: address (hex) = word (decimal)\n");
    for (const auto &[address, c] : m_cells) {
        const bool production = address == ProductionAddress || address == ProductionAddress + 2;
        if (c.kind == Kind::Eeprom || production)
            text += QStringLiteral("0x%1=%2\n").arg(address, 6, 16, QLatin1Char('0')).arg(c.value);
    }
    QSaveFile f(m_eepromPath);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toLatin1()) < 0 || !f.commit()) {
        m_saveError = QStringLiteral("cannot write EEPROM file ") + m_eepromPath;
        return false;
    }
    m_saveError.clear();
    return true;
}
