#pragma once

#include <QString>

// The settings file that stands in for the system registry: one INI group
// per key ("SOFTWARE\Vendor\Tool" is the group "SOFTWARE/Vendor/Tool" under
// its root). A 32-bit number is written "dword:" followed by eight hex digits.
class KeyStore
{
public:
    static constexpr const char *LocalMachine = "HKEY_LOCAL_MACHINE";
    static constexpr int BufferSize = 1024;

    explicit KeyStore(QString filePath);
    static QString defaultFilePath();

    // False with KeyVal empty when the key or value is missing or too long.
    bool GetKeyValue(const QString &KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                     QString &KeyVal) const;

    const QString &filePath() const { return m_filePath; }

private:
    QString m_filePath;
};
