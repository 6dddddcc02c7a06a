#pragma once

#include "frmjoycanui.h"
#include "joycansettings.h"

#include <QDialog>
#include <array>
#include <functional>

class NumericField;
class QComboBox;
class Session;

// "Configure Joystick Can": the CAN joystick's node and time-out, its four
// channels, where the fourteen digital inputs sit in the CAN data, the inputs
// of the dead-man, fast/slow and float functions, the float currents and the
// section options. Shown, it takes the settings from the catalogue; Ok writes
// them all back, Cancel drops the edits.
class FrmJoyCan : public QDialog
{
    Q_OBJECT
public:
    explicit FrmJoyCan(Session &session, QWidget *parent = nullptr);
    ~FrmJoyCan() override;

    // The configuration page's joystick pictures, redrawn after Ok.
    void setConfigDrawJoy(std::function<void()> configDrawJoy) { m_configDrawJoy = std::move(configDrawJoy); }

    // Shows the window modeless; a hidden window is filled anew.
    void open();

    const FrmJoyCanUi &ui() const { return m_ui; }

    // The settings as the widgets show them.
    JoyCanSettings settings() const;

public slots:
    // Closing the window drops the edits, as Cancel does.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void connectRules();
    void Activate();
    void dgtTypeChanged(int i);
    void joyTypeChanged(int k);
    void dgtIndexChanged(int j);
    void optionToggled(int k, int bit, bool checked);
    // Ok: every number in range first, else the window stays.
    bool confirmNumbers();
    void cmdOk();

    // The list item that stands for `value`; a stored value the list has no
    // item for gets one of its own, so Ok writes it back unchanged.
    static void selectValue(QComboBox *combo, int value);
    static int value(const QComboBox *combo);

    Session &m_session;
    FrmJoyCanUi m_ui;
    std::array<NumericField *, 6> m_numbers{};
    std::array<int32_t, JoyCanWords::Channels> m_options{};
    std::function<void()> m_configDrawJoy;
};
