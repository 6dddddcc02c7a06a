#pragma once

#include "pagebase.h"

// Tab 4, the control unit's key and production number.
class FrmService : public PageBase
{
    Q_OBJECT
public:
    explicit FrmService(const PageContext &context, QWidget *parent = nullptr);

    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
};
