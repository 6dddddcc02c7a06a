#pragma once

#include <QImage>
#include <QString>

// Our own drawings for the program: the splash picture, the three state
// lamps, the toolbar images and the program's icon.
namespace Artwork {

QImage splash(int width, int height);
QImage stateLamp(int size, QRgb colour);
// key: Load, Save, ReadAll, WriteAll, Reset, read, Write, Login, Logout, Help, Info, Conncect
QImage toolbarImage(const QString &key, int size);
QStringList toolbarKeys();
// The program's icon (desktop entry, window): a stack of three valve sections
// on a rounded tile; below 48 pixels the sections are drawn plainly.
QImage appIcon(int size);
QList<int> appIconSizes();

} // namespace Artwork
