#include "frmpwd.h"

#include "messageservice.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

FrmPwd::FrmPwd(PasswordCheck check, MessageService *messages, QWidget *parent)
    : QDialog(parent), m_check(std::move(check)), m_messages(messages)
{
    setObjectName(QStringLiteral("FrmPwd"));
    setWindowTitle(QStringLiteral("Password Required"));
    m_label = new QLabel(QStringLiteral("Enter the assistance password:"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setEchoMode(QLineEdit::Password);
    m_text->installEventFilter(this);
    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("CmdOk"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CmdCancel"));
    connect(m_ok, &QPushButton::clicked, this, &FrmPwd::accept);
    connect(m_cancel, &QPushButton::clicked, this, &FrmPwd::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    setFixedWidth(300);
}

void FrmPwd::accept()
{
    if (m_check.matches(m_text->text())) {
        m_text->clear();
        emit loggedIn();
        QDialog::accept();
        return;
    }
    m_text->clear();
    if (m_messages)
        m_messages->show(QStringLiteral("Wrong Password"), MessageService::Buttons::Ok,
                         MessageService::Icon::Warning, windowTitle());
    m_text->setFocus();
}

bool FrmPwd::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text) {
        if (event->type() == QEvent::KeyPress) {
            // The apostrophe never reaches the entry.
            if (static_cast<QKeyEvent *>(event)->text() == QLatin1String("'"))
                return true;
        } else if (event->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, m_text, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmPwd::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (parentWidget()) {
        const QPoint centre = parentWidget()->frameGeometry().center();
        move(centre - rect().center());
    }
    m_text->setFocus();
}
