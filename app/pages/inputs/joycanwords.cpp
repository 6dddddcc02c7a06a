#include "joycanwords.h"

namespace JoyCanWords {

namespace {

int nibble(int32_t word, int index)
{
    return (word >> (4 * index)) & 0xF;
}

} // namespace

int32_t asWord(int32_t value)
{
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF));
}

int inputByte(const DigitalInput &input)
{
    return (input.type & 3) + 4 * (input.byte & 7) + 32 * (input.bit & 7);
}

DigitalInput splitInputByte(int inputByte)
{
    return {inputByte & 3, (inputByte / 4) & 7, (inputByte / 32) & 7};
}

int32_t inputWord(int lowByte, int highByte)
{
    return asWord((highByte & 0xFF) * 256 + (lowByte & 0xFF));
}

int lowByte(int32_t word)
{
    return word & 0xFF;
}

int highByte(int32_t word)
{
    return (word >> 8) & 0xFF;
}

int32_t channelWord(const Channel &channel)
{
    return asWord((channel.type & 0xF) + 16 * (channel.word & 0xF) + 256 * (channel.a & 0xF)
                  + 4096 * (channel.b & 0xF));
}

Channel splitChannelWord(int32_t word)
{
    return {nibble(word, 0), nibble(word, 1), nibble(word, 2), nibble(word, 3)};
}

int channelPicture(const Channel &channel)
{
    if (channel.type == ChannelOff)
        return PictureOff;
    if (channel.type == ChannelProportional) {
        if (channel.word == WordX)
            return PictureX;
        return channel.word == WordY ? PictureY : PictureOtherAxis;
    }
    return PictureDigital;
}

int32_t functionWord1(const FunctionInputs &f)
{
    return asWord((f[0] & 0xF) + 16 * (f[1] & 0xF) + 256 * (f[2] & 0xF) + 4096 * (f[3] & 0xF));
}

int32_t functionWord2(const FunctionInputs &f)
{
    return (f[4] & 0xF) + 16 * (f[5] & 0xF);
}

FunctionInputs splitFunctionWords(int32_t word1, int32_t word2)
{
    return {nibble(word1, 0), nibble(word1, 1), nibble(word1, 2), nibble(word1, 3), nibble(word2, 0),
            nibble(word2, 1)};
}

} // namespace JoyCanWords
