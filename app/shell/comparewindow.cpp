#include "comparewindow.h"

#include "ansitext.h"
#include "comparetable.h"
#include "filedialogservice.h"
#include "messageservice.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

CompareWindow::CompareWindow(const Services &services, QWidget *parent)
    : QDialog(parent), m_services(services), m_table(new CompareTable(this)), m_sides(new QLabel(this))
{
    setObjectName(QStringLiteral("frmCompare"));
    setModal(false);
    m_sides->setObjectName(QStringLiteral("LblSides"));
    m_sides->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(this);
    const struct { const char *name; const char *text; void (CompareWindow::*slot)(); } commands[] = {
        {"CmdCopy", "&Copy", &CompareWindow::copy},
        {"CmdPrint", "&Print to PDF...", &CompareWindow::printToPdf},
        {"CmdExport", "&Export CSV...", &CompareWindow::exportCsv},
    };
    for (const auto &c : commands) {
        QPushButton *button = buttons->addButton(QString::fromLatin1(c.text), QDialogButtonBox::ActionRole);
        button->setObjectName(QLatin1String(c.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, c.slot);
    }
    QPushButton *close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_sides);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
}

void CompareWindow::showComparison(const QString &title, const ConfigCompare::Side &program,
                                   const ConfigCompare::Side &other, const QString &otherTitle,
                                   const QList<ConfigCompare::Row> &rows)
{
    m_title = title;
    m_when = QDateTime::currentDateTime();
    setWindowTitle(title);
    const int n = int(rows.size());
    m_sidesText = QStringLiteral("%1 against %2: %3")
                      .arg(program.label, other.label,
                           n == 0 ? QStringLiteral("no parameter differs.")
                                  : QStringLiteral("%1 %2.").arg(n).arg(n == 1 ? QStringLiteral("parameter differs")
                                                                             : QStringLiteral("parameters differ")));
    m_sides->setText(m_sidesText);
    m_table->setRows({QStringLiteral("Name"), QStringLiteral("Program value"), otherTitle, QStringLiteral("Unit")}, rows,
                     QStringLiteral("No parameter differs."));
}

void CompareWindow::copy()
{
    QGuiApplication::clipboard()->setText(m_table->tabText());
}

QString CompareWindow::chooseFile(const QString &title, const QString &filter, const QString &suffix)
{
    if (!m_services.dialogs)
        return QString();
    const auto chosen = m_services.dialogs->saveFile({title, filter, m_services.folder, QStringLiteral("Compare")});
    if (!chosen || chosen->isEmpty())
        return QString();
    return QFileInfo(*chosen).suffix().isEmpty() ? *chosen + QLatin1Char('.') + suffix : *chosen;
}

void CompareWindow::saveFailed(const QString &path)
{
    if (m_services.messages)
        m_services.messages->show(QStringLiteral("Could not write %1.").arg(path), MessageService::Buttons::Ok,
                                  MessageService::Icon::Critical);
}

void CompareWindow::printToPdf()
{
    const QString path = chooseFile(QStringLiteral("Print Comparison To ..."), QStringLiteral("*.pdf|*.pdf"),
                                    QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    QTextDocument document;
    document.setHtml(QStringLiteral("<h2>%1</h2><p>%2<br>%3</p>%4")
                         .arg(m_title.toHtmlEscaped(), m_sidesText.toHtmlEscaped(),
                              QLocale().toString(m_when, QLocale::LongFormat).toHtmlEscaped(), m_table->htmlTable()));
    QPdfWriter writer(path);
    writer.setTitle(m_title);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    document.print(&writer);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        saveFailed(path);
}

void CompareWindow::exportCsv()
{
    const QString path = chooseFile(QStringLiteral("Export Comparison To ..."), QStringLiteral("*.csv|*.csv"),
                                    QStringLiteral("csv"));
    if (!path.isEmpty() && !AnsiText::replaceFile(path, m_table->csvText().toUtf8()))
        saveFailed(path);
}
