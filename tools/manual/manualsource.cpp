#include "manualsource.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {

bool readText(const QString &path, QString *text)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *text = QString::fromUtf8(f.readAll());
    return true;
}

} // namespace

QString ManualSource::titleOf(const QString &html)
{
    static const QRegularExpression h1(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
                                       QRegularExpression::CaseInsensitiveOption
                                           | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = h1.match(html);
    if (!m.hasMatch())
        return QString();
    return QTextDocumentFragment::fromHtml(m.captured(1)).toPlainText().simplified();
}

bool ManualSource::fail(const QString &message)
{
    m_error = message;
    m_chapters.clear();
    return false;
}

bool ManualSource::load(const QString &folder, const QString &orderFile)
{
    m_chapters.clear();
    m_error.clear();
    const QDir dir(folder);
    QString order;
    if (!readText(dir.filePath(orderFile), &order))
        return fail(QStringLiteral("cannot read %1").arg(dir.filePath(orderFile)));

    int lineNo = 0;
    for (const QString &raw : order.split(QLatin1Char('\n'))) {
        ++lineNo;
        const QString line = raw.section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList parts = line.split(QRegularExpression(QStringLiteral("\\s+")));
        const QString where = QStringLiteral("%1 line %2").arg(orderFile).arg(lineNo);
        if (parts.size() != 2)
            return fail(where + QStringLiteral(": expected a file and a start page"));

        Chapter c;
        if (parts.at(1) != QLatin1String("-")) {
            bool ok = false;
            c.fixedStart = parts.at(1).toInt(&ok);
            if (!ok || c.fixedStart < 1)
                return fail(where + QStringLiteral(": start page must be a number from 1 or \"-\""));
        }
        if (parts.at(0) == QLatin1String("@contents")) {
            c.isContents = true;
            c.title = QStringLiteral("Contents");
        } else {
            c.file = parts.at(0);
            if (!readText(dir.filePath(c.file), &c.html))
                return fail(where + QStringLiteral(": cannot read %1").arg(c.file));
            c.title = titleOf(c.html);
            if (c.title.isEmpty())
                return fail(QStringLiteral("%1 has no <h1> title").arg(c.file));
        }
        m_chapters.append(c);
    }
    if (m_chapters.isEmpty())
        return fail(QStringLiteral("%1 names no chapter").arg(orderFile));
    return true;
}
