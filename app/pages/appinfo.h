#pragma once

#include <QString>

// The program's own name, version and maker, as the about window, the help
// command and the status bar show them.
namespace AppInfo {

inline QString title() { return QStringLiteral("KRV Studio"); }
inline QString mainCaption() { return QStringLiteral("KRV Studio for TBX400C"); }
constexpr int versionMajor = KRV_VERSION_MAJOR;
constexpr int versionMinor = KRV_VERSION_MINOR;
constexpr int versionRevision = KRV_VERSION_PATCH;
inline QString versionText()
{
    return QStringLiteral("%1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionRevision);
}

inline QString makerName() { return QStringLiteral("Northfield Hydraulics"); }
inline QString makerAddress() { return QStringLiteral("Northfield Hydraulics Ltd. - 14 Foundry Road - Millbrook"); }
inline QString makerContact() { return QStringLiteral("Service: service@northfield-hydraulics.example - Tel. +00 555 0142"); }
inline QString makerSite() { return QStringLiteral("https://www.northfield-hydraulics.example"); }

} // namespace AppInfo
