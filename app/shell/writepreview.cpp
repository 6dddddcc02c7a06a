#include "writepreview.h"

#include "comparetable.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString WritePreview::noDifferenceText()
{
    return QStringLiteral("No parameter differs from what the control unit held at its last read.");
}

WritePreviewDialog::WritePreviewDialog(const QString &command, const QList<ConfigCompare::Row> &rows, QWidget *parent)
    : QDialog(parent), m_table(new CompareTable(this))
{
    setObjectName(QStringLiteral("frmWritePreview"));
    setWindowTitle(command);
    const int n = int(rows.size());
    auto *heading = new QLabel(n == 0 ? QString()
                                      : QStringLiteral("%1 will send %2 %3 that the control unit does not hold:")
                                            .arg(command)
                                            .arg(n)
                                            .arg(n == 1 ? QStringLiteral("value") : QStringLiteral("values")),
                               this);
    heading->setObjectName(QStringLiteral("LblPreview"));
    heading->setVisible(n > 0);
    m_table->setRows({QStringLiteral("Name"), QStringLiteral("Unit value"), QStringLiteral("New value"),
                      QStringLiteral("Unit")},
                     rows, WritePreview::noDifferenceText());
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *write = buttons->addButton(QStringLiteral("&Write"), QDialogButtonBox::AcceptRole);
    write->setObjectName(QStringLiteral("CmdWrite"));
    write->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    write->setFocus();
}

bool DialogWritePreview::confirm(const QString &command, const QList<ConfigCompare::Row> &rows)
{
    WritePreviewDialog dialog(command, rows, m_parent);
    return dialog.exec() == QDialog::Accepted;
}
