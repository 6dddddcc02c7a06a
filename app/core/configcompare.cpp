#include "configcompare.h"

#include "catalogue.h"
#include "cvardata.h"
#include "session.h"

ConfigFileReader::Result ConfigCompare::readFile(const QString &path, Side &side) const
{
    StagedConfig staged;
    const ConfigFileReader::Result result = ConfigFileReader(m_catalogue).readFile(path, staged);
    for (const StagedConfig::Value &v : std::as_const(staged.values))
        side.values.insert(v.index, v.value);
    return result;
}

namespace {

void mark(ConfigCompare::Side &side, const CVarDataS &d, int index, int32_t value)
{
    side.values.insert(index, value);
    if (!E2Image::inRange(d, value))
        side.outOfRange.insert(index);
}

} // namespace

ConfigCompare::Side ConfigCompare::fromUnit(Session &session, const QString &label, QString &error,
                                            const Progress &progress)
{
    Side side;
    side.label = label;
    if (session.devLink.LinkState != DevLink::State::Open) {
        error = E2Image::Failed;
        return side;
    }
    const Catalogue &cat = session.catalogue;
    // the unit's section count first: it decides which entries a file of it holds
    const int sections = cat.index(KRV_NUM_PROP_REG);
    int32_t count = 0;
    if (sections != 0) {
        error = session.rs232.ReadVar(cat.data(sections)->Address, count);
        if (!error.isEmpty())
            return side;
    }
    const auto pages = static_cast<uint16_t>(session.e2Image.AllPagesMask());
    QList<int> entries;
    QList<int32_t> addresses;
    for (int i = 1; i < cat.VarCount; ++i) {
        const CVarDataS *d = cat.data(i);
        if ((static_cast<uint16_t>(d->KRVPageDomain) & pages) == 0 || (sections != 0 && d->TbxTypeID >= count))
            continue;
        if (i == sections) {
            mark(side, *d, i, count);
            continue;
        }
        entries.append(i);
        addresses.append(d->Address);
    }
    error = session.rs232.ReadVars(addresses, [&](int k, int32_t value) {
        mark(side, *cat.data(entries[k]), entries[k], value);
        if (progress)
            progress(k + 1, int(entries.size()));
        return true;
    });
    return side;
}

ConfigCompare::Side ConfigCompare::fromProgram(const Session &session, const QString &label)
{
    Side side;
    side.label = label;
    const Catalogue &cat = session.catalogue;
    for (int i = 1; i < cat.VarCount; ++i) {
        if (session.file.isSaved(i))
            mark(side, *cat.data(i), i, cat.data(i)->KrvDownloadValueE2);
    }
    return side;
}

ConfigCompare::WriteSet ConfigCompare::forWrite(const Session &session, int16_t mask)
{
    WriteSet set;
    const Catalogue &cat = session.catalogue;
    const E2Image &e2 = session.e2Image;
    const int sections = cat.index(KRV_NUM_PROP_REG);
    // as the write goes: the unit's section count up to the count itself, the sent one after it
    bool countSent = false;
    for (int i = 1; i < cat.VarCount; ++i) {
        const CVarDataS *d = cat.data(i);
        if (!e2.writeSelects(mask, i))
            continue;
        const bool takesPart = countSent ? d->TbxTypeID < cat.data(sections)->KrvDownloadValueE2
                                         : e2.qualifiesForTransfer(i);
        if (!takesPart)
            continue;
        // a Load puts the file's values where the read ones were: ask what the unit holds
        if (const std::optional<int32_t> held = session.unitWords.word(d->Address))
            mark(set.unit, *d, i, *held);
        mark(set.sent, *d, i, d->KrvDownloadValueE2);
        countSent = countSent || i == sections;
    }
    return set;
}

ConfigCompare::Value ConfigCompare::value(const Side &side, int index) const
{
    Value v;
    v.present = side.values.contains(index);
    if (v.present)
        v.display = m_catalogue.entry(index)->DisplayFromRaw(side.values.value(index));
    v.outOfRange = side.outOfRange.contains(index);
    return v;
}

QString ConfigCompare::Value::shown(const QString &unit) const
{
    if (!present)
        return QStringLiteral("(missing)");
    QString result = QString::number(display);
    if (!unit.isEmpty())
        result += QLatin1Char(' ') + unit;
    return outOfRange ? result + QStringLiteral(" (out of range)") : result;
}

QList<ConfigCompare::Row> ConfigCompare::rows(const Side &a, const Side &b) const
{
    QList<Row> result;
    for (int i = 1; i < m_catalogue.VarCount; ++i) {
        const bool inA = a.values.contains(i);
        const bool inB = b.values.contains(i);
        if (!inA && !inB)
            continue;
        const bool outOfRange = a.outOfRange.contains(i) || b.outOfRange.contains(i);
        // the controller keeps 16-bit words: 65535 and -1 are the same value
        if (inA && inB && !outOfRange && uint16_t(a.values.value(i)) == uint16_t(b.values.value(i)))
            continue;
        const CVarDataS *d = m_catalogue.data(i);
        result.append(Row{i, d->Name, value(a, i), value(b, i), d->Unit});
    }
    return result;
}

int ConfigCompare::report(const Side &a, const Side &b, QTextStream &out) const
{
    const QList<Row> differences = rows(a, b);
    for (const Row &row : differences)
        out << row.name << '\t' << row.a.shown(row.unit) << '\t' << row.b.shown(row.unit) << '\n';
    out.flush();
    return int(differences.size());
}
