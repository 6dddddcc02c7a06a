#pragma once

#include <QList>
#include <array>

class CSection;
class LineSegment;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QWidget;
class ShapeWidget;

// The widgets of the configuration page, created and placed on the page with
// their design-time captions. Control arrays hold index k (section, 0 to 3)
// or c (coil, 0 to 7); their elements are named "<array>_<index>".
class FrmConfigUi
{
public:
    static constexpr int Sections = 4;
    static constexpr int Coils = 8;
    static constexpr int LineArrays = 4;
    // Segments of Line0 .. Line3.
    static constexpr std::array<int, LineArrays> LineSegments{6, 2, 6, 9};

    // How the system drawing treats a control (see `controls`).
    enum class Kind { Label, Section, Image, PictureBox, Line, Other };
    struct Control
    {
        QWidget *widget;
        Kind kind;
        int index;      // index in its control array, -1 when it is not in one
        int lineArray;  // j of Line<j> for line segments, else -1
    };

    void setupUi(QWidget *page);

    // Control unit picture and the two hidden selection boxes.
    QLabel *ImgQELPic = nullptr;
    QLabel *ImgQEL = nullptr;
    QComboBox *CmbTBXType = nullptr;
    QComboBox *CmbTBXSysType = nullptr;

    QTabWidget *SSTab1 = nullptr;
    QFrame *Frame4 = nullptr; // CURRENTS
    QFrame *Frame3 = nullptr; // CURRENTS SLOW
    QFrame *Frame2 = nullptr; // RAMPS

    // The two current tabs.
    std::array<CSection *, Sections> MagA{}, MagB{}, MagAsdm{}, MagBsdm{};
    std::array<QLabel *, Sections> lblMag{}, lblMagsdm{};
    std::array<QLabel *, Sections> MagSel{}, MagSelsdm{};
    std::array<ShapeWidget *, Sections> MagFocus{}, MagFocussdm{};
    std::array<QLabel *, Sections> LblFreq{}, LblAmp{};
    QLabel *LblMin = nullptr, *lblMax = nullptr, *Label4 = nullptr, *Label5 = nullptr;
    std::array<QLabel *, Sections> lblCurrent{}, lblCurrentsdm{}, lblRump{};

    // The ramps tab.
    std::array<QGroupBox *, Sections> RampA{}, RampB{};
    std::array<QLineEdit *, Coils> TxtTRise{}, TxtTFall{};
    std::array<QScrollBar *, Coils> hscTRise{}, hscTFall{};
    std::array<QLabel *, Sections> lblUnit1TR{}, lblUnit1TF{}, lblUnit2TR{}, lblUnit2TF{};
    std::array<QCheckBox *, Sections> ChkBreak{}, ChkFull{};
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;

    // Inputs.
    std::array<QLabel *, Sections> lblSectionDesc{}, lblJoyDesc{}, lblJoy{}, JoySel{}, LblPin{};
    std::array<ShapeWidget *, Sections> JoyFocus{};

    // Hydraulic lines: Line[j] is the array Line<j>.
    std::array<QList<LineSegment *>, LineArrays> Line;

    QPushButton *CmdCanSettings = nullptr;

    // Settings frames that are never shown.
    QFrame *Frame1 = nullptr;
    QComboBox *Cmb2BProp = nullptr, *CmbAIRange = nullptr;
    QGroupBox *FrmFloat = nullptr;
    QComboBox *CmbDMPina = nullptr, *CmbFLoatPina = nullptr, *CmbFloatMagneta = nullptr;
    QScrollBar *hscFloatCurrenta = nullptr;
    QLineEdit *TxtFloatCurrenta = nullptr;

    // Every control of the page in the page's control order.
    QList<Control> controls;

private:
    void buildModel(QWidget *page);
    void buildTabs(QWidget *page);
    void buildCurrentsTab(QFrame *tab, bool slow);
    void buildRampsTab(QFrame *tab);
    void buildRampFrame(QGroupBox *frame, int coil, QLabel *&unitRise, QLabel *&unitFall);
    void buildInputs(QWidget *page);
    void buildLines(QWidget *page);
    void buildHiddenFrames(QWidget *page);

    template <class W>
    W *add(W *widget, const QString &name, Kind kind, int index = -1, int lineArray = -1);
};
