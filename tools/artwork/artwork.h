#pragma once

#include <QImage>
#include <QString>

// Our own drawings for the program: the splash picture, the three state
// lamps and the toolbar images.
namespace Artwork {

QImage splash(int width, int height);
QImage stateLamp(int size, QRgb colour);
// key: Load, Save, ReadAll, WriteAll, Reset, read, Write, Login, Logout, Help, Info, Conncect
QImage toolbarImage(const QString &key, int size);
QStringList toolbarKeys();

} // namespace Artwork
