#pragma once

#include "joycanwords.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QWidget;

// The widgets of the CAN joystick and digital settings window with their
// captions and filled lists. Every list item carries the number it stands
// for. Control arrays are named "<array>_<index>": digital rows 1 to 14,
// channels and sections 0 to 3, function inputs 0 to 5.
class FrmJoyCanUi
{
public:
    static constexpr int Inputs = JoyCanWords::DigitalInputs;
    static constexpr int Channels = JoyCanWords::Channels;
    static constexpr int Functions = JoyCanWords::Functions;
    static constexpr int FloatSections = 4;

    void setupUi(QWidget *window);

    QGroupBox *FrameJoyID = nullptr;
    QLineEdit *TxtJoyID = nullptr;
    QScrollBar *hscJoyID = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLineEdit *TxtJoyTimeout = nullptr;
    QScrollBar *hscJoyTimeout = nullptr;

    // Joystick channels.
    std::array<QLabel *, Channels> LblJoyName{};
    std::array<QComboBox *, Channels> CmbJoyType{}, CmbJoyWord{}, CmbJoyDgtA{}, CmbJoyDgtB{}, CmbJoyInversion{};

    // Digital inputs, index 1 to 14 (0 unused).
    QGroupBox *Frame2 = nullptr;
    std::array<QLabel *, Inputs + 1> LblGgtName{};
    std::array<QComboBox *, Inputs + 1> CmbDgtType{}, CmbByteNum{}, CmbBitNum{};

    // Function inputs and the floating sections, float section n at index n - 1.
    QGroupBox *Frame4 = nullptr;
    std::array<QComboBox *, Functions> CmbDgtIndex{};
    std::array<QLineEdit *, FloatSections> TxtCurrentFloat{};
    std::array<QScrollBar *, FloatSections> hscCurrentFloat{};
    std::array<QCheckBox *, FloatSections> ChkFloat{};

    // Section options.
    QGroupBox *Frame5 = nullptr;
    std::array<QCheckBox *, Channels> ChkUpEn{}, ChkUpJoyNeutral{}, ChkNeutralNeed{};

    QPushButton *CmdOk = nullptr;
    QPushButton *CmdCancel = nullptr;

private:
    QGroupBox *buildJoystick();
    QGroupBox *buildChannels();
    QGroupBox *buildDigital();
    QGroupBox *buildCommands();
    QGroupBox *buildOptions();
};
