#pragma once

#include "frmconfigui.h"
#include "krvid.h"
#include "joycatalogue.h"
#include "pagebase.h"
#include "systempictures.h"

#include <memory>

class RampEditor;
class SystemDrawing;

// Tab 1, the system configuration page: the valve sections with their coil
// currents, ramps, ramp modes, dither and inputs. It shows and edits
// catalogue records only; the main window does the transfers.
class FrmConfig : public PageBase
{
    Q_OBJECT
public:
    explicit FrmConfig(const PageContext &context, QWidget *parent = nullptr);
    ~FrmConfig() override;

    void RefreshData();
    QString CheckDataToWrite() override;
    void RefreshName();
    void RefreshColour() override;
    void RefreshConfiguration();
    void RefreshObject() override;
    void DrawDither();
    void DrawTBXSystem();
    void ConfigDrawFloat();
    void ConfigDrawMag();
    void ConfigDrawJoy();
    void JoyVarDefaultSet();
    void DisableTimer() override {}
    bool StatusTimerForm() const override { return false; }
    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
    int16_t FindKRVLabelTRISE(int index) const;
    int16_t FindKRVLabelTFALL(int index) const;

    // Pin caption of input k from its configuration word.
    void DescribeJoyInput(int k, int32_t word);

    // The joystick models whose pictures the inputs show (loaded with the page;
    // the CAN joystick window shows them too) and the system's pictures.
    const JoyCatalogue &joyCatalogue() const { return m_joys; }
    SystemPictures &pictures() { return m_pictures; }

    const FrmConfigUi &ui() const { return m_ui; }
    RampEditor &ramps() { return *m_ramps; }

signals:
    // A dither button was clicked: the dither dialog is to be shown.
    void ditherSettingsRequested();
    // "JoyStick and Digital Settings": the CAN joystick window is to be shown.
    void canSettingsRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Hands the joystick pictures and pin captions to the shared system state.
    void publishInputs();
    void connectSections();
    void sectionChanged(CSection *section, bool minimum);
    void bindSection(CSection *section, KrvId minId, KrvId maxId);
    void systemTypeSelected(int index);
    void modelSelected(int index);

    FrmConfigUi m_ui;
    JoyCatalogue m_joys;
    SystemPictures m_pictures;
    std::unique_ptr<RampEditor> m_ramps;
    std::unique_ptr<SystemDrawing> m_drawing;
};
