#pragma once

#include "flatprogressbar.h"
#include "progressbarview.h"
#include "statusbarview.h"

#include <QIcon>
#include <QStatusBar>
#include <array>

class QLabel;

// The main window's nine-panel status bar with the progress bar laid over
// panel 4.
class MainStatusBar : public QStatusBar, public StatusBarView, public ProgressBarView
{
    Q_OBJECT
public:
    static constexpr int PanelCount = 9;

    explicit MainStatusBar(QWidget *parent = nullptr);

    // The three state pictures, loaded by the main window.
    void setStateIcons(const QIcon &green, const QIcon &white, const QIcon &red);

    void setPanelText(int position, const QString &text) override;
    QString panelText(int position) const override;
    void setPanelIcon(int position, StateIcon icon) override;
    StateIcon panelIcon(int position) const;

    void setValue(int value) override;
    int value() const override;

    QLabel *panel(int position) const;
    QProgressBar *progressBar() const { return m_progress; }

    // Lays the progress bar over panel 4.
    void AddProgBar();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Panel
    {
        QLabel *text = nullptr;
        QLabel *picture = nullptr;
        StateIcon icon = StateIcon::None;
    };
    void showIcon(const Panel &panel);

    std::array<Panel, PanelCount + 1> m_panels;   // 1-based
    FlatProgressBar *m_progress;
    QIcon m_icons[4];
};
