#pragma once

#include "diagnosticlist.h"
#include "pagebase.h"
#include "pollingpage.h"

#include <array>
#include <memory>

class ActiveErrorList;
class DiagnosticError;
class PagePoller;
class QRadioButton;
class QTabBar;
class QTimer;
class QTreeWidget;

// Tab 3, the diagnostics page: while it is in front and the link is up,
// TimerDiagnostic reads the controller's error words every 100 ms into eleven
// rows of error bits, and ListView1 lists every error that is set.
class FrmDiagnostic : public PageBase, public PollingPage
{
    Q_OBJECT
public:
    static constexpr int RowCount = 11;
    static constexpr int BoundRows = 7;
    static constexpr int OptionCount = 4;
    enum OptionGroup { Joystick, Current, Setpoint };

    explicit FrmDiagnostic(const PageContext &context, QWidget *parent = nullptr,
                           const QString &listPath = DiagnosticList::defaultPath());
    ~FrmDiagnostic() override;

    // Page interface.
    void RefreshObject() override;
    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
    void DisableTimer() override;
    bool StatusTimerForm() const override;
    void Activate() override;
    void Deactivate() override;
    PagePoller &poller() override { return *m_poller; }

    void DrawOptSelct();
    // One polling cycle over the enabled rows; the error text of a failed read, else empty.
    QString ReadDiagnosticVar();

    DiagnosticError *row(int i) const { return m_rows[static_cast<size_t>(i)]; }
    QTreeWidget *ListView1() const { return m_listView; }
    QTabBar *TabStrip1() const { return m_tabStrip; }
    QRadioButton *option(OptionGroup group, int index) const;
    QTimer *TimerDiagnostic() const;
    const DiagnosticList &diagnosticList() const { return m_list; }

private:
    // The link was lost: neutral lamps and no error listed until the next reading.
    void showStale();
    void buildRows(class QVBoxLayout *layout);
    QWidget *buildOptions();

    DiagnosticList m_list;
    std::array<DiagnosticError *, RowCount> m_rows{};
    QTreeWidget *m_listView = nullptr;
    QTabBar *m_tabStrip = nullptr;
    std::array<std::array<QRadioButton *, OptionCount>, 3> m_options{};
    std::unique_ptr<ActiveErrorList> m_active;
    PagePoller *m_poller;
    int m_captionRoom = 0; // the width a row has on the page for its bit captions
};
