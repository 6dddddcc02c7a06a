#pragma once

#include "krvid.h"

#include <QString>
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <random>

class Catalogue;
struct CVarDataS;

// The machine behind the virtual controller: four joystick inputs sweeping
// back and forth (or held where a test puts them), each section's coil
// current following its joystick between the coil's minimum and maximum with
// the rise and fall ramps and the dither on top, the power outputs and
// digital inputs following the joysticks, and a supply near 24 V with a
// little noise. Values are worked out in display units and turned into raw
// words through the variable list's own formulas.
class MachineModel
{
public:
    using Clock = std::chrono::steady_clock;

    enum class Signal {
        JoyValue, JoyCommand, CoilCurrent, CoilSetpoint, Supply, SensorSupply, AnalogueInput,
        Outputs, DigitalInputs, Floating
    };

    // `parameter` gives the raw EEPROM word of a well-known variable (0 when
    // the list lacks it); `inError` tells whether the controller reports NOT READY.
    MachineModel(const Catalogue &catalogue, std::function<int32_t(KrvId)> parameter,
                 std::function<bool()> inError, uint32_t seed = 1);

    bool isLive(uint32_t address) const { return m_live.count(address) != 0; }
    uint16_t read(uint32_t address, Clock::time_point now);

    void holdJoysticks(const std::map<int, double> &held) { m_held = held; }
    // Power-up: currents off, ramps start over.
    void reset(Clock::time_point now);

    // Display-unit values (for tests and the raw conversion).
    double joystickPercent(int k, Clock::time_point now) const;
    double coilCurrent(int k) const { return m_sections[static_cast<size_t>(k)].current; }
    int activeCoil(int k) const { return m_sections[static_cast<size_t>(k)].coil; }

private:
    struct Live
    {
        Signal signal;
        int index;
        const CVarDataS *entry;
    };
    struct Section
    {
        int coil = -1;       // -1 off, 0 coil A, 1 coil B
        double current = 0;  // mA, without dither
    };

    void advance(Clock::time_point now);
    void step(double dtMs, double tSeconds);
    double display(const Live &live, Clock::time_point now);
    double parameterDisplay(KrvId id) const;
    int sections() const;
    double noise(double amplitude);

    const Catalogue &m_catalogue;
    std::function<int32_t(KrvId)> m_parameter;
    std::function<bool()> m_inError;
    std::map<uint32_t, Live> m_live;
    std::map<int, double> m_held;
    std::array<Section, 4> m_sections{};
    Clock::time_point m_start;
    Clock::time_point m_last;
    std::mt19937 m_random;
};
