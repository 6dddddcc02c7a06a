#include "replydecoder.h"

using namespace FrameCodec;

void ReplyDecoder::expect(Command command, int count)
{
    m_command = command;
    m_count = count;
    m_seqMask = 0;
}

void ReplyDecoder::accept(const Request &sent)
{
    const uint8_t seq = sent.seq & 0x0F;
    m_seqMask = static_cast<uint16_t>(m_seqMask | (1u << seq));
    m_seeds[seq] = replyCrcSeed(sent);
}

int ReplyDecoder::probe(const uint8_t *p, size_t available) const
{
    const uint8_t seq = p[0] >> 4;
    const uint8_t type = p[0] & 0x0F;
    if (!(m_seqMask & (1u << seq)))
        return -1;
    size_t size;
    if (type == static_cast<uint8_t>(m_command))
        size = replySize(m_command, m_count);
    else if (type == ErrorType)
        size = errorReplySize(m_command);
    else
        return -1;
    if (available < size)
        return 0;
    const uint16_t crc = static_cast<uint16_t>((p[size - 2] << 8) | p[size - 1]);
    return crc16(p, size - CrcSize, m_seeds[seq]) == crc ? static_cast<int>(size) : -1;
}

bool ReplyDecoder::next(Reply &reply)
{
    std::vector<uint8_t> frame;
    if (!takeFrame(frame))
        return false;
    reply = decodeReply(frame.data(), m_command, m_count);
    if (!reply.isError)
        reply.command = m_command;
    return true;
}
