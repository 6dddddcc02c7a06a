#pragma once

#include <QString>

// Run-time data lives in res/ beside the program (the build copies it there).
namespace ResPaths {

QString programFolder();

// programFolder() + "/res/" + relative
QString res(const QString &relative);

} // namespace ResPaths
