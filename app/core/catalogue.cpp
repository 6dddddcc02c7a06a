#include "catalogue.h"

#include "ansitext.h"
#include "messageservice.h"
#include "respaths.h"

Catalogue::Catalogue(MessageService *messages) : m_messages(messages) {}

Catalogue::~Catalogue() = default;

QString Catalogue::defaultRamListPath()
{
    return ResPaths::res(QStringLiteral("ini/Ramlist.ini"));
}

CVarData *Catalogue::entry(int index) const
{
    if (index < 1 || index >= VarCount || index > MaxEntries)
        return nullptr;
    return VarList[static_cast<size_t>(index)].get();
}

CVarDataS *Catalogue::data(int index) const
{
    CVarData *e = entry(index);
    return e ? e->Data.get() : nullptr;
}

void Catalogue::SetVarID(const QString &symbolicName, int16_t index)
{
    if (symbolicName.isEmpty())
        return;
    for (int i = 0; i < KRV_ID_COUNT; ++i) {
        if (symbolicName == QLatin1String(krvIdName(static_cast<KrvId>(i)))) {
            ids[static_cast<size_t>(i)] = index;
            return;
        }
    }
}

void Catalogue::ClearVarList()
{
    for (auto &slot : VarList)
        slot.reset();
    VarCount = 0;
}

bool Catalogue::loadLines(const QString &path)
{
    QString text;
    if (!AnsiText::readFile(path, text))
        return false;
    QStringList lines = AnsiText::splitLines(text);
    if (lines.isEmpty())
        return false; // not even the header line
    VarCount = 0;
    int index = 1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (index > MaxEntries)
            return false;
        auto var = std::make_unique<CVarData>(this);
        var->Data->VarID = static_cast<int16_t>(index);
        if (!var->Load(lines[i]))
            return false;
        var->ReadE2FromQEL(var->Data->QelValueDefault);
        VarList[static_cast<size_t>(index)] = std::move(var);
        ++index;
    }
    VarCount = static_cast<int16_t>(index);
    return true;
}

bool Catalogue::LoadRamList(const QString &path)
{
    if (loadLines(path))
        return true;
    // a half-loaded list counts as empty: release what the failed load made
    for (auto &slot : VarList)
        slot.reset();
    VarCount = 0;
    if (m_messages)
        m_messages->show(QStringLiteral("'Ramlist.ini' file NOT FOUND or CORRUPTED"),
                         MessageService::Buttons::Ok, MessageService::Icon::Critical);
    return false;
}
