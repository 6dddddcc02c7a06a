#include "connectionsettings.h"

#include <QStringList>

namespace {

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

bool wholeNumber(const QString &text, int low, int high, int &out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

} // namespace

std::optional<ConnectionSettings> ConnectionSettings::parse(const QString &text, QString *error)
{
    static const QString prefix = QStringLiteral("GDB:");
    static const QString portTag = QStringLiteral("#COM:");
    if (!text.startsWith(prefix, Qt::CaseInsensitive)) {
        fail(error, QStringLiteral("connection string must start with GDB:"));
        return std::nullopt;
    }
    const QStringList f = text.mid(prefix.size()).split(QLatin1Char(','));
    if (f.size() != 7) {
        fail(error, QStringLiteral("connection string needs 7 fields"));
        return std::nullopt;
    }
    ConnectionSettings s;
    const QString port = f[2].trimmed();
    const bool ok = wholeNumber(f[0], 0, 255, s.node)
        && wholeNumber(f[1], 1, 600000, s.timeoutMs)
        && port.startsWith(portTag, Qt::CaseInsensitive)
        && wholeNumber(port.mid(portTag.size()), 1, 255, s.comPort)
        && wholeNumber(f[3], 50, 4000000, s.baud)
        && wholeNumber(f[5], 5, 8, s.dataBits)
        && wholeNumber(f[6], 1, 2, s.stopBits);
    const QString parity = f[4].trimmed().toUpper();
    if (!ok || parity.size() != 1 || !QStringLiteral("NEO").contains(parity)) {
        fail(error, QStringLiteral("bad connection string: ") + text);
        return std::nullopt;
    }
    s.parity = parity.at(0).toLatin1();
    return s;
}

QString ConnectionSettings::devicePath(int comPort)
{
    const QByteArray name = "KRV_COM" + QByteArray::number(comPort);
    const QString fromEnv = qEnvironmentVariable(name.constData());
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStringLiteral("/dev/ttyS") + QString::number(comPort - 1);
}
