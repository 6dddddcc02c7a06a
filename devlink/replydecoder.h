#pragma once

#include "framebuffer.h"
#include "framecodec.h"

#include <array>

// The program's side: finds the reply to the request in flight. A reply
// counts only when its type is the expected command (or an error), its
// sequence number is one sent for this access, and its CRC, which starts
// from the request's own bytes, matches that request: a late reply to any
// other request is skipped like garbage.
class ReplyDecoder : public FrameBuffer
{
public:
    // Starts waiting for a reply to `command` (of `count` words for a block);
    // forgets the requests accepted before.
    void expect(FrameCodec::Command command, int count = 1);
    // Accept replies to this request (the first one, or one sent again).
    void accept(const FrameCodec::Request &sent);

    bool next(FrameCodec::Reply &reply);

protected:
    int probe(const uint8_t *p, size_t available) const override;

private:
    FrameCodec::Command m_command = FrameCodec::Command::ReadWord;
    int m_count = 1;
    uint16_t m_seqMask = 0;
    std::array<uint16_t, 16> m_seeds{};   // CRC seed by sequence number
};
