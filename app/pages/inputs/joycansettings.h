#pragma once

#include "joycanwords.h"

#include <array>
#include <cstdint>

class Catalogue;

// Everything the CAN joystick window edits, as read from the catalogue and
// as Ok writes it back.
struct JoyCanSettings
{
    int32_t nodeId = 0;
    int32_t timeout = 0;
    std::array<int32_t, 4> floatCurrent{};
    int floatSide = 0; // bit n - 1: float section n on coil side B
    std::array<JoyCanWords::DigitalInput, JoyCanWords::DigitalInputs> inputs{};
    std::array<JoyCanWords::Channel, JoyCanWords::Channels> channels{};
    JoyCanWords::FunctionInputs functions{};
    std::array<int32_t, JoyCanWords::Channels> polarity{};
    std::array<int32_t, JoyCanWords::Channels> options{};

    // The values the next write would send; a variable the list lacks reads 0.
    static JoyCanSettings read(const Catalogue &catalogue);
    // Every variable through KRVSetVar, in the window's fixed order; the
    // channel pictures are derived from the channels.
    void write(Catalogue &catalogue) const;
};
