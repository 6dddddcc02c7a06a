#include "requestdecoder.h"

using namespace FrameCodec;

int RequestDecoder::probe(const uint8_t *p, size_t available) const
{
    if (available < 2)
        return 0;
    const uint8_t code = p[1] & 0x0F;
    if (!isCommand(code))
        return -1;
    const auto command = static_cast<Command>(code);
    int count = 1;
    if (isBlockCommand(command)) {
        if (!m_takesBlocks)
            return -1;
        if (available < 6)
            return 0;
        count = p[5];
        if (count < 1 || count > MaxBlockWords)
            return -1;
    }
    const size_t size = requestSize(command, count);
    if (available < size)
        return 0;
    const uint16_t crc = static_cast<uint16_t>((p[size - 2] << 8) | p[size - 1]);
    return crc16(p, size - CrcSize) == crc ? static_cast<int>(size) : -1;
}

bool RequestDecoder::next(Request &request)
{
    std::vector<uint8_t> frame;
    while (takeFrame(frame)) {
        if (frame[0] == m_node) {
            request = decodeRequest(frame.data());
            return true;
        }
        ++m_otherNode;
    }
    return false;
}
