#include "systempictures.h"

#include "configfile.h"

#include <QLabel>

void SystemPictures::load(const QString &programFolder)
{
    ModelPictures[0] = loadPicture(programFolder + QStringLiteral("/res/bmp/Qel/QEL400W.jpg"));
    MagnetPicture = loadPicture(programFolder + QStringLiteral("/res/bmp/Magnet/ZEDERO.jpg"));
}

QString SystemPictures::solTypeDescription(int s) const
{
    return s >= 0 && s < SolTypeDescriptions.size() ? SolTypeDescriptions.at(s) : QString();
}

QPixmap SystemPictures::loadPicture(const QString &path)
{
    QPixmap picture;
    if (File::FileExists(path))
        picture.load(path);
    return picture;
}

void SystemPictures::show(QLabel *label, const QPixmap &picture)
{
    label->setAlignment(Qt::AlignCenter);
    if (picture.isNull() || label->width() <= 0 || label->height() <= 0) {
        label->setPixmap(picture);
        return;
    }
    if (picture.width() <= label->width() && picture.height() <= label->height())
        label->setPixmap(picture);
    else
        label->setPixmap(picture.scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

namespace SystemTypes {

QString name(int index)
{
    static const char *const names[] = {"TBX 100 P", "TBX 200 P", "TBX 300 P", "TBX 400 P",
                                        "TBX 100 F", "TBX 200 F", "TBX 300 F", "TBX 400 F"};
    if (index < 0 || index >= int(std::size(names)))
        return QString();
    return QString::fromLatin1(names[index]);
}

QString modelName(int numPropReg, int systemType)
{
    // a count outside 1 to 4 is no model
    if (numPropReg < 1 || numPropReg > 4)
        return QString();
    return name(systemType == 1 ? numPropReg - 1 : numPropReg + 3);
}

} // namespace SystemTypes
