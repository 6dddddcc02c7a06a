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

// Replaces a whole file in one step: the bytes go to a file beside it that is
// then renamed over it, so a write that fails (full disk, a folder that takes
// no new file) leaves the previous file whole. False when nothing was replaced;
// then `why`, when given, says what stopped it.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *why = nullptr);

} // namespace AnsiText
