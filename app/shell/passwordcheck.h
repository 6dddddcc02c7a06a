#pragma once

#include <QByteArray>
#include <QString>

// The assistance password, kept only as a salted hash. A file beside the
// program ("password.ini", keys Salt and Hash) replaces the built-in one.
class PasswordCheck
{
public:
    // The built-in salt and hash.
    PasswordCheck();
    PasswordCheck(QByteArray salt, QByteArray hexHash);

    // Built-in values, replaced by the file when it holds both keys.
    static PasswordCheck fromFile(const QString &path);
    static QString defaultFilePath();

    // Letter case does not matter.
    bool matches(const QString &password) const;

    static QByteArray hashOf(const QByteArray &salt, const QString &password);

private:
    QByteArray m_salt;
    QByteArray m_hexHash;
};
