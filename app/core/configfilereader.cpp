#include "configfilereader.h"

#include "ansitext.h"
#include "catalogue.h"
#include "commentinfo.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <limits>

const QString ConfigFileReader::ColumnHeader = QStringLiteral("Variable Name\tAddress\tValue");

namespace {

const QChar Tab = QLatin1Char('\t');
const QString CrLf = QStringLiteral("\r\n");

// The lines of a text split at CR, LF or CR LF; `tail` is what follows the
// last line end (a line the file ends inside of).
struct Lines
{
    QStringList whole;
    QString tail;
};

Lines splitLines(const QString &text)
{
    Lines lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.whole << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    lines.tail = text.mid(start);
    return lines;
}

QString withoutTrailingBlanks(QString line)
{
    while (!line.isEmpty() && (line.back() == QLatin1Char(' ') || line.back() == Tab))
        line.chop(1);
    return line;
}

// The block's own lines carry no leading blank, and every comments line
// starts with TAB, so a comment that reads like a separator never ends the block.
bool isSeparator(const QString &line)
{
    return withoutTrailingBlanks(line) == CommentInfo::Separator;
}

QString lineText(int number, const QString &reason)
{
    return QStringLiteral("line %1: %2").arg(number).arg(reason);
}

// A description as a message quotes it: a line of garbage must not fill the screen.
QString shortened(const QString &text)
{
    constexpr qsizetype Longest = 80;
    return text.size() <= Longest ? text : text.left(Longest - 3) + QStringLiteral("...");
}

bool parseAddress(QString text, int32_t &address)
{
    text.remove(QLatin1Char('.'));
    if (text.isEmpty() || text.size() > 8)
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return false;
    }
    address = static_cast<int32_t>(text.toUInt(nullptr, 16));
    return true;
}

enum class Number { Good, NotWhole, TooLarge };

Number parseValue(const QString &text, int32_t &value)
{
    const qsizetype digitsFrom = (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (text.size() == digitsFrom)
        return Number::NotWhole;
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return Number::NotWhole;
    }
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
        return Number::TooLarge;
    value = static_cast<int32_t>(number);
    return Number::Good;
}

} // namespace

ConfigFileReader::Result ConfigFileReader::readFile(const QString &path, StagedConfig &staged) const
{
    // a device or a pipe could feed the reader without end
    const QFileInfo info(path);
    if (!info.exists())
        return {Status::Unreadable, QStringLiteral("no such file")};
    if (!info.isFile())
        return {Status::Unreadable, QStringLiteral("not a regular file")};
    if (info.size() > MaxFileSize)
        return {Status::Unreadable, QStringLiteral("larger than 16 MB")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::Unreadable, file.errorString()};
    // read no more than the limit, should the file have grown since
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {Status::Unreadable, file.errorString()};
    if (bytes.size() > MaxFileSize)
        return {Status::Unreadable, QStringLiteral("larger than 16 MB")};
    return readBytes(bytes, staged);
}

ConfigFileReader::Result ConfigFileReader::readBytes(const QByteArray &bytes, StagedConfig &staged) const
{
    if (bytes.size() > MaxFileSize)
        return {Status::Unreadable, QStringLiteral("larger than 16 MB")};
    return readText(AnsiText::decode(bytes), staged);
}

ConfigFileReader::Result ConfigFileReader::readText(const QString &text, StagedConfig &staged) const
{
    const auto bad = [](int number, const QString &reason) { return Result{Status::Bad, lineText(number, reason)}; };
    if (text.isEmpty())
        return bad(1, QStringLiteral("the file is empty"));
    const Lines lines = splitLines(text);
    const QStringList &whole = lines.whole;
    const int count = int(whole.size());
    StagedConfig read;

    if (count == 0 || !isSeparator(whole[0]))
        return bad(1, QStringLiteral("no comment block"));
    int n = 1;
    for (const QString &caption : CommentInfo::FieldCaptions) {
        if (n >= count || !whole[n].startsWith(caption))
            return bad(n + 1, QStringLiteral("no '%1' line in the comment block").arg(caption));
        read.commentText += whole[n++] + CrLf;
    }
    for (; n < count && !isSeparator(whole[n]); ++n)
        read.commentText += (whole[n].startsWith(Tab) ? whole[n].mid(1) : whole[n]) + CrLf;
    if (n >= count)
        return bad(n, QStringLiteral("the comment block is not closed"));
    ++n;
    if (n >= count || withoutTrailingBlanks(whole[n]) != ColumnHeader)
        return bad(n + 1, QStringLiteral("no column header"));

    for (++n; n < count; ++n) {
        const QString reason = readValueLine(whole[n], read);
        if (!reason.isEmpty())
            return bad(n + 1, reason);
    }
    // the writer ends the file with an empty line: without it the file was cut
    if (!lines.tail.isEmpty())
        return bad(count + 1, QStringLiteral("the file ends inside this line (cut off)"));
    if (!whole.last().trimmed().isEmpty())
        return bad(count, QStringLiteral("the file ends after this line (cut off)"));
    if (read.values.isEmpty())
        return bad(count, QStringLiteral("no value lines"));
    staged = read;
    return {};
}

QString ConfigFileReader::readValueLine(const QString &line, StagedConfig &staged) const
{
    const QStringList fields = line.split(Tab);
    const QString &description = fields[0];
    // empty lines and the placeholder of an empty field carry no value
    if (description.trimmed().isEmpty() || description.contains(QStringLiteral("---")))
        return QString();
    const QString quoted = QLatin1Char('\'') + shortened(description) + QLatin1Char('\'');
    if (fields.size() < 2 || fields[1].trimmed().isEmpty())
        return QStringLiteral("no address for ") + quoted;
    int32_t address = 0;
    if (!parseAddress(fields[1].trimmed(), address))
        return QStringLiteral("bad address '%1' for %2").arg(fields[1], quoted);
    const int index = m_catalogue.indexAt(address);
    if (index == 0)
        return QStringLiteral("%1 (address %2) is not in the variable list").arg(quoted, fields[1].trimmed());
    const QString valueText = fields.value(2).trimmed();
    if (valueText.isEmpty())
        return QStringLiteral("no value for ") + quoted;
    if (!fields.mid(3).join(QString()).trimmed().isEmpty())
        return QStringLiteral("more than a value for ") + quoted;
    int32_t value = 0;
    switch (parseValue(valueText, value)) {
    case Number::NotWhole:
        return QStringLiteral("value '%1' for %2 is not a whole number").arg(valueText, quoted);
    case Number::TooLarge:
        return QStringLiteral("value '%1' for %2 does not fit 32 bits").arg(valueText, quoted);
    case Number::Good:
        break;
    }
    staged.values.append({index, value});
    return QString();
}
