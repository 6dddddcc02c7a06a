#pragma once

#include <array>
#include <cstdint>

// How the CAN joystick and digital input settings are packed into the
// controller's 16-bit words. Words travel as 16-bit patterns: a field that
// reaches bit 15 makes the stored number negative.
namespace JoyCanWords {

constexpr int DigitalInputs = 14; // DI_01 .. DI_14
constexpr int Channels = 4;
constexpr int Functions = 6;      // dead-man, fast/slow, float sections 1 .. 4
constexpr int InputWords = 7;     // two digital inputs per word

// Channel types as their list shows them.
enum ChannelType { ChannelOff = 0, ChannelProportional = 1 };
// Axis words of the CAN message.
enum AxisWord { WordX = 0, WordY = 1, WordBlank = 7 };
// Identifiers of the pictures the configuration page shows for a channel.
enum ChannelPicture { PictureX = 0, PictureY = 1, PictureOtherAxis = 2, PictureDigital = 5, PictureOff = 8 };

constexpr int32_t PolarityNo = 85;   // 0x55
constexpr int32_t PolarityYes = 170; // 0xAA

// The number as a 16-bit pattern (bit 15 is the sign).
int32_t asWord(int32_t value);

// One digital input: how it is sensed (0 off, 1 level, 2 edge) and where it
// sits in the CAN data.
struct DigitalInput
{
    int type = 0;
    int byte = 0;
    int bit = 0;
    bool operator==(const DigitalInput &o) const { return type == o.type && byte == o.byte && bit == o.bit; }
};
int inputByte(const DigitalInput &input);          // type + 4 x byte + 32 x bit
DigitalInput splitInputByte(int inputByte);
// Word n holds input 2n - 1 in its low byte and input 2n in its high byte.
int32_t inputWord(int lowByte, int highByte);
int lowByte(int32_t word);
int highByte(int32_t word);

// One joystick channel: type, axis word, and the digital inputs of switches A and B.
struct Channel
{
    int type = 0;
    int word = 0;
    int a = 0;
    int b = 0;
    bool operator==(const Channel &o) const { return type == o.type && word == o.word && a == o.a && b == o.b; }
};
int32_t channelWord(const Channel &channel);       // type + 16 x word + 256 x A + 4096 x B
Channel splitChannelWord(int32_t word);
int channelPicture(const Channel &channel);

// Digital inputs of the six functions, four bits each over two words.
using FunctionInputs = std::array<int, Functions>;
int32_t functionWord1(const FunctionInputs &f);    // f0 + 16 f1 + 256 f2 + 4096 f3
int32_t functionWord2(const FunctionInputs &f);    // f4 + 16 f5
FunctionInputs splitFunctionWords(int32_t word1, int32_t word2);

} // namespace JoyCanWords
