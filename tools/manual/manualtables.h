#pragma once

#include <QHash>
#include <QImage>
#include <QString>

// Reference tables of the manual drawn from the program's own lists, so the
// manual lists exactly the joysticks and error bits the program knows:
// "joysticks" (JoylistNew.ini, with the model pictures as "joy-<name>") and
// "diagnostics" (DiagnosticList.ini). Chapters place them with <!--@name-->.
class ManualTables
{
public:
    // False with error() set when a list cannot be read.
    bool build();

    const QHash<QString, QString> &snippets() const { return m_snippets; }
    const QHash<QString, QImage> &images() const { return m_images; }
    QString error() const { return m_error; }

private:
    bool buildJoysticks();
    bool buildDiagnostics();

    QHash<QString, QString> m_snippets;
    QHash<QString, QImage> m_images;
    QString m_error;
};
