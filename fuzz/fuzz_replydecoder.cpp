// The program's side of the link: replies arriving in pieces for a request in
// flight. Every reply taken must be one that answers that request.
#include "fuzzinput.h"
#include "replydecoder.h"

using namespace FrameCodec;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes bytes(data, size);
    Request sent;
    sent.command = static_cast<Command>(1 + bytes.take<uint8_t>() % 4);
    sent.seq = bytes.take<uint8_t>() & 0x0F;
    sent.address = bytes.take<uint32_t>() & MaxAddress;
    sent.value = bytes.take<uint32_t>();
    const uint8_t chunk = static_cast<uint8_t>(1 + bytes.take<uint8_t>() % 16);

    ReplyDecoder decoder;
    decoder.expect(sent.command);
    decoder.accept(sent);
    const uint8_t *p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const size_t n = left < chunk ? left : chunk;
        decoder.feed(p, n);
        p += n;
        left -= n;
        Reply reply;
        while (decoder.next(reply)) {
            if (reply.seq != sent.seq || (!reply.isError && reply.command != sent.command))
                __builtin_trap();
        }
        if (decoder.pending() > FrameBuffer::Capacity)
            __builtin_trap();
    }
    return 0;
}
