#include "configfile.h"

#include "ansitext.h"
#include "commentinfo.h"
#include "commentpage.h"
#include "messageservice.h"
#include "session.h"
#include "vbnumber.h"

#include <QFileInfo>

namespace {

const QChar Tab = QLatin1Char('\t');
const QChar Cr = QLatin1Char('\r');

} // namespace

File::File(Session &session) : m_session(session) {}

int File::FileExists(const QString &path)
{
    return QFileInfo::exists(path) ? 1 : 0;
}

QString File::formatAddress(int32_t address)
{
    const QString hex = QStringLiteral("%1").arg(static_cast<uint32_t>(address), 6, 16, QLatin1Char('0')).toUpper();
    return hex.left(4) + QLatin1Char('.') + hex.mid(4);
}

bool File::isSaved(int index) const
{
    const Catalogue &cat = m_session.catalogue;
    const CVarDataS *d = cat.data(index);
    if (!d)
        return false;
    const auto pages = static_cast<uint16_t>(m_session.e2Image.AllPagesMask());
    if ((static_cast<uint16_t>(d->KRVPageDomain) & pages) == 0)
        return false;
    // the section count being edited, not the controller's: a file holds the sections it configures
    const CVarDataS *sections = cat.data(KRV_NUM_PROP_REG);
    return !sections || d->TbxTypeID < sections->KrvDownloadValueE2;
}

QString File::FormatConfigLine(int index) const
{
    const CVarDataS *d = m_session.catalogue.data(index);
    if (!d)
        return QString();
    return d->TooltipDecription + Tab + formatAddress(d->Address) + Tab
           + VbNumber::format(d->KrvDownloadValueE2, u"00000") + Cr;
}

QString File::BuildConfigText()
{
    QString text = m_session.commentPage ? m_session.commentPage->BuildInfoStr() : CommentInfo().BuildInfoStr();
    text += ConfigFileReader::ColumnHeader + Cr;
    for (int i = 1; i < m_session.catalogue.VarCount; ++i) {
        if (isSaved(i))
            text += FormatConfigLine(i);
    }
    text += QStringLiteral("\r\n");
    return text;
}

bool File::SaveConfig(const QString &path)
{
    return AnsiText::replaceFile(path, AnsiText::encode(BuildConfigText()));
}

ConfigFileReader::Result File::ReadConfig(const QString &path, StagedConfig &staged) const
{
    return ConfigFileReader(m_session.catalogue).readFile(path, staged);
}

void File::CommitConfig(const StagedConfig &staged, const QString &fileName)
{
    Catalogue &cat = m_session.catalogue;
    QList<int> loaded;
    for (const StagedConfig::Value &v : staged.values) {
        CVarData *var = cat.entry(v.index);
        var->LoadFromFile(v.value);
        var->WriteE2inQEL();
        loaded.append(v.index);
    }

    // an out-of-range value must not go on its way to the controller
    const QString faults = m_session.e2Image.CheckRanges(loaded);
    if (!faults.isEmpty() && m_session.messages)
        m_session.messages->show(faults, MessageService::Buttons::Ok);

    if (m_session.commentPage)
        m_session.commentPage->ExtractInfo(staged.commentText, fileName);
}

ConfigFileReader::Result File::commitIfGood(const ConfigFileReader::Result &result, const StagedConfig &staged,
                                            const QString &fileName)
{
    if (result.good())
        CommitConfig(staged, fileName);
    return result;
}

ConfigFileReader::Result File::LoadConfig(const QString &path, const QString &fileName)
{
    StagedConfig staged;
    const ConfigFileReader::Result result = commitIfGood(ReadConfig(path, staged), staged, fileName);
    if (result.good())
        m_session.history.setSourceFile(path);
    return result;
}

ConfigFileReader::Result File::LoadConfigBytes(const QByteArray &bytes, const QString &fileName)
{
    StagedConfig staged;
    return commitIfGood(ConfigFileReader(m_session.catalogue).readBytes(bytes, staged), staged, fileName);
}
