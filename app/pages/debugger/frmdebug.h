#pragma once

#include "pagebase.h"

// Tab 5, the electronic debugger; usable only while logged in.
class FrmDebug : public PageBase
{
    Q_OBJECT
public:
    explicit FrmDebug(const PageContext &context, QWidget *parent = nullptr);

    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
    void Activate() override;
    void Deactivate() override;

    // Every widget of the page follows the login state.
    void applyLoginDependency();
};
