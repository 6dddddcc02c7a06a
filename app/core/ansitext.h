#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Data files are 8-bit text in the Windows-1252 code page.
namespace AnsiText {

QString decode(const QByteArray &bytes);
// Characters outside the code page become "?".
QByteArray encode(const QString &text);

// Splits at CR LF, CR or LF; a line end at the very end adds no empty line.
QStringList splitLines(const QString &text);

// Reads a whole file; false when it cannot be opened or read.
bool readFile(const QString &path, QString &text);

} // namespace AnsiText
