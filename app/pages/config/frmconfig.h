#pragma once

#include "pagebase.h"

// Tab 1, the system configuration page.
class FrmConfig : public PageBase
{
    Q_OBJECT
public:
    explicit FrmConfig(const PageContext &context, QWidget *parent = nullptr);

    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
};
