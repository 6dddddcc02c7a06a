#pragma once

#include "debugcommands.h"
#include "pagebase.h"

class DitherFrame;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// Tab 5, the electronic debugger: single words of any catalogue variable read
// and written by address, one address watched continuously, the dither
// settings tuned live, the controller's LOAD command. Usable only while
// logged in.
class FrmDebug : public PageBase
{
    Q_OBJECT
public:
    static constexpr int MonitorInterval = 20;

    explicit FrmDebug(const PageContext &context, QWidget *parent = nullptr);

    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
    void DisableTimer() override { MonitorStop = true; }
    bool StatusTimerForm() const override { return m_busy; }
    void Activate() override;
    void Deactivate() override;

    // Every widget of the page follows the login state; the monitor stops.
    void applyLoginDependency();
    // Fills the variable list from the catalogue: "-------", then every entry.
    void CmbUpdate();
    static int TextStringIsInteger(const QString &Text);
    // Waits while letting window events run.
    static void Wait(double milliseconds);

    bool MonitorStop = true;
    QTimer *tmrDebug() const { return m_tmrDebug; }

private:
    void selectVariable(int index);
    void addressEntered();
    void cmdRead();
    void cmdDisplay();
    void cmdWrite();
    void cmdSet();
    void cmdMonitor();
    void monitorTick();
    void cmdReset();
    void ditherRead();
    void ditherUpdate();

    QWidget *buildTop();
    QWidget *buildGeneral();
    QWidget *buildQelView();
    QWidget *buildButtons();
    QLabel *addLabel(const QString &name, const QString &text);
    QPushButton *addButton(const QString &name, const QString &caption);

    // The address the commands work on; false (and a message) when there is none.
    bool commandAddress(int32_t &address);
    void read(DebugCommands::Column column);
    void write(bool eeprom);
    void showColumn(DebugCommands::Column column, const QString &raw);
    void setMonitorLocked(bool locked);
    void stopMonitorTimer();

    DebugCommands m_commands;
    QComboBox *m_cmbVariablesList = nullptr;
    QLineEdit *m_txtAddress = nullptr;
    QLineEdit *m_txtData = nullptr;
    QLabel *m_lblName = nullptr;
    QLabel *m_lblAddress = nullptr;
    QLabel *m_lblTooltip = nullptr;
    QLabel *m_lblMonitorName = nullptr;
    QLabel *m_lblUnit = nullptr;
    QLabel *m_lblE2Data = nullptr;
    QLabel *m_lblRAMData = nullptr;
    QLabel *m_lblDisplayE2 = nullptr;
    QLabel *m_lblDisplayRAM = nullptr;
    QLabel *m_lblUnitE2 = nullptr;
    QLabel *m_lblUnitRam = nullptr;
    QPushButton *m_cmdRead = nullptr;
    QPushButton *m_cmdDisplay = nullptr;
    QPushButton *m_cmdWrite = nullptr;
    QPushButton *m_cmdSet = nullptr;
    QPushButton *m_cmdMonitor = nullptr;
    DitherFrame *m_dither = nullptr;
    QTimer *m_tmrDebug = nullptr;
    bool m_busy = false;
};
