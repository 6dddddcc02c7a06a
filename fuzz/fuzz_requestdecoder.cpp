// krv-sim's side of the link: requests arriving in pieces. Every request taken
// must encode back to a good frame for the node.
#include "fuzzinput.h"
#include "requestdecoder.h"

using namespace FrameCodec;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes bytes(data, size);
    const uint8_t node = bytes.take<uint8_t>();
    const uint8_t chunk = static_cast<uint8_t>(1 + bytes.take<uint8_t>() % 16);

    RequestDecoder decoder(node);
    const uint8_t *p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const size_t n = left < chunk ? left : chunk;
        decoder.feed(p, n);
        p += n;
        left -= n;
        Request request;
        while (decoder.next(request)) {
            if (request.node != node || request.address > MaxAddress)
                __builtin_trap();
            const std::vector<uint8_t> again = encodeRequest(request);
            if (again.size() != requestSize(request.command, request.count))
                __builtin_trap();
        }
        if (decoder.pending() > FrameBuffer::Capacity)
            __builtin_trap();
    }
    return 0;
}
