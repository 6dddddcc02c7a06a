#pragma once

#include "passwordcheck.h"

#include <QDialog>

class MessageService;
class QLabel;
class QLineEdit;
class QPushButton;

// The assistance login dialog. A correct password (any letter case) accepts
// the dialog; a wrong one keeps it open with an empty entry.
class FrmPwd : public QDialog
{
    Q_OBJECT
public:
    FrmPwd(PasswordCheck check, MessageService *messages, QWidget *parent = nullptr);

    QLineEdit *entry() const { return m_text; }

    void accept() override;

signals:
    void loggedIn();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    PasswordCheck m_check;
    MessageService *m_messages;
    QLabel *m_label;
    QLineEdit *m_text;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
