#include "frmservice.h"

#include "session.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const ProductionCaptions[FrmService::ProductionDataLabels] = {"Year", "Week", "Production Order",
                                                                          "Serial Number"};
}

FrmService::FrmService(const PageContext &context, QWidget *parent)
    : PageBase(QStringLiteral("frmService"), QStringLiteral("Key"), 10000, 10001, 32, context, parent),
      m_commands(*context.session, [this](KeyCommands::Field field, const QString &text) {
          (field == KeyCommands::Field::Key ? m_txtKey : m_lbProductionNumber)->setText(text);
      })
{
    auto *column = new QVBoxLayout(this);
    column->addWidget(buildUnlockFrame());
    column->addWidget(buildProductionFrame());
    column->addStretch();
    connect(&session().IsConnectObj, &ConnectionState::assigned, this, [this](int16_t state) {
        if (state == ConnectionState::NotConnected)
            m_commands.forgetKnownValues();
    });
    RefreshObject();
}

QWidget *FrmService::buildUnlockFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("Unlock Electronic Control Unit"), this);
    auto *form = new QFormLayout(frame);
    m_txtKey = new QLineEdit(frame);
    m_txtKey->setObjectName(QStringLiteral("TxtKey"));
    m_txtKey->setToolTip(QStringLiteral("Key: eight hexadecimal digits after \"0x\"; 0x0 is locked"));
    m_txtKey->setMaximumWidth(160);
    m_lbProductionNumber = new QLineEdit(frame);
    m_lbProductionNumber->setObjectName(QStringLiteral("lbProductionNumber"));
    m_lbProductionNumber->setReadOnly(true);
    m_lbProductionNumber->setMaximumWidth(160);
    form->addRow(QStringLiteral("Key"), m_txtKey);
    form->addRow(QStringLiteral("Production Number"), m_lbProductionNumber);

    m_cmdReadKey = new QPushButton(QStringLiteral("Read"), frame);
    m_cmdReadKey->setObjectName(QStringLiteral("CmdReadKey"));
    m_cmdWriteKey = new QPushButton(QStringLiteral("Write Key"), frame);
    m_cmdWriteKey->setObjectName(QStringLiteral("CmdWriteKey"));
    auto *lock = new QPushButton(QStringLiteral("Lock"), frame);
    lock->setObjectName(QStringLiteral("cmdLock"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {m_cmdReadKey, m_cmdWriteKey, lock}) {
        button->setMinimumWidth(100);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    form->addRow(buttons);

    connect(m_cmdReadKey, &QPushButton::clicked, this, &FrmService::cmdReadKey);
    connect(m_cmdWriteKey, &QPushButton::clicked, this, &FrmService::cmdWriteKey);
    connect(lock, &QPushButton::clicked, this, &FrmService::cmdLock);
    return frame;
}

QWidget *FrmService::buildProductionFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("Production Data"), this);
    auto *form = new QFormLayout(frame);
    for (int i = 0; i < ProductionDataLabels; ++i) {
        auto *value = new QLabel(QStringLiteral("0"), frame);
        value->setObjectName(QStringLiteral("lblService_%1").arg(i));
        value->setAutoFillBackground(true);
        value->setStyleSheet(QStringLiteral("background-color: #E0E0E0; padding: 2px;"));
        value->setFixedWidth(160);
        form->addRow(QString::fromLatin1(ProductionCaptions[i]), value);
    }
    return frame;
}

void FrmService::RefreshObject()
{
    m_cmdReadKey->setEnabled(true);
    m_cmdWriteKey->setEnabled(true);
}

void FrmService::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    if (session().IsConnectObj.isConnected())
        session().ProgressPercent = 0;
    drawConnectionBar(statusBar, text, {false, false, true, false, true, true});
}

void FrmService::cmdReadKey()
{
    m_commands.readKey();
}

void FrmService::cmdWriteKey()
{
    m_commands.writeKey(m_txtKey->text());
}

void FrmService::cmdLock()
{
    m_commands.lock();
}
