#pragma once

#include "framebuffer.h"
#include "framecodec.h"

// The program's side: finds the reply to the request in flight. Only a reply
// of the expected command (or an error reply) carrying one of the accepted
// sequence numbers and the node's CRC counts; a late reply to an earlier
// request is skipped like garbage.
class ReplyDecoder : public FrameBuffer
{
public:
    // Starts waiting for a reply to `command` from `node`; forgets the sequence
    // numbers accepted before.
    void expect(uint8_t node, FrameCodec::Command command);
    // Also accept replies carrying this sequence number (a resent request).
    void accept(uint8_t seq) { m_seqMask = static_cast<uint16_t>(m_seqMask | (1u << (seq & 0x0F))); }

    bool next(FrameCodec::Reply &reply);

protected:
    int probe(const uint8_t *p, size_t available) const override;

private:
    uint8_t m_node = 0;
    FrameCodec::Command m_command = FrameCodec::Command::ReadWord;
    uint16_t m_seqMask = 0;
};
