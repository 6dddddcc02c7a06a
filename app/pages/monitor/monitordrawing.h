#pragma once

#include <QList>
#include <QPixmap>
#include <array>
#include <cstdint>

class JoyMonitor;
class QGroupBox;
class QLabel;
class QScrollBar;
class QWidget;
class SectionColours;
class ShapeWidget;

// The widgets of the monitor page: the valve system drawn as four section
// rows (joystick input on the left, control unit in the middle, coils on the
// right), the controller state, the supply and the power outputs and digital
// inputs. It lays them out and shows readings on them; it knows nothing of
// the controller or the catalogue.
class MonitorDrawing
{
public:
    static constexpr int Sections = 4;
    static constexpr int LineSegments = 2;
    // Colours as 0x00BBGGRR.
    static constexpr uint32_t Blue = 0x00FF0000;
    static constexpr uint32_t Red = 0x000000FF;
    static constexpr uint32_t White = 0x00FFFFFF;

    explicit MonitorDrawing(QWidget *page);

    using Labels = std::array<QLabel *, Sections>;
    using Monitors = std::array<JoyMonitor *, Sections>;

    Monitors JoyMonitorVal{};
    Monitors JoyMonitorRed{};
    Monitors IMeasure{};
    JoyMonitor *JoyMonitorVbb = nullptr;

    QGroupBox *FrmErr = nullptr;
    ShapeWidget *ShpErr = nullptr;
    QLabel *LblErr = nullptr;

    Labels lblValveA{}, lblValveB{};
    QGroupBox *Frame1 = nullptr;
    Labels lblHSDA{}, lblHSDB{};
    Labels lblDinLJoy{}, lblDinHJoy{};
    Labels LblPin{};
    QGroupBox *Frame2 = nullptr;
    QLabel *LblPinDM = nullptr;
    QLabel *LblPinSL = nullptr;
    Labels LblFL{};
    Labels lblDin{};
    QLabel *lblDinDM = nullptr;
    QLabel *lblDinSL = nullptr;
    Labels JoyDisplay{}, MagADisplay{};
    QLabel *ImgVbb = nullptr;
    QLabel *ImgQEL = nullptr;
    Labels lblJoy{}, lblCurrent{};
    std::array<QList<ShapeWidget *>, Sections> Line; // Line0 .. Line3
    QScrollBar *DrawJoyMonitorEventObj = nullptr;
    QScrollBar *DrawMagMonitorEventObj = nullptr;

    // The thirteen monitor controls in the page's control order.
    QList<JoyMonitor *> monitors() const;
    // The labels the digital inputs light: per input its two labels, then the
    // dead-man, slow and float labels.
    QList<QLabel *> digitalInputLabels() const;
    // The six labels of the function inputs: dead-man, slow, float 1 to 4.
    std::array<QLabel *, 6> functionLabels() const;

    // Section k is shown when k < numPropReg; the lines follow the count.
    void DrawActualObject(int numPropReg, int systemType, const QPixmap &model);
    void RefreshColour(const SectionColours &colours);

    void UpdateErrObj(int16_t readVal);
    void UpdateActiveOutput(int16_t readVal);
    void UpdateActiveDin(int16_t readVal);

    // The link was lost: every live value shows "---" with an empty bar, the
    // controller state "---", and the lamps neither lit nor unlit, until the
    // next reading.
    void showStale();

    // Captions and tags of the input labels from the configuration words.
    void showInputConfiguration(const std::array<int32_t, Sections> &joyConfig, int32_t float1, int32_t float2);

    // A label lit (blue, white text) or unlit (white, window text).
    static void setLit(QLabel *label, bool lit);
    static bool isLit(const QLabel *label);
    // A lamp whose state is not known: button face, window text.
    static void setStale(QLabel *label);
    static bool isStale(const QLabel *label);
    // The number of the digital input a label shows.
    static int tag(const QLabel *label);
    static void setTag(QLabel *label, int tag);

private:
    void buildSection(int k);
    void buildStateColumn();
    QLabel *lamp(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry);
    QLabel *label(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry);

    QWidget *m_page;
};
