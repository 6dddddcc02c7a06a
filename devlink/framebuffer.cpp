#include "framebuffer.h"

void FrameBuffer::feed(const uint8_t *data, size_t size)
{
    m_bytes.insert(m_bytes.end(), data, data + size);
    if (m_bytes.size() > Capacity) {
        const size_t excess = m_bytes.size() - Capacity;
        m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(excess));
        m_discarded += excess;
    }
}

void FrameBuffer::clear()
{
    m_discarded += m_bytes.size();
    m_bytes.clear();
}

bool FrameBuffer::takeFrame(std::vector<uint8_t> &frame)
{
    const size_t n = m_bytes.size();
    size_t firstUndecided = n;
    for (size_t i = 0; i < n; ++i) {
        const int length = probe(m_bytes.data() + i, n - i);
        if (length > 0) {
            const auto begin = m_bytes.begin() + static_cast<std::ptrdiff_t>(i);
            frame.assign(begin, begin + length);
            m_bytes.erase(m_bytes.begin(), begin + length);
            m_discarded += i;
            return true;
        }
        if (length == 0 && firstUndecided == n)
            firstUndecided = i;
    }
    // keep only what may still become a frame
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(firstUndecided));
    m_discarded += firstUndecided;
    return false;
}
