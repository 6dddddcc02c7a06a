#pragma once

#include "pagebase.h"

// Tab 3, the diagnostic error words.
class FrmDiagnostic : public PageBase
{
    Q_OBJECT
public:
    explicit FrmDiagnostic(const PageContext &context, QWidget *parent = nullptr);

    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
    void Deactivate() override;
};
