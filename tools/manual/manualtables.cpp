#include "manualtables.h"

#include "cdiagnosticdata.h"
#include "cjoydata.h"
#include "diagnosticlist.h"
#include "joycatalogue.h"
#include "quietservices.h"

namespace {

QString cell(const QString &text) { return text.toHtmlEscaped(); }

} // namespace

bool ManualTables::build()
{
    m_snippets.clear();
    m_images.clear();
    m_error.clear();
    return buildJoysticks() && buildDiagnostics();
}

bool ManualTables::buildJoysticks()
{
    QuietMessages messages;
    JoyCatalogue joys(&messages);
    if (!joys.LoadJoyCatalogue() || joys.JoyCount == 0) {
        m_error = QStringLiteral("the joystick catalogue did not load (%1)").arg(messages.shown.join(QLatin1Char(' ')));
        return false;
    }
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
                                  "<tr><th width=\"8%\">Index</th><th width=\"18%\">Picture</th>"
                                  "<th width=\"18%\">Code</th><th>Description</th></tr>");
    for (int i = 0; i < joys.JoyCount; ++i) {
        const CJoyData *j = joys.entry(i);
        if (!j)
            continue;
        QString picture;
        if (!j->Picture.isNull()) {
            const QString name = QStringLiteral("joy-") + j->JoyName.toLower();
            m_images.insert(name, j->Picture);
            picture = QStringLiteral("<img src=\"shot:%1\" width=\"40\" height=\"%2\">")
                          .arg(name)
                          .arg(qRound(40.0 * j->Picture.height() / std::max(1, j->Picture.width())));
        }
        QStringList lines;
        for (const QString &d : {j->Descr1, j->Descr2, j->Descr3, j->Descr4})
            if (!d.trimmed().isEmpty())
                lines << cell(d);
        if (j->Available < 1)
            lines << QStringLiteral("<i>not available</i>");
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(i)
                    .arg(picture, cell(j->JoyCode), lines.join(QStringLiteral("; ")));
    }
    html += QStringLiteral("</table>");
    m_snippets.insert(QStringLiteral("joysticks"), html);
    return true;
}

bool ManualTables::buildDiagnostics()
{
    QuietMessages messages;
    DiagnosticList list(&messages);
    if (!list.Load() || list.rowCount() == 0) {
        m_error = QStringLiteral("the diagnostic list did not load (%1)").arg(messages.shown.join(QLatin1Char(' ')));
        return false;
    }
    QString html;
    for (int row = 0; row < list.rowCount(); ++row) {
        QString rows;
        QString word; // the word's name, as the active-error list shows it
        for (int bit = 0; bit < DiagnosticList::BitSlots; ++bit) {
            const CDiagnosticData *d = list.cell(row, bit);
            if (!d || d->DescrLine1.isEmpty()) // never listed as an error (the ready bit)
                continue;
            if (word.isEmpty())
                word = d->DescrLine1;
            rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td></tr>")
                        .arg(1 << bit)
                        .arg(cell(d->DescrLine2), cell(d->Code), cell(d->DescrLine3), cell(d->DescrLine4));
        }
        if (rows.isEmpty())
            continue;
        const QString name = QStringLiteral("Row %1: %2").arg(row + 1).arg(cell(word));
        html += QStringLiteral("<h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">"
                               "<tr><th width=\"8%\">Value</th><th width=\"10%\">Error ID</th>"
                               "<th width=\"20%\">Shown as</th><th width=\"28%\">Meaning</th><th>What to do</th></tr>")
                    .arg(name)
                + rows + QStringLiteral("</table>");
    }
    m_snippets.insert(QStringLiteral("diagnostics"), html);
    return true;
}
