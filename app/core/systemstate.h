#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QString>
#include <array>

class Catalogue;

// What the pages show of the valve system and share with each other: the
// section count and solenoid type (from the catalogue), and the joystick
// pictures and pin captions the configuration page has drawn for each
// section. Pages read it here instead of in each other's widgets.
class SystemState : public QObject
{
    Q_OBJECT
public:
    static constexpr int Sections = 4;

    struct SectionInputs
    {
        bool drawn = false; // false until the configuration page has drawn the section
        QImage joystick;
        QString joystickCaption;
        QString pinCaption;
        QColor pinColour;
    };

    explicit SystemState(const Catalogue &catalogue, QObject *parent = nullptr);

    // The controller's section count and solenoid type as the catalogue holds them; 0 without the entry.
    int sectionCount() const;
    int solenoidType() const;

    const SectionInputs &inputs(int section) const;
    void setInputs(int section, const SectionInputs &inputs);

    // The solenoid type changed its pictures on the configuration page.
    void announceSolenoids() { emit solenoidsChanged(); }

signals:
    void solenoidsChanged();

private:
    const Catalogue &m_catalogue;
    std::array<SectionInputs, Sections> m_inputs{};
};
