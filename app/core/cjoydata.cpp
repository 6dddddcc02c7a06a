#include "cjoydata.h"

#include "configfile.h"
#include "stringeval.h"
#include "vbnumber.h"

#include <QDir>

namespace {

bool int16Field(const QString &text, int16_t &field)
{
    double v = 0;
    return VbNumber::parseNumber(text, v) && VbNumber::toInt16(v, field);
}

} // namespace

bool CJoyData::Load(const QString &lineText)
{
    using StringEval::NextTabField;
    QString line = lineText;
    JoyName = NextTabField(line);
    JoyCode = NextTabField(line);
    Descr1 = NextTabField(line);
    Descr2 = NextTabField(line);
    Descr3 = NextTabField(line);
    Descr4 = NextTabField(line);
    if (!int16Field(NextTabField(line), Available) || !int16Field(NextTabField(line), AxisNum)
        || !int16Field(NextTabField(line), JoyID))
        return false;

    int16_t *const pairs[4][2] = {{&AxisConfig1, &AxisAux1},
                                  {&AxisConfig2, &AxisAux2},
                                  {&AxisConfig3, &AxisAux3},
                                  {&AxisConfig4, &AxisAux4}};
    for (auto &pair : pairs) {
        *pair[0] = 0;
        *pair[1] = 0;
    }
    // Pair 1 always; pair n only when AxisNum is none of 1 .. n-1, so a count
    // of 0, negative or above 4 reads all four pairs.
    for (int n = 0; n < 4; ++n) {
        if (n > 0 && AxisNum >= 1 && AxisNum <= n)
            break;
        if (!int16Field(NextTabField(line), *pairs[n][0]) || !int16Field(NextTabField(line), *pairs[n][1]))
            return false;
    }
    return true;
}

bool CJoyData::hasPictureName() const
{
    // The name is joined to the picture folder: it must not lead out of it.
    return !JoyName.isEmpty() && !JoyName.contains(QLatin1Char('/'))
           && !JoyName.contains(QLatin1Char('\\')) && JoyName != QLatin1String("..")
           && JoyName != QLatin1String(".");
}

void CJoyData::LoadPictures(const QString &folder, void (*afterStep)())
{
    struct Slot
    {
        const char *suffix;
        QImage *image;
        bool step;
    };
    const Slot parts[] = {{"", &Picture, false},   {"_D", &PictureD, true}, {"_X", &PictureX, true},
                          {"_Y", &PictureY, true}, {"_Z", &PictureZ, false}, {"_W", &PictureW, false}};
    for (const Slot &s : parts) {
        *s.image = QImage();
        if (hasPictureName()) {
            const QString path = QDir(folder).filePath(JoyName + QLatin1String(s.suffix) + QStringLiteral(".jpg"));
            if (File::FileExists(path))
                s.image->load(path, "JPG"); // an unreadable picture stays empty as well
        }
        if (s.step && afterStep)
            afterStep();
    }
}
