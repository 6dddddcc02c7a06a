#pragma once

#include <QString>

// Where the program finds its files. A copy run from its build folder (or a
// folder copied whole) keeps everything beside the programs. An installed copy
// keeps the programs and the device-link component in <prefix>/lib/krvstudio
// and its architecture-independent data (res/, installed.ini) in
// <prefix>/share/krvstudio, which is then its program folder.
namespace ResPaths {

// The folder of the executables and the device-link component; an
// administrator's password.ini and keystore.ini go here.
QString binaryFolder();

// The folder holding res/ and installed.ini: binaryFolder() when res/ is
// beside the programs, else the installed data folder when it has res/.
QString programFolder();
// The same decision for a given folder of executables.
QString programFolderFor(const QString &binaryFolder);

// programFolder() + "/res/" + relative
QString res(const QString &relative);

// The folder holding the manual: the one installed.ini in `programFolder`
// names (relative to it), else `programFolder` itself.
QString manualFolder(const QString &programFolder);

} // namespace ResPaths
