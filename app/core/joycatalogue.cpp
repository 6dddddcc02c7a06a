#include "joycatalogue.h"

#include "ansitext.h"
#include "messageservice.h"
#include "respaths.h"

#include <QCoreApplication>

namespace {

// Pending window events run between pictures: the load is slow on old disks.
void pumpEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace

JoyCatalogue::JoyCatalogue(MessageService *messages) : m_messages(messages) {}

QString JoyCatalogue::defaultPath()
{
    return ResPaths::res(QStringLiteral("ini/JoylistNew.ini"));
}

QString JoyCatalogue::defaultPictureFolder()
{
    return ResPaths::res(QStringLiteral("bmp/joy"));
}

bool JoyCatalogue::LoadJoyCatalogue()
{
    return LoadJoyCatalogue(defaultPath(), defaultPictureFolder());
}

const CJoyData *JoyCatalogue::entry(int index) const
{
    if (index < 0 || index >= JoyCount || index >= MaxRecords)
        return nullptr;
    return JoyList[static_cast<size_t>(index)].get();
}

QImage JoyCatalogue::picture(int index) const
{
    const CJoyData *joy = entry(index);
    return joy ? joy->Picture : QImage();
}

bool JoyCatalogue::loadRecords(const QString &text, const QString &pictureFolder)
{
    const QStringList lines = AnsiText::splitLines(text);
    if (lines.isEmpty())
        return false; // not even the header line
    int i = 0;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        if (i >= MaxRecords)
            return false;
        auto joy = std::make_unique<CJoyData>();
        const bool ok = joy->Load(lines[n]);
        JoyList[static_cast<size_t>(i)] = std::move(joy);
        if (!ok)
            return false;
        CJoyData &loaded = *JoyList[static_cast<size_t>(i)];
        if (loaded.JoyName == QLatin1String("NOTUSED"))
            NotUsedJoyID = loaded.JoyID;
        loaded.LoadPictures(pictureFolder, &pumpEvents);
        pumpEvents();
        ++i;
    }
    JoyCount = static_cast<int16_t>(i);
    return true;
}

bool JoyCatalogue::LoadJoyCatalogue(const QString &path, const QString &pictureFolder)
{
    JoyCount = 0;
    NotUsedJoyID = 0;
    QString text;
    return finishLoad(AnsiText::readFile(path, text) && loadRecords(text, pictureFolder));
}

bool JoyCatalogue::LoadJoyCatalogueBytes(const QByteArray &bytes, const QString &pictureFolder)
{
    JoyCount = 0;
    NotUsedJoyID = 0;
    return finishLoad(loadRecords(AnsiText::decode(bytes), pictureFolder));
}

bool JoyCatalogue::finishLoad(bool good)
{
    if (good)
        return true;
    // records before the failing line stay in their slots but count as absent,
    // and so does a "NOTUSED" among them
    JoyCount = 0;
    NotUsedJoyID = 0;
    if (m_messages)
        m_messages->show(QStringLiteral("'JoyList.ini' file NOT FOUND or CORRUPTED"),
                         MessageService::Buttons::Ok, MessageService::Icon::Critical);
    return false;
}
