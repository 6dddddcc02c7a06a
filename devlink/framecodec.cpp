#include "framecodec.h"

#include <array>

namespace FrameCodec {

namespace {

constexpr std::array<uint16_t, 256> makeCrcTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t c = static_cast<uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            c = static_cast<uint16_t>((c & 0x8000) ? (c << 1) ^ 0x1021 : (c << 1));
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint16_t, 256> CrcTable = makeCrcTable();

void putBigEndian(std::vector<uint8_t> &out, uint32_t value, size_t bytes)
{
    for (size_t i = bytes; i > 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * (i - 1))));
}

uint32_t getBigEndian(const uint8_t *p, size_t bytes)
{
    uint32_t v = 0;
    for (size_t i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

void appendCrc(std::vector<uint8_t> &frame, uint16_t crc)
{
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
}

} // namespace

uint16_t crc16(const uint8_t *data, size_t size, uint16_t crc)
{
    for (size_t i = 0; i < size; ++i)
        crc = static_cast<uint16_t>((crc << 8) ^ CrcTable[((crc >> 8) ^ data[i]) & 0xFF]);
    return crc;
}

bool isCommand(uint8_t code)
{
    return code >= static_cast<uint8_t>(Command::ReadWord) && code <= static_cast<uint8_t>(Command::WriteBlock);
}

bool isBlockCommand(Command command)
{
    return command == Command::ReadBlock || command == Command::WriteBlock;
}

size_t requestPayload(Command command, int count)
{
    switch (command) {
    case Command::ReadWord: return 3;
    case Command::WriteWord: return 5;
    case Command::ReadLong: return 3;
    case Command::WriteLong: return 7;
    case Command::ReadBlock: return 4;
    case Command::WriteBlock: return 4 + 2 * static_cast<size_t>(count);
    }
    return 0;
}

size_t replyPayload(Command command, int count)
{
    switch (command) {
    case Command::ReadWord: return 2;
    case Command::ReadLong: return 4;
    case Command::ReadBlock: return 2 * static_cast<size_t>(count);
    case Command::WriteWord:
    case Command::WriteLong:
    case Command::WriteBlock: return 0;
    }
    return 0;
}

size_t requestSize(Command command, int count)
{
    return 2 + requestPayload(command, count) + CrcSize;
}

size_t replySize(Command command, int count)
{
    return 1 + replyPayload(command, count) + CrcSize;
}

size_t errorReplySize(Command command)
{
    return isBlockCommand(command) ? BlockErrorReplySize : ErrorReplySize;
}

std::vector<uint8_t> encodeRequest(const Request &request)
{
    std::vector<uint8_t> frame;
    frame.reserve(requestSize(request.command, request.count));
    frame.push_back(request.node);
    frame.push_back(static_cast<uint8_t>(((request.seq & 0x0F) << 4) | static_cast<uint8_t>(request.command)));
    putBigEndian(frame, request.address & MaxAddress, 3);
    if (request.command == Command::WriteWord)
        putBigEndian(frame, request.value & 0xFFFF, 2);
    else if (request.command == Command::WriteLong)
        putBigEndian(frame, request.value, 4);
    else if (isBlockCommand(request.command))
        frame.push_back(request.count);
    if (request.command == Command::WriteBlock) {
        for (int i = 0; i < request.count; ++i)
            putBigEndian(frame, i < static_cast<int>(request.words.size()) ? request.words[i] : 0, 2);
    }
    appendCrc(frame, crc16(frame.data(), frame.size()));
    return frame;
}

uint16_t replyCrcSeed(const Request &request)
{
    const std::vector<uint8_t> frame = encodeRequest(request);
    return crc16(frame.data(), frame.size() - CrcSize);
}

std::vector<uint8_t> encodeReply(const Request &answered, const Reply &reply)
{
    std::vector<uint8_t> frame;
    const uint8_t type = reply.isError ? ErrorType : static_cast<uint8_t>(reply.command);
    frame.push_back(static_cast<uint8_t>(((reply.seq & 0x0F) << 4) | type));
    if (reply.isError) {
        frame.push_back(static_cast<uint8_t>(reply.error));
        if (isBlockCommand(answered.command))
            frame.push_back(reply.errorIndex);
    } else if (reply.command == Command::ReadBlock) {
        for (uint16_t w : reply.words)
            putBigEndian(frame, w, 2);
    } else {
        putBigEndian(frame, reply.value, replyPayload(reply.command));
    }
    appendCrc(frame, crc16(frame.data(), frame.size(), replyCrcSeed(answered)));
    return frame;
}

Request decodeRequest(const uint8_t *frame)
{
    Request r;
    r.node = frame[0];
    r.seq = frame[1] >> 4;
    r.command = static_cast<Command>(frame[1] & 0x0F);
    r.address = getBigEndian(frame + 2, 3);
    if (r.command == Command::WriteWord)
        r.value = getBigEndian(frame + 5, 2);
    else if (r.command == Command::WriteLong)
        r.value = getBigEndian(frame + 5, 4);
    else if (isBlockCommand(r.command))
        r.count = frame[5];
    if (r.command == Command::WriteBlock) {
        for (int i = 0; i < r.count; ++i)
            r.words.push_back(static_cast<uint16_t>(getBigEndian(frame + 6 + 2 * i, 2)));
    }
    return r;
}

Reply decodeReply(const uint8_t *frame, Command answered, int count)
{
    Reply r;
    r.seq = frame[0] >> 4;
    const uint8_t type = frame[0] & 0x0F;
    if (type == ErrorType) {
        r.isError = true;
        r.error = static_cast<Error>(frame[1]);
        if (isBlockCommand(answered))
            r.errorIndex = frame[2];
    } else if (type == static_cast<uint8_t>(Command::ReadBlock)) {
        r.command = Command::ReadBlock;
        for (int i = 0; i < count; ++i)
            r.words.push_back(static_cast<uint16_t>(getBigEndian(frame + 1 + 2 * i, 2)));
    } else {
        r.command = static_cast<Command>(type);
        r.value = getBigEndian(frame + 1, replyPayload(r.command));
    }
    return r;
}

} // namespace FrameCodec
