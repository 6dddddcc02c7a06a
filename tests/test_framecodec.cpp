#include "framecodec.h"
#include "replydecoder.h"
#include "requestdecoder.h"

#include <gtest/gtest.h>

#include <random>

using namespace FrameCodec;
using Bytes = std::vector<uint8_t>;

namespace {

Request readWord(uint32_t address, uint8_t seq = 3, uint8_t node = 1)
{
    Request r;
    r.node = node;
    r.seq = seq;
    r.command = Command::ReadWord;
    r.address = address;
    return r;
}

void feed(FrameBuffer &buffer, const Bytes &bytes)
{
    buffer.feed(bytes.data(), bytes.size());
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace

TEST(FrameCodec, CrcCheckValueAndKnownFrame)
{
    const char *check = "123456789";
    EXPECT_EQ(crc16(reinterpret_cast<const uint8_t *>(check), 9), 0x29B1);
    // examples of docs/protocol.md
    const Request version = readWord(0x002000, 1);
    EXPECT_EQ(encodeRequest(version), (Bytes{0x01, 0x11, 0x00, 0x20, 0x00, 0xD0, 0xA8}));
    Reply reply;
    reply.seq = 1;
    reply.command = Command::ReadWord;
    reply.value = 10412;
    EXPECT_EQ(encodeReply(version, reply), (Bytes{0x11, 0x28, 0xAC, 0x7E, 0x39}));
    EXPECT_EQ(encodeReply(readWord(0x002000, 1, 2), reply), (Bytes{0x11, 0x28, 0xAC, 0xB6, 0x4C}));
    EXPECT_EQ(encodeReply(readWord(0x002002, 1), reply), (Bytes{0x11, 0x28, 0xAC, 0x93, 0x51}));
    Request load;
    load.seq = 4;
    load.command = Command::WriteLong;
    load.address = 1024;
    load.value = 1145130828;
    EXPECT_EQ(encodeRequest(load), (Bytes{0x01, 0x44, 0x00, 0x04, 0x00, 0x44, 0x41, 0x4F, 0x4C, 0x16, 0x07}));
    Reply done;
    done.seq = 4;
    done.command = Command::WriteLong;
    EXPECT_EQ(encodeReply(load, done), (Bytes{0x44, 0x7D, 0xB7}));
    Reply refused;
    refused.seq = 5;
    refused.isError = true;
    refused.error = Error::NoSuchAddress;
    EXPECT_EQ(encodeReply(readWord(0x123456, 5), refused), (Bytes{0x5F, 0x01, 0x38, 0x94}));
}

TEST(FrameCodec, WordReadCostsTwelveBytesAndEveryCommandRoundTrips)
{
    EXPECT_EQ(requestSize(Command::ReadWord) + replySize(Command::ReadWord), 12u);
    const Command all[] = {Command::ReadWord, Command::WriteWord, Command::ReadLong, Command::WriteLong};
    for (Command c : all) {
        Request rq;
        rq.node = 7;
        rq.seq = 15;
        rq.command = c;
        rq.address = 0xFDEA00;
        rq.value = c == Command::WriteWord ? 0x9C40 : (c == Command::WriteLong ? 0x44414F4C : 0);
        RequestDecoder in(7);
        feed(in, encodeRequest(rq));
        Request got;
        ASSERT_TRUE(in.next(got)) << int(c);
        EXPECT_EQ(got.seq, 15);
        EXPECT_EQ(got.command, c);
        EXPECT_EQ(got.address, 0xFDEA00u);
        EXPECT_EQ(got.value, rq.value);

        Reply rp;
        rp.seq = 15;
        rp.command = c;
        rp.value = c == Command::ReadLong ? 0xFFFFFFFEu : (c == Command::ReadWord ? 0x8000u : 0u);
        ReplyDecoder out;
        out.expect(c);
        out.accept(rq);
        feed(out, encodeReply(rq, rp));
        Reply back;
        ASSERT_TRUE(out.next(back)) << int(c);
        EXPECT_FALSE(back.isError);
        EXPECT_EQ(back.command, c);
        EXPECT_EQ(back.value, rp.value);
    }
}

TEST(FrameCodec, BlockFramesOfTheExamplesAndAControllerWithoutThem)
{
    Request read;
    read.seq = 7;
    read.command = Command::ReadBlock;
    read.address = 0x002000;
    read.count = 3;
    EXPECT_EQ(encodeRequest(read), (Bytes{0x01, 0x75, 0x00, 0x20, 0x00, 0x03, 0xC3, 0xC4}));
    Reply words;
    words.seq = 7;
    words.command = Command::ReadBlock;
    words.words = {10412, 4, 0};
    const Bytes wordsFrame = encodeReply(read, words);
    EXPECT_EQ(wordsFrame, (Bytes{0x75, 0x28, 0xAC, 0x00, 0x04, 0x00, 0x00, 0xAE, 0x05}));
    ReplyDecoder out;
    out.expect(Command::ReadBlock, 3);
    out.accept(read);
    feed(out, wordsFrame);
    Reply back;
    ASSERT_TRUE(out.next(back));
    EXPECT_EQ(back.words, words.words);

    Request write;
    write.seq = 9;
    write.command = Command::WriteBlock;
    write.address = 0x002016;
    write.count = 2;
    write.words = {50, 0};
    const Bytes writeFrame = encodeRequest(write);
    EXPECT_EQ(writeFrame, (Bytes{0x01, 0x96, 0x00, 0x20, 0x16, 0x02, 0x00, 0x32, 0x00, 0x00, 0x2E, 0x6D}));
    Reply refused;
    refused.seq = 9;
    refused.isError = true;
    refused.error = Error::NoSuchAddress;
    refused.errorIndex = 1;
    out.expect(Command::WriteBlock, 2);
    out.accept(write);
    feed(out, encodeReply(write, refused));
    ASSERT_TRUE(out.next(back));
    EXPECT_TRUE(back.isError);
    EXPECT_EQ(back.errorIndex, 1);

    RequestDecoder in(1);
    feed(in, writeFrame);
    Request got;
    ASSERT_TRUE(in.next(got));
    EXPECT_EQ(got.command, Command::WriteBlock);
    EXPECT_EQ(got.words, write.words);
    // a controller without blocks skips the frame like garbage and finds the next one
    RequestDecoder old(1);
    old.setTakesBlocks(false);
    feed(old, concat({writeFrame, encodeRequest(readWord(0x002000, 4))}));
    ASSERT_TRUE(old.next(got));
    EXPECT_EQ(got.command, Command::ReadWord);
    EXPECT_EQ(old.discarded(), writeFrame.size());
}

TEST(FrameCodec, EveryBitFlipIsRejected)
{
    const Bytes request = encodeRequest(readWord(0xFDF200, 9));
    for (size_t bit = 0; bit < request.size() * 8; ++bit) {
        Bytes damaged = request;
        damaged[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        RequestDecoder in(1);
        feed(in, damaged);
        Request got;
        EXPECT_FALSE(in.next(got)) << "request bit " << bit;
    }
    Reply reply;
    reply.seq = 9;
    reply.value = 0x1234;
    const Request asked = readWord(0xFDF200, 9);
    const Bytes good = encodeReply(asked, reply);
    for (size_t bit = 0; bit < good.size() * 8; ++bit) {
        Bytes damaged = good;
        damaged[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        ReplyDecoder out;
        out.expect(Command::ReadWord);
        out.accept(asked);
        feed(out, damaged);
        Reply got;
        EXPECT_FALSE(out.next(got)) << "reply bit " << bit;
    }
}

TEST(FrameCodec, CutFrameThenGoodFrame)
{
    const Bytes first = encodeRequest(readWord(0x000100, 1));
    const Bytes second = encodeRequest(readWord(0x000200, 2));
    for (size_t cut = 1; cut < first.size(); ++cut) {
        RequestDecoder in(1);
        feed(in, Bytes(first.begin(), first.begin() + static_cast<long>(cut)));
        Request got;
        EXPECT_FALSE(in.next(got));
        feed(in, second);
        ASSERT_TRUE(in.next(got)) << "cut at " << cut;
        EXPECT_EQ(got.address, 0x000200u);
        EXPECT_EQ(got.seq, 2);
        EXPECT_FALSE(in.next(got));
        EXPECT_EQ(in.pending(), 0u);
    }
}

TEST(FrameCodec, GarbageBeforeAFrameNeverHidesIt)
{
    std::mt19937 random(1234);
    const Bytes frame = encodeRequest(readWord(0x00ABCD, 5));
    for (int round = 0; round < 500; ++round) {
        Bytes garbage(static_cast<size_t>(random() % 24));
        for (uint8_t &b : garbage)
            b = static_cast<uint8_t>(random());
        // headers that announce the longest frame are the worst case
        if (round % 3 == 0 && !garbage.empty())
            garbage.back() = 0x14;
        RequestDecoder in(1);
        feed(in, concat({garbage, frame}));
        Request got;
        ASSERT_TRUE(in.next(got)) << "round " << round;
        EXPECT_EQ(got.address, 0x00ABCDu);
    }
}

TEST(FrameCodec, FrameSplitAcrossReadsAndTwoFramesInOneRead)
{
    const Bytes a = encodeRequest(readWord(0x000010, 1));
    Request w;
    w.command = Command::WriteWord;
    w.seq = 2;
    w.address = 0x000012;
    w.value = 0xFFFF;
    const Bytes b = encodeRequest(w);

    RequestDecoder in(1);
    Request got;
    for (size_t i = 0; i + 1 < a.size(); ++i) {
        in.feed(&a[i], 1);
        EXPECT_FALSE(in.next(got));
    }
    in.feed(&a.back(), 1);
    ASSERT_TRUE(in.next(got));
    EXPECT_EQ(got.address, 0x10u);

    feed(in, concat({a, b}));
    ASSERT_TRUE(in.next(got));
    EXPECT_EQ(got.command, Command::ReadWord);
    ASSERT_TRUE(in.next(got));
    EXPECT_EQ(got.command, Command::WriteWord);
    EXPECT_EQ(got.value, 0xFFFFu);
    EXPECT_FALSE(in.next(got));
}

TEST(FrameCodec, RequestsForOtherNodesArePassedOver)
{
    RequestDecoder in(1);
    feed(in, concat({encodeRequest(readWord(0x20, 1, 2)), encodeRequest(readWord(0x30, 2, 1))}));
    Request got;
    ASSERT_TRUE(in.next(got));
    EXPECT_EQ(got.address, 0x30u);
    EXPECT_EQ(in.otherNodeFrames(), 1u);
}

TEST(FrameCodec, OnlyTheReplyToTheRequestInFlightCounts)
{
    const Request earlier = readWord(0x000100, 4);
    const Request current = readWord(0x000200, 5);
    Reply late;
    late.seq = 4;
    late.value = 111;
    Reply answer;
    answer.seq = 5;
    answer.value = 222;
    Reply otherCommand = answer;
    otherCommand.command = Command::ReadLong;
    Request sameSeqOtherSession = readWord(0x000100, 5);   // a new link starts its numbers again

    ReplyDecoder out;
    out.expect(Command::ReadWord);
    out.accept(current);
    feed(out, concat({encodeReply(earlier, late), encodeReply(readWord(0x000200, 5, 2), answer),
                      encodeReply(current, otherCommand), encodeReply(sameSeqOtherSession, answer)}));
    Reply got;
    EXPECT_FALSE(out.next(got)) << "late, other-node, other-command and other-request replies are all skipped";
    feed(out, encodeReply(current, answer));
    ASSERT_TRUE(out.next(got));
    EXPECT_EQ(got.value, 222u);

    // a resent request: replies to either frame answer it
    Request first = readWord(0x000300, 6);
    Request again = readWord(0x000300, 7);
    out.expect(Command::ReadWord);
    out.accept(first);
    out.accept(again);
    Reply six = answer;
    six.seq = 6;
    feed(out, encodeReply(first, six));
    EXPECT_TRUE(out.next(got));
}

TEST(FrameCodec, ErrorReply)
{
    Request write;
    write.command = Command::WriteLong;
    write.seq = 2;
    write.address = 0x777776;
    Reply error;
    error.seq = 2;
    error.isError = true;
    error.error = Error::NoSuchAddress;
    const Bytes bytes = encodeReply(write, error);
    EXPECT_EQ(bytes.size(), ErrorReplySize);
    EXPECT_EQ(bytes[0], 0x2F);
    ReplyDecoder out;
    out.expect(Command::WriteLong);
    out.accept(write);
    feed(out, bytes);
    Reply got;
    ASSERT_TRUE(out.next(got));
    EXPECT_TRUE(got.isError);
    EXPECT_EQ(got.error, Error::NoSuchAddress);
}

TEST(FrameCodec, EndlessGarbageStaysBounded)
{
    RequestDecoder in(1);
    Bytes noise(4000, 0x14);  // every byte announces a long write
    feed(in, noise);
    Request got;
    EXPECT_FALSE(in.next(got));
    EXPECT_LE(in.pending(), FrameBuffer::Capacity);
    feed(in, encodeRequest(readWord(0x40, 1)));
    ASSERT_TRUE(in.next(got));
    EXPECT_EQ(got.address, 0x40u);
}
