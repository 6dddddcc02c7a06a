#include "filedialogservice.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QStringList>

QString QtFileDialogService::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    return out.join(QStringLiteral(";;"));
}

std::optional<QString> QtFileDialogService::openFile(const Request &request)
{
    const QString path = QFileDialog::getOpenFileName(m_parent, request.title, request.folder, qtFilter(request.filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtFileDialogService::saveFile(const Request &request)
{
    // The overwrite question is the program's own, so the dialog must not ask it too.
    const QString proposed = QDir(request.folder).filePath(request.fileName);
    const QString path = QFileDialog::getSaveFileName(m_parent, request.title, proposed, qtFilter(request.filter),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QColor> QtFileDialogService::chooseColour(const QColor &initial)
{
    const QColor colour = QColorDialog::getColor(initial, m_parent);
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}
