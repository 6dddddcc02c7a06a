#include "commentinfo.h"

#include "stringeval.h"

#include <QRegularExpression>

const QString CommentInfo::Separator = QStringLiteral(";-------------------------------------------");

namespace {

const QChar Tab = QLatin1Char('\t');
const QString Cr = QStringLiteral("\r");
const QString CrLf = QStringLiteral("\r\n");

QString fieldLine(const QString &caption, const QString &value)
{
    return caption + Tab + value + Tab + Cr;
}

} // namespace

QString CommentInfo::BuildInfoStr() const
{
    // Text boxes may hand over LF or CR alone; every line break is stored as
    // CR LF TAB so that each continuation line starts with TAB.
    QString text = comments;
    text.replace(QRegularExpression(QStringLiteral("\r\n|\r|\n")), QStringLiteral("\r\n\t"));

    QString block = Separator + Cr;
    block += fieldLine(QStringLiteral("Author:"), author);
    block += fieldLine(QStringLiteral("Date:"), date);
    block += fieldLine(QStringLiteral("Revision:"), revision);
    block += fieldLine(QStringLiteral("Company:"), company);
    block += QStringLiteral("Additional Comments:") + Tab + Cr;
    block += Tab + text + Cr;
    block += Separator + Cr;
    return block;
}

CommentInfo CommentInfo::ExtractInfo(const QString &AuxStr)
{
    using StringEval::NextTabField;
    QString rest = AuxStr;
    CommentInfo info;
    NextTabField(rest);
    info.author = NextTabField(rest);
    NextTabField(rest);
    info.date = NextTabField(rest);
    NextTabField(rest);
    info.revision = NextTabField(rest);
    NextTabField(rest);
    info.company = NextTabField(rest);
    NextTabField(rest);
    // What remains starts with the line end of the "Additional Comments:" line
    // and ends with the one the loader put after the last comment line; the
    // latter is dropped too, or every save and load would add an empty line.
    QString text = rest.mid(2);
    if (text.endsWith(CrLf))
        text.chop(2);
    info.comments = text;
    return info;
}

bool CommentInfo::operator==(const CommentInfo &other) const
{
    return author == other.author && date == other.date && revision == other.revision
           && company == other.company && comments == other.comments;
}
