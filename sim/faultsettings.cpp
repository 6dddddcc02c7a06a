#include "faultsettings.h"

namespace {

bool toInt(const QString &text, int low, int high, int &out)
{
    bool ok = false;
    const QString t = text.trimmed();
    const qlonglong v = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toLongLong(&ok, 16)
                                                                               : t.toLongLong(&ok, 10);
    if (!ok || v < low || v > high)
        return false;
    out = static_cast<int>(v);
    return true;
}

bool toDouble(const QString &text, double low, double high, double &out)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

} // namespace

bool FaultSettings::apply(const QString &rawKey, const QString &value, QString *problem)
{
    const QString key = rawKey.trimmed();
    bool ok = false;
    int n = 0;
    if (key == QLatin1String("silent")) {
        ok = toInt(value, 0, 1, n);
        if (ok)
            silent = n != 0;
    } else if (key == QLatin1String("delay")) {
        ok = toInt(value, 0, 600000, delayMs);
    } else if (key == QLatin1String("corrupt-rate")) {
        ok = toDouble(value, 0.0, 1.0, corruptRate);
    } else if (key == QLatin1String("drop-rate")) {
        ok = toDouble(value, 0.0, 1.0, dropRate);
    } else if (key == QLatin1String("disconnect-after")) {
        ok = toInt(value, 0, 1 << 30, disconnectAfter);
    } else if (key == QLatin1String("power-cycle")) {
        ok = toInt(value, 0, 1 << 30, powerCycles);
    } else if (key.startsWith(QLatin1String("fault.")) && key.size() > 6) {
        ok = toInt(value, -32768, 65535, n);
        if (ok)
            faults[key.mid(6)] = n;
    } else if (key.startsWith(QLatin1String("joy."))) {
        int k = 0;
        double percent = 0;
        ok = toInt(key.mid(4), 0, 3, k);
        if (ok && value.trimmed() == QLatin1String("sweep"))
            heldJoysticks.erase(k);
        else if (ok && (ok = toDouble(value, 0.0, 100.0, percent)))
            heldJoysticks[k] = percent;
    } else {
        if (problem)
            *problem = QStringLiteral("unknown setting ") + key;
        return false;
    }
    if (!ok && problem)
        *problem = QStringLiteral("bad value for ") + key + QStringLiteral(": ") + value;
    return ok;
}

FaultSettings FaultSettings::withControlText(const FaultSettings &base, const QString &text, QStringList *problems)
{
    FaultSettings s = base;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        const int hash = static_cast<int>(line.indexOf(QLatin1Char('#')));
        if (hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const int eq = static_cast<int>(line.indexOf(QLatin1Char('=')));
        QString problem;
        if (eq <= 0)
            problem = QStringLiteral("not a key=value line: ") + line;
        else
            s.apply(line.left(eq), line.mid(eq + 1), &problem);
        if (!problem.isEmpty() && problems)
            problems->append(problem);
    }
    return s;
}

bool FaultSettings::operator==(const FaultSettings &o) const
{
    return silent == o.silent && delayMs == o.delayMs && corruptRate == o.corruptRate && dropRate == o.dropRate
        && disconnectAfter == o.disconnectAfter && faults == o.faults && heldJoysticks == o.heldJoysticks
        && powerCycles == o.powerCycles;
}
