#include "comparewindow.h"

#include "comparetable.h"
#include "exportfile.h"

#include <QBuffer>
#include <QClipboard>
#include <QDialogButtonBox>
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

void CompareWindow::printToPdf()
{
    exportFile(m_services.dialogs, m_services.messages,
               {QStringLiteral("Print Comparison To ..."), QStringLiteral("*.pdf|*.pdf"), m_services.folder,
                QStringLiteral("Compare")},
               [this] {
                   QTextDocument document;
                   document.setHtml(QStringLiteral("<h2>%1</h2><p>%2<br>%3</p>%4")
                                        .arg(m_title.toHtmlEscaped(), m_sidesText.toHtmlEscaped(),
                                             QLocale().toString(m_when, QLocale::LongFormat).toHtmlEscaped(),
                                             m_table->htmlTable()));
                   QByteArray pdf;
                   { // the writer is done with the buffer before the bytes are handed on
                       QBuffer buffer(&pdf);
                       buffer.open(QIODevice::WriteOnly);
                       QPdfWriter writer(&buffer);
                       writer.setTitle(m_title);
                       writer.setPageSize(QPageSize(QPageSize::A4));
                       writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
                       document.print(&writer);
                   }
                   return pdf;
               },
               QStringLiteral("pdf"));
}

void CompareWindow::exportCsv()
{
    exportFile(m_services.dialogs, m_services.messages,
               {QStringLiteral("Export Comparison To ..."), QStringLiteral("*.csv|*.csv"), m_services.folder,
                QStringLiteral("Compare")},
               [this] { return m_table->csvText().toUtf8(); }, QStringLiteral("csv"));
}
