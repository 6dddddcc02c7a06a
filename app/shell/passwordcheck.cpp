#include "passwordcheck.h"

#include "respaths.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSettings>

namespace {
const char BuiltInSalt[] = "krv-tbx-7Q2m";
const char BuiltInHash[] = "13821e8c9300cee3c67f384a0bc99ca069b6e99afd0915e5d426d41fc54d3296";
} // namespace

PasswordCheck::PasswordCheck() : m_salt(BuiltInSalt), m_hexHash(BuiltInHash) {}

PasswordCheck::PasswordCheck(QByteArray salt, QByteArray hexHash)
    : m_salt(std::move(salt)), m_hexHash(hexHash.trimmed().toLower())
{
}

PasswordCheck PasswordCheck::fromFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return PasswordCheck();
    QSettings file(path, QSettings::IniFormat);
    const QByteArray salt = file.value(QStringLiteral("Login/Salt")).toString().toUtf8();
    const QByteArray hash = file.value(QStringLiteral("Login/Hash")).toString().toUtf8();
    // A hash that is not 64 hex digits cannot match anything: keep the built-in one.
    if (salt.isEmpty() || hash.trimmed().size() != 64)
        return PasswordCheck();
    return PasswordCheck(salt, hash);
}

QString PasswordCheck::defaultFilePath()
{
    return ResPaths::binaryFolder() + QStringLiteral("/password.ini");
}

QByteArray PasswordCheck::hashOf(const QByteArray &salt, const QString &password)
{
    return QCryptographicHash::hash(salt + password.toLower().toUtf8(), QCryptographicHash::Sha256).toHex();
}

bool PasswordCheck::matches(const QString &password) const
{
    return hashOf(m_salt, password) == m_hexHash;
}
