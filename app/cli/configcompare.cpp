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

ConfigCompare::Side ConfigCompare::fromUnit(Session &session, const QString &label, QString &error)
{
    Side side;
    side.label = label;
    if (session.devLink.LinkState != DevLink::State::Open) {
        error = E2Image::Failed;
        return side;
    }
    Catalogue &cat = session.catalogue;
    // the unit's section count first: it decides which entries a file holds
    const int sections = cat.index(KRV_NUM_PROP_REG);
    if (sections != 0) {
        int32_t count = 0;
        error = session.rs232.ReadVar(cat.data(sections)->Address, count);
        if (!error.isEmpty())
            return side;
        cat.entry(sections)->ReadE2FromQEL(count);
    }
    for (int i = 1; i < cat.VarCount; ++i) {
        if (!session.file.isSaved(i))
            continue;
        const CVarDataS *d = cat.data(i);
        int32_t value = d->QelValueE2;
        if (i != sections)
            error = session.rs232.ReadVar(d->Address, value);
        if (!error.isEmpty())
            return side;
        side.values.insert(i, value);
        if (!E2Image::inRange(*d, value))
            side.outOfRange.insert(i);
    }
    return side;
}

QString ConfigCompare::displayText(int index, int32_t raw) const
{
    const CVarData *entry = m_catalogue.entry(index);
    QString text = QString::number(entry->DisplayFromRaw(raw));
    if (!entry->Data->Unit.isEmpty())
        text += QLatin1Char(' ') + entry->Data->Unit;
    return text;
}

QString ConfigCompare::sideText(const Side &side, int index) const
{
    if (!side.values.contains(index))
        return QStringLiteral("(missing)");
    const QString text = displayText(index, side.values.value(index));
    return side.outOfRange.contains(index) ? text + QStringLiteral(" (out of range)") : text;
}

int ConfigCompare::report(const Side &a, const Side &b, QTextStream &out) const
{
    int differences = 0;
    for (int i = 1; i < m_catalogue.VarCount; ++i) {
        const bool inA = a.values.contains(i);
        const bool inB = b.values.contains(i);
        if (!inA && !inB)
            continue;
        const bool outOfRange = a.outOfRange.contains(i) || b.outOfRange.contains(i);
        // the controller keeps 16-bit words: 65535 and -1 are the same value
        if (inA && inB && !outOfRange && uint16_t(a.values.value(i)) == uint16_t(b.values.value(i)))
            continue;
        ++differences;
        out << m_catalogue.data(i)->Name << '\t' << sideText(a, i) << '\t' << sideText(b, i) << '\n';
    }
    out.flush();
    return differences;
}
