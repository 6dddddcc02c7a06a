#include "documentopener.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// How each viewer is told the page: an option before the document, a
// "#page" after its path, or a page number after the document.
enum class PageStyle { Option, Fragment, Trailing };
struct Viewer
{
    const char *name;
    PageStyle style;
    const char *option;
};
// In the order they are tried when the desktop names no default.
const Viewer Viewers[] = {
    {"evince", PageStyle::Option, "-p"},   {"okular", PageStyle::Option, "-p"},
    {"atril", PageStyle::Option, "-p"},    {"xreader", PageStyle::Option, "-p"},
    {"zathura", PageStyle::Option, "-P"},  {"qpdfview", PageStyle::Fragment, nullptr},
    {"mupdf", PageStyle::Trailing, nullptr},
};

const Viewer *knownViewer(const QString &program)
{
    const QString name = QFileInfo(program).fileName();
    for (const Viewer &v : Viewers) {
        if (name == QLatin1String(v.name))
            return &v;
    }
    return nullptr;
}

DocumentOpener::Launch atPage(const Viewer &v, const QString &exe, const QString &document, int page)
{
    const QString number = QString::number(page);
    switch (v.style) {
    case PageStyle::Option:
        return {exe, {QString::fromLatin1(v.option), number, document}};
    case PageStyle::Fragment:
        return {exe, {document + QStringLiteral("#") + number}};
    case PageStyle::Trailing:
        return {exe, {document, number}};
    }
    return {};
}

// An Exec line's arguments with its field codes filled in: the document for
// the file and URL codes, nothing for the others, "%%" a percent sign. A line
// without a file code is given the document at its end.
QStringList execArguments(const QStringList &words, const QString &document)
{
    QStringList out;
    bool documentGiven = false;
    for (const QString &word : words) {
        if (word == QLatin1String("%f") || word == QLatin1String("%F") || word == QLatin1String("%u")
            || word == QLatin1String("%U")) {
            out << document;
            documentGiven = true;
            continue;
        }
        QString filled;
        for (int i = 0; i < word.size(); ++i) {
            if (word.at(i) != QLatin1Char('%') || i + 1 == word.size())
                filled += word.at(i);
            else if (word.at(++i) == QLatin1Char('%'))
                filled += QLatin1Char('%');
        }
        if (!filled.isEmpty())
            out << filled;
    }
    if (!documentGiven)
        out << document;
    return out;
}

// The Exec line of a desktop entry's main group, its escapes undone.
QString execLine(const QString &desktopFile)
{
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool mainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            mainGroup = line == QLatin1String("[Desktop Entry]");
        else if (mainGroup && line.startsWith(QLatin1String("Exec")) && line.mid(4).trimmed().startsWith(QLatin1Char('=')))
            return line.mid(line.indexOf(QLatin1Char('=')) + 1)
                .trimmed()
                .replace(QLatin1String("\\\\"), QLatin1String("\\"))
                .replace(QLatin1String("\\s"), QLatin1String(" "));
    }
    return {};
}

} // namespace

QString DocumentOpener::documentPath(const QString &filePath, const QString &parameters)
{
    // the last quoted (or half-quoted) piece that is not the page options
    const QStringList pieces = parameters.split(QLatin1Char('"'), Qt::SkipEmptyParts);
    for (auto it = pieces.crbegin(); it != pieces.crend(); ++it) {
        const QString piece = it->trimmed();
        const bool option = piece.size() <= 2 && piece.startsWith(QLatin1Char('/')); // "/A"
        if (piece.isEmpty() || option || piece.contains(QLatin1Char('=')))
            continue;
        return QString(piece).replace(QLatin1Char('\\'), QLatin1Char('/'));
    }
    return QString(filePath).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

int DocumentOpener::page(const QString &parameters)
{
    static const QRegularExpression re(QStringLiteral("page=(\\d+)"));
    const auto m = re.match(parameters);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString DocumentOpener::defaultPdfApplication()
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return {};
    QProcess p;
    p.start(query, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/pdf")});
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    const QString id = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed().section(QLatin1Char('\n'), 0, 0);
    if (!id.endsWith(QLatin1String(".desktop")))
        return {};
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
}

DocumentOpener::Launch DocumentOpener::fromDesktopEntry(const QString &desktopFile, const QString &document, int page)
{
    if (desktopFile.isEmpty())
        return {};
    const QStringList words = QProcess::splitCommand(execLine(desktopFile));
    if (words.isEmpty())
        return {};
    const QString exe = QFileInfo(words.first()).isAbsolute() ? words.first()
                                                               : QStandardPaths::findExecutable(words.first());
    if (exe.isEmpty() || !QFileInfo(exe).isExecutable())
        return {};
    if (const Viewer *v = knownViewer(exe); v && page > 0)
        return atPage(*v, exe, document, page);
    return {exe, execArguments(words.mid(1), document)};
}

DocumentOpener::Launch DocumentOpener::plan(const QString &filePath, const QString &parameters)
{
    const QString document = documentPath(filePath, parameters);
    const int p = page(parameters);
    if (document.isEmpty())
        return {};
    const Launch preferred = fromDesktopEntry(defaultPdfApplication(), document, p);
    if (!preferred.program.isEmpty())
        return preferred;
    if (p > 0) {
        for (const Viewer &v : Viewers) {
            const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(v.name));
            if (!exe.isEmpty())
                return atPage(v, exe, document, p);
        }
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return {};
    return {opener, {document}};
}

bool DocumentOpener::open(const QString &filePath, const QString &parameters)
{
    const Launch launch = plan(filePath, parameters);
    if (launch.program.isEmpty())
        return false;
    return QProcess::startDetached(launch.program, launch.arguments);
}
