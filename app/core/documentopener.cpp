#include "documentopener.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

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

DocumentOpener::Launch DocumentOpener::plan(const QString &filePath, const QString &parameters)
{
    const QString document = documentPath(filePath, parameters);
    const int p = page(parameters);
    if (document.isEmpty())
        return {};
    // How each viewer is told the page: an option before the document, a
    // "#page" after its path, or a page number after the document.
    enum class PageStyle { Option, Fragment, Trailing };
    struct Viewer
    {
        const char *name;
        PageStyle style;
        const char *option;
    };
    static const Viewer viewers[] = {
        {"evince", PageStyle::Option, "-p"},   {"okular", PageStyle::Option, "-p"},
        {"atril", PageStyle::Option, "-p"},    {"xreader", PageStyle::Option, "-p"},
        {"zathura", PageStyle::Option, "-P"},  {"qpdfview", PageStyle::Fragment, nullptr},
        {"mupdf", PageStyle::Trailing, nullptr},
    };
    if (p > 0) {
        const QString number = QString::number(p);
        for (const Viewer &v : viewers) {
            const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(v.name));
            if (exe.isEmpty())
                continue;
            switch (v.style) {
            case PageStyle::Option:
                return {exe, {QString::fromLatin1(v.option), number, document}};
            case PageStyle::Fragment:
                return {exe, {document + QStringLiteral("#") + number}};
            case PageStyle::Trailing:
                return {exe, {document, number}};
            }
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
