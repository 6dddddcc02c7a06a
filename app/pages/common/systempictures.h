#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <array>

class QLabel;

// The pictures of the valve system the configuration page and the monitor
// draw: the control unit (ModelPictures, entry 0 used), the solenoid
// (MagnetPicture, MagnetPicture2 for solenoid type 2) and the descriptions of
// the solenoid types. A picture whose file is missing stays empty.
class SystemPictures
{
public:
    std::array<QPixmap, 2> ModelPictures;
    QPixmap MagnetPicture;
    QPixmap MagnetPicture2;
    QStringList SolTypeDescriptions = QStringList(4);

    // Loads the pictures below the program folder.
    void load(const QString &programFolder);

    // The description of solenoid type s; empty outside the table.
    QString solTypeDescription(int s) const;

    // A picture from a file, empty when the file is not there.
    static QPixmap loadPicture(const QString &path);
    // Shows a picture in a label, scaled down to fit and centred.
    static void show(QLabel *label, const QPixmap &picture);
};

// The model names of the control units: "TBX 100 P" .. "TBX 400 P" at 0 to 3,
// "TBX 100 F" .. "TBX 400 F" at 4 to 7.
namespace SystemTypes {

QString name(int index); // empty outside the table
// The model shown for n sections and system type s (1 "P", any other "F").
QString modelName(int numPropReg, int systemType);

} // namespace SystemTypes
