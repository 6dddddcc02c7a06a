#pragma once

#include "flatprogressbar.h"

#include <QDialog>
#include <cstdint>
#include <functional>

// The small modeless window with one progress bar that transfers show while
// they read or write.
class FrmWait : public QDialog
{
    Q_OBJECT
public:
    explicit FrmWait(QWidget *parent = nullptr);

    // Lets pending events run once the bar is drawn (the link scheduler's
    // pump, so that nothing they start re-enters the transfer).
    void setPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // Shows the window with the text as caption and the bar at the value;
    // at 100 or more the window closes in the same call.
    void DrawWaitBar(int16_t &ProgressValue, const QString &Msg_Text = QString());
    void closeWait();

    QProgressBar *progressBar() const { return m_bar; }

private:
    FlatProgressBar *m_bar;
    std::function<void()> m_pump;
};
