#pragma once

#include "keycommands.h"
#include "pagebase.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Tab 4, the control unit's key and production number: read both, write a
// new key, lock the unit.
class FrmService : public PageBase
{
    Q_OBJECT
public:
    static constexpr int ProductionDataLabels = 4;

    explicit FrmService(const PageContext &context, QWidget *parent = nullptr);

    void RefreshObject() override;
    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
    void Activate() override { RefreshObject(); }

private:
    void cmdReadKey();
    void cmdWriteKey();
    void cmdLock();
    QWidget *buildUnlockFrame();
    QWidget *buildProductionFrame();

    KeyCommands m_commands;
    QPushButton *m_cmdReadKey = nullptr;
    QPushButton *m_cmdWriteKey = nullptr;
    QLineEdit *m_txtKey = nullptr;
    QLineEdit *m_lbProductionNumber = nullptr;
};
