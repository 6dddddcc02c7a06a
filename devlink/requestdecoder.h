#pragma once

#include "framebuffer.h"
#include "framecodec.h"

// The controller's side: finds the requests addressed to its node.
class RequestDecoder : public FrameBuffer
{
public:
    explicit RequestDecoder(uint8_t node) : m_node(node) {}

    // A controller without the block commands takes their frames for garbage.
    void setTakesBlocks(bool takes) { m_takesBlocks = takes; }

    // Next good request for this node; good frames for other nodes are passed over.
    bool next(FrameCodec::Request &request);

    // Good frames that were addressed to another node.
    size_t otherNodeFrames() const { return m_otherNode; }

protected:
    int probe(const uint8_t *p, size_t available) const override;

private:
    uint8_t m_node;
    bool m_takesBlocks = true;
    size_t m_otherNode = 0;
};
