#include "frmcomment.h"

#include "commentinfo.h"
#include "session.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

FrmComment::FrmComment(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("frmComment"), QStringLiteral("Info"), 10000, 10001, 34, context, parent)
{
    auto *form = new QFormLayout(this);
    setLayout(form);
    m_author = addField(QStringLiteral("txtAutor"), QStringLiteral("lblAutor"), QStringLiteral("Author:"));
    m_date = addField(QStringLiteral("txtDate"), QStringLiteral("lblData"), QStringLiteral("Date:"));
    m_revision = addField(QStringLiteral("TxtRevision"), QStringLiteral("LblRevision"), QStringLiteral("Revision:"));
    m_company = addField(QStringLiteral("TxtCompany"), QStringLiteral("LblCompany"), QStringLiteral("Company:"));

    auto *infoLabel = new QLabel(QStringLiteral("Additional Comments:"), this);
    infoLabel->setObjectName(QStringLiteral("LblInfo"));
    m_info = new QPlainTextEdit(this);
    m_info->setObjectName(QStringLiteral("TxtInfo"));
    form->addRow(infoLabel, m_info);
    connect(m_info, &QPlainTextEdit::textChanged, this, [this] { session().CommentEdited = true; });

    auto *nameLabel = new QLabel(QStringLiteral("File Name:"), this);
    nameLabel->setObjectName(QStringLiteral("Label2"));
    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("lblName"));
    form->addRow(nameLabel, m_name);
}

QLineEdit *FrmComment::addField(const QString &name, const QString &labelName, const QString &caption)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(labelName);
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    static_cast<QFormLayout *>(layout())->addRow(label, edit);
    connect(edit, &QLineEdit::textChanged, this, [this] { session().CommentEdited = true; });
    return edit;
}

void FrmComment::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    if (session().IsConnectObj.isConnected())
        session().ProgressPercent = 0;
    drawConnectionBar(statusBar, text, {false, false, true, false, true, true});
}

QString FrmComment::BuildInfoStr() const
{
    CommentInfo info;
    info.author = m_author->text();
    info.date = m_date->text();
    info.revision = m_revision->text();
    info.company = m_company->text();
    info.comments = m_info->toPlainText();
    return info.BuildInfoStr();
}

void FrmComment::ExtractInfo(const QString &AuxStr, const QString &FileName)
{
    const CommentInfo info = CommentInfo::ExtractInfo(AuxStr);
    m_author->setText(info.author);
    m_date->setText(info.date);
    m_revision->setText(info.revision);
    m_company->setText(info.company);
    // the lines come without the TAB the block puts before them: a TAB or
    // blank that starts a line is the user's own
    QString comments = info.comments;
    m_info->setPlainText(comments.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setFileName(FileName);
}

void FrmComment::setFileName(const QString &name)
{
    m_name->setText(name);
}

QString FrmComment::fileName() const
{
    return m_name->text();
}
