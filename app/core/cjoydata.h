#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

// One joystick model of the catalogue: its texts, axis data and pictures.
class CJoyData
{
public:
    int16_t JoyID = 0;
    QString JoyName;
    QString JoyCode;
    QString Descr1;
    QString Descr2;
    QString Descr3;
    QString Descr4;
    int16_t Available = 0;
    int16_t AxisNum = 0;
    int16_t AxisConfig1 = 0;
    int16_t AxisAux1 = 0;
    int16_t AxisConfig2 = 0;
    int16_t AxisAux2 = 0;
    int16_t AxisConfig3 = 0;
    int16_t AxisAux3 = 0;
    int16_t AxisConfig4 = 0;
    int16_t AxisAux4 = 0;

    QImage Picture;  // the model
    QImage PictureD; // the model greyed out
    QImage PictureX; // first axis
    QImage PictureY; // second axis
    QImage PictureZ; // third axis
    QImage PictureW; // fourth axis

    // Fills the record from one catalogue line; false on a format error (a
    // numeric field that is missing, empty, not a number or outside 16 bits).
    // Axis pairs beyond AxisNum are not read and stay 0.
    bool Load(const QString &line);

    // Reads the pictures <JoyName>.jpg, _D, _X, _Y, _Z and _W from `folder`;
    // a missing file leaves its picture empty. `afterStep` runs after the _D,
    // _X and _Y pictures so a long load keeps the program responsive.
    void LoadPictures(const QString &folder, void (*afterStep)() = nullptr);

    // Whether JoyName can name picture files (a plain file name, no folder part).
    bool hasPictureName() const;
};
