#pragma once

#include "commentpage.h"
#include "pagebase.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// Tab 6, the comment block that travels with a saved configuration file.
class FrmComment : public PageBase, public CommentPage
{
    Q_OBJECT
public:
    explicit FrmComment(const PageContext &context, QWidget *parent = nullptr);

    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;

    QString BuildInfoStr() const override;
    void ExtractInfo(const QString &AuxStr, const QString &FileName) override;

    // The name of the file last loaded or saved.
    void setFileName(const QString &name);
    QString fileName() const;

private:
    QLineEdit *addField(const QString &name, const QString &labelName, const QString &caption);

    QLineEdit *m_author;
    QLineEdit *m_date;
    QLineEdit *m_revision;
    QLineEdit *m_company;
    QPlainTextEdit *m_info;
    QLabel *m_name;
};
