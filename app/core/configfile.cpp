#include "configfile.h"

#include "ansitext.h"
#include "commentinfo.h"
#include "commentpage.h"
#include "configitemreader.h"
#include "messageservice.h"
#include "session.h"
#include "stringeval.h"
#include "vbnumber.h"

#include <QFile>
#include <QFileInfo>

const QString File::NotFound = QStringLiteral("Variable Not Found");
const QString File::OpenFailed = QStringLiteral("FAILED!");

namespace {

const QChar Tab = QLatin1Char('\t');
const QChar Cr = QLatin1Char('\r');

bool isHexDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const char l = c.toLatin1();
        if (!((l >= '0' && l <= '9') || (l >= 'a' && l <= 'f') || (l >= 'A' && l <= 'F')))
            return false;
    }
    return true;
}

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
    text += QStringLiteral("Variable Name\tAddress\tValue\r");
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

QString File::parseConfigLine(const QString &line, int &loaded)
{
    loaded = 0;
    QString rest = line;
    const QString description = StringEval::NextTabField(rest);
    if (description.isEmpty() || description.contains(QStringLiteral("---")))
        return QString();
    QString addressText = StringEval::NextTabField(rest);
    const QString valueText = StringEval::NextTabField(rest);

    addressText.remove(QLatin1Char('.'));
    // an empty or damaged address (such as the tail of a description cut at a comma) matches nothing
    if (!isHexDigits(addressText) || addressText.size() > 8)
        return NotFound;
    const auto address = static_cast<int32_t>(addressText.toUInt(nullptr, 16));

    Catalogue &cat = m_session.catalogue;
    for (int i = 1; i < cat.VarCount; ++i) {
        CVarData *var = cat.entry(i);
        if (var->Data->Address != address)
            continue;
        const int32_t value = VbNumber::saturateInt32(VbNumber::leadingNumber(valueText));
        var->LoadFromFile(value);
        var->WriteE2inQEL();
        loaded = i;
        return QString();
    }
    return NotFound;
}

QString File::ParseConfigLine(const QString &line)
{
    int loaded = 0;
    return parseConfigLine(line, loaded);
}

QString File::LoadConfig(const QString &path, const QString &fileName)
{
    QString text;
    if (!AnsiText::readFile(path, text))
        return OpenFailed;

    ConfigItemReader reader(text);
    reader.nextLine(); // the first separator line
    QString comment;
    QString result;
    QList<int> loaded;
    bool valueMode = false;
    while (!reader.atEnd()) {
        if (valueMode) {
            int index = 0;
            // one unmatched line makes the whole load a failure, not only the last line
            if (!parseConfigLine(reader.next(), index).isEmpty())
                result = NotFound;
            if (index != 0)
                loaded.append(index);
            continue;
        }
        // the comment block is free text: its lines are read whole, commas and all
        const QString line = reader.nextLine();
        if (line.contains(CommentInfo::Separator)) {
            reader.nextLine(); // the column header
            valueMode = true;
        } else {
            comment += line + QStringLiteral("\r\n");
        }
    }

    // a damaged file must not put an out-of-range value on its way to the controller
    const QString faults = m_session.e2Image.CheckRanges(loaded);
    if (!faults.isEmpty() && m_session.messages)
        m_session.messages->show(faults, MessageService::Buttons::Ok);

    if (m_session.commentPage)
        m_session.commentPage->ExtractInfo(comment, fileName);
    return result;
}
