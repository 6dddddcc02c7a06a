#pragma once

// Frames of the serial link between the program and the controller. The byte
// layout is described in docs/protocol.md; this file and that one must agree.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace FrameCodec {

// Command codes (low nibble of the request's second byte and of a good reply's
// first byte).
enum class Command : uint8_t {
    ReadWord = 0x1,
    WriteWord = 0x2,
    ReadLong = 0x3,
    WriteLong = 0x4,
    ReadBlock = 0x5,    // a run of consecutive words
    WriteBlock = 0x6,
};

// Reply type of an error reply.
constexpr uint8_t ErrorType = 0xF;

enum class Error : uint8_t {
    NoSuchAddress = 0x01,
    ReadOnly = 0x02,
    BadValue = 0x03,
};

constexpr size_t CrcSize = 2;
constexpr size_t ErrorReplySize = 4;
// An error reply to a block command also names the first word refused.
constexpr size_t BlockErrorReplySize = 5;
constexpr uint32_t MaxAddress = 0xFFFFFF;
constexpr int MaxBlockWords = 32;

// CRC-16 with polynomial 0x1021, start value 0xFFFF, no reflection, no final
// XOR ("123456789" gives 0x29B1). Pass the previous result to continue a sum.
uint16_t crc16(const uint8_t *data, size_t size, uint16_t crc = 0xFFFF);

bool isCommand(uint8_t code);
bool isBlockCommand(Command command);
// `count` is the number of words of a block command; the word commands ignore it.
size_t requestSize(Command command, int count = 1);  // whole frame, CRC included
size_t replySize(Command command, int count = 1);    // good reply, CRC included
size_t errorReplySize(Command command);
size_t requestPayload(Command command, int count = 1);
size_t replyPayload(Command command, int count = 1);

struct Request
{
    uint8_t node = 1;
    uint8_t seq = 0;        // 0..15
    Command command = Command::ReadWord;
    uint32_t address = 0;   // 24 bits
    uint32_t value = 0;     // 16 bits for WriteWord, 32 for WriteLong
    uint8_t count = 1;      // block commands: words in the run, 1..MaxBlockWords
    std::vector<uint16_t> words;   // WriteBlock: `count` words
};

struct Reply
{
    uint8_t seq = 0;
    Command command = Command::ReadWord;
    bool isError = false;
    Error error = Error::NoSuchAddress;
    uint32_t value = 0;     // ReadWord: 16 bits, ReadLong: 32 bits
    std::vector<uint16_t> words;   // ReadBlock
    uint8_t errorIndex = 0; // error reply to a block: the first word refused
};

std::vector<uint8_t> encodeRequest(const Request &request);
// CRC state after the request's bytes (its own CRC excluded): a reply's CRC
// starts from here, which binds the reply to the very request it answers.
uint16_t replyCrcSeed(const Request &request);
// The header takes the reply's own seq and command (the controller copies
// them from the request); the CRC covers the request, then the reply bytes.
std::vector<uint8_t> encodeReply(const Request &answered, const Reply &reply);

// Decodes one complete frame whose length and CRC were already checked.
Request decodeRequest(const uint8_t *frame);
// `answered` is the command (and word count) of the request the reply answers.
Reply decodeReply(const uint8_t *frame, Command answered = Command::ReadWord, int count = 1);

} // namespace FrameCodec
