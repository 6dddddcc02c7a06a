#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes received from the line, searched for whole frames. Garbage, cut
// frames and frames that fail their CRC are skipped byte by byte, and a good
// frame further on is found even while an earlier candidate still waits for
// bytes, so nothing before a good frame can make it be lost.
class FrameBuffer
{
public:
    static constexpr size_t Capacity = 512;

    virtual ~FrameBuffer() = default;

    void feed(const uint8_t *data, size_t size);
    void clear();

    size_t pending() const { return m_bytes.size(); }
    // Bytes skipped as not being part of a good frame, since construction.
    size_t discarded() const { return m_discarded; }

protected:
    // What a frame starting at `p` would be, with `available` bytes present:
    // its length when it is complete and good, 0 when more bytes are needed to
    // tell, -1 when no good frame starts here.
    virtual int probe(const uint8_t *p, size_t available) const = 0;

    // Moves the first good frame into `frame`, dropping everything before it.
    bool takeFrame(std::vector<uint8_t> &frame);

private:
    std::vector<uint8_t> m_bytes;
    size_t m_discarded = 0;
};
