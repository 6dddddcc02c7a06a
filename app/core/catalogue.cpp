#include "catalogue.h"

#include "ansitext.h"
#include "messageservice.h"
#include "respaths.h"

#include <QFileInfo>
#include <algorithm>

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
    m_listProblem = QStringLiteral("no variable list loaded");
}

QString Catalogue::loadLines(const QString &text)
{
    QStringList lines = AnsiText::splitLines(text);
    if (lines.isEmpty())
        return QStringLiteral("is empty"); // not even the header line
    VarCount = 0;
    int index = 1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString lineNumber = QStringLiteral("line %1: ").arg(i + 1);
        if (index > MaxEntries)
            return lineNumber + QStringLiteral("more than %1 variables").arg(MaxEntries);
        auto var = std::make_unique<CVarData>(this);
        var->Data->VarID = static_cast<int16_t>(index);
        QString problem;
        if (!var->Load(lines[i], &problem))
            return lineNumber + problem;
        var->ReadE2FromQEL(var->Data->QelValueDefault);
        VarList[static_cast<size_t>(index)] = std::move(var);
        ++index;
    }
    VarCount = static_cast<int16_t>(index);
    return QString();
}

bool Catalogue::LoadRamList(const QString &path)
{
    QString text;
    if (!AnsiText::readFile(path, text))
        return finishLoad(QFileInfo::exists(path) ? QStringLiteral("cannot be read") : QStringLiteral("not found"), path);
    return finishLoad(loadLines(text), path);
}

bool Catalogue::LoadRamListBytes(const QByteArray &bytes, const QString &name)
{
    return finishLoad(loadLines(AnsiText::decode(bytes)), name);
}

bool Catalogue::finishLoad(const QString &problem, const QString &name)
{
    if (problem.isEmpty()) {
        m_listProblem = VarCount > 1 ? QString() : name + QStringLiteral(": no variables");
        return true;
    }
    m_listProblem = name + (problem.startsWith(QLatin1String("line ")) ? QStringLiteral(", ") : QStringLiteral(": "))
                    + problem;
    // a half-loaded list counts as empty: release what the failed load made
    for (auto &slot : VarList)
        slot.reset();
    VarCount = 0;
    if (m_messages)
        m_messages->show(QStringLiteral("'Ramlist.ini' file NOT FOUND or CORRUPTED"),
                         MessageService::Buttons::Ok, MessageService::Icon::Critical);
    return false;
}

QString Catalogue::listProblem() const
{
    return m_listProblem;
}

QString Catalogue::refusalText() const
{
    if (usable())
        return QString();
    return QStringLiteral("Variable list missing or corrupt: ") + m_listProblem;
}

Catalogue::E2Snapshot Catalogue::saveE2Values() const
{
    E2Snapshot snapshot(static_cast<size_t>(std::max<int>(VarCount, 0)));
    for (int i = 1; i < VarCount; ++i) {
        const CVarDataS *d = data(i);
        snapshot[static_cast<size_t>(i)] = {d->QelValueE2, d->KrvDownloadValueE2, d->KrvDisplayValueE2};
    }
    return snapshot;
}

void Catalogue::restoreE2Values(const E2Snapshot &snapshot)
{
    const int count = std::min<int>(VarCount, static_cast<int>(snapshot.size()));
    for (int i = 1; i < count; ++i) {
        CVarDataS *d = data(i);
        const E2Values &v = snapshot[static_cast<size_t>(i)];
        d->QelValueE2 = v.qel;
        d->KrvDownloadValueE2 = v.download;
        d->KrvDisplayValueE2 = v.display;
    }
}

int Catalogue::indexAt(int32_t address) const
{
    for (int i = 1; i < VarCount; ++i) {
        if (const CVarDataS *d = data(i); d && d->Address == address)
            return i;
    }
    return 0;
}
