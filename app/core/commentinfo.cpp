#include "commentinfo.h"

#include <QRegularExpression>

const QString CommentInfo::Separator = QStringLiteral(";-------------------------------------------");
const QStringList CommentInfo::FieldCaptions = {QStringLiteral("Author:"), QStringLiteral("Date:"),
                                                QStringLiteral("Revision:"), QStringLiteral("Company:"),
                                                QStringLiteral("Additional Comments:")};

namespace {

const QChar Tab = QLatin1Char('\t');
const QString Cr = QStringLiteral("\r");
const QString CrLf = QStringLiteral("\r\n");

const QRegularExpression &lineBreak()
{
    static const QRegularExpression re(QStringLiteral("\r\n|\r|\n"));
    return re;
}

// A field takes one line of the block: a line break in it would end the line
// and break the block, so it is written as a blank.
QString fieldLine(const QString &caption, QString value)
{
    return caption + Tab + value.replace(lineBreak(), QStringLiteral(" ")) + Tab + Cr;
}

// The value of a field line: between the caption's TAB and the closing TAB.
QString fieldValue(const QString &line)
{
    const qsizetype tab = line.indexOf(Tab);
    if (tab < 0)
        return QString();
    QString value = line.mid(tab + 1);
    if (value.endsWith(Tab))
        value.chop(1);
    return value;
}

} // namespace

QString CommentInfo::BuildInfoStr() const
{
    // Text boxes may hand over LF or CR alone; every line break is stored as
    // CR LF TAB so that each continuation line starts with TAB. That TAB also
    // keeps a comments line that reads like the separator from ending the block.
    QString text = comments;
    text.replace(lineBreak(), QStringLiteral("\r\n\t"));

    QString block = Separator + Cr;
    block += fieldLine(FieldCaptions[0], author);
    block += fieldLine(FieldCaptions[1], date);
    block += fieldLine(FieldCaptions[2], revision);
    block += fieldLine(FieldCaptions[3], company);
    block += FieldCaptions[4] + Tab + Cr;
    block += Tab + text + Cr;
    block += Separator + Cr;
    return block;
}

CommentInfo CommentInfo::ExtractInfo(const QString &AuxStr)
{
    // one line per field, then the comments lines; every line ends with CR LF
    QStringList lines = AuxStr.split(CrLf);
    if (AuxStr.endsWith(CrLf))
        lines.removeLast();
    CommentInfo info;
    QString *const fields[] = {&info.author, &info.date, &info.revision, &info.company};
    for (int k = 0; k < 4 && k < lines.size(); ++k)
        *fields[k] = fieldValue(lines[k]);
    info.comments = lines.mid(5).join(CrLf);
    return info;
}

bool CommentInfo::operator==(const CommentInfo &other) const
{
    return author == other.author && date == other.date && revision == other.revision
           && company == other.company && comments == other.comments;
}
