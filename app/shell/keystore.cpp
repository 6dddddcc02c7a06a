#include "keystore.h"

#include "respaths.h"

#include <QFileInfo>
#include <QSettings>

KeyStore::KeyStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString KeyStore::defaultFilePath()
{
    return ResPaths::binaryFolder() + QStringLiteral("/keystore.ini");
}

bool KeyStore::GetKeyValue(const QString &KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                           QString &KeyVal) const
{
    KeyVal.clear();
    if (!QFileInfo::exists(m_filePath))
        return false;
    QSettings store(m_filePath, QSettings::IniFormat);
    store.beginGroup(KeyRoot + QLatin1Char('/') + QString(KeyName).replace(QLatin1Char('\\'), QLatin1Char('/')));
    const QVariant value = store.value(SubKeyRef);
    store.endGroup();
    if (!value.isValid())
        return false;
    // A list is what QSettings makes of a value with commas: take it back as written.
    QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                            : value.toString();
    if (text.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        bool ok = false;
        const quint32 number = text.mid(6).toUInt(&ok, 16);
        if (!ok)
            return false;
        // Byte by byte from the highest, each byte without leading zeros.
        QString digits;
        for (int shift = 24; shift >= 0; shift -= 8)
            digits += QString::number((number >> shift) & 0xFF, 16).toUpper();
        KeyVal = QStringLiteral("&h") + digits;
        return true;
    }
    if (text.size() >= BufferSize)
        return false;
    const int nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    KeyVal = text;
    return true;
}
