#include "serialdevicelink.h"

#include <algorithm>
#include <cmath>
#include <thread>

using namespace FrameCodec;
using Clock = SerialLine::Clock;

namespace {

int millisecondsUntil(Clock::time_point t)
{
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now()).count());
}

// (A, B) of a word access as one 24-bit address; A is the high 16 bits.
bool wordAddress(int32_t a, int32_t b, uint32_t &address)
{
    if (a < 0 || a > 0xFFFF || b < 0 || b > 0xFF)
        return false;
    address = (static_cast<uint32_t>(a) << 8) | static_cast<uint32_t>(b);
    return true;
}

// A 32-bit access names the 24-bit address itself.
bool rawAddress(int32_t a, uint32_t &address)
{
    if (a < 0 || static_cast<uint32_t>(a) > MaxAddress)
        return false;
    address = static_cast<uint32_t>(a);
    return true;
}

// A number, or a text holding a decimal number, rounded to a whole number.
bool wholeValue(const QVariant &value, double low, double high, double &out)
{
    bool ok = false;
    double v;
    if (value.typeId() == QMetaType::QString)
        v = value.toString().trimmed().toDouble(&ok);
    else
        v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    v = std::nearbyint(v);
    if (v < low || v > high)
        return false;
    out = v;
    return true;
}

LinkFault faultOf(Error e)
{
    switch (e) {
    case Error::NoSuchAddress: return LinkFault::NoSuchAddress;
    case Error::ReadOnly: return LinkFault::ReadOnly;
    case Error::BadValue: return LinkFault::ValueRefused;
    }
    return LinkFault::ValueRefused;
}

// The software version word: every controller has it, so a one-word block
// read of it tells whether the controller takes blocks at all.
constexpr uint32_t VersionAddress = 0x002000;

QString errorText(Error e)
{
    switch (e) {
    case Error::NoSuchAddress: return QStringLiteral("controller has no such address");
    case Error::ReadOnly: return QStringLiteral("address is read-only");
    case Error::BadValue: return QStringLiteral("controller refused the value");
    }
    return QStringLiteral("controller error ") + QString::number(static_cast<int>(e));
}

} // namespace

SerialDeviceLink::SerialDeviceLink(std::shared_ptr<SerialLine> line, const ConnectionSettings &settings)
    : m_line(std::move(line)),
      m_node(static_cast<uint8_t>(settings.node)),
      m_timeoutMs(settings.timeoutMs),
      // a reply pauses no longer than a dozen characters; a longer quiet spell
      // after some bytes means the reply was cut or damaged
      m_gapMs(std::max(20, 12 * 10 * 1000 / std::max(settings.baud, 1))),
      m_charTime(static_cast<long long>(1e9 * (1 + settings.dataBits + (settings.parity != 'N') + settings.stopBits)
                                        / std::max(settings.baud, 1)))
{
}

void SerialDeviceLink::setTimeout(int milliseconds)
{
    m_timeoutMs = std::max(1, milliseconds);
}

void SerialDeviceLink::ErrTimeOut()
{
    // A long write failed: whatever the controller still sends belongs to it.
    m_line->discardInput();
    m_decoder.clear();
}

bool SerialDeviceLink::fail(LinkFault fault, const QString &why)
{
    m_lastFault = fault;
    m_lastError = why;
    return false;
}

uint8_t SerialDeviceLink::nextSeq()
{
    m_seq = static_cast<uint8_t>((m_seq + 1) & 0x0F);
    return m_seq;
}

bool SerialDeviceLink::readPar(int32_t a, int32_t b, int16_t t, double &value)
{
    Request request;
    if (t == 2) {
        request.command = Command::ReadWord;
        if (!wordAddress(a, b, request.address))
            return fail(LinkFault::NotSent, QStringLiteral("address out of range"));
    } else if (t == 3) {
        request.command = Command::ReadLong;
        if (b != 0 || !rawAddress(a, request.address))
            return fail(LinkFault::NotSent, QStringLiteral("address out of range"));
    } else {
        return fail(LinkFault::NotSent, QStringLiteral("read type must be 2 or 3"));
    }
    const auto reply = transact(request);
    if (!reply)
        return false;
    value = request.command == Command::ReadWord ? static_cast<double>(reply->value)
                                                 : static_cast<double>(static_cast<int32_t>(reply->value));
    return true;
}

bool SerialDeviceLink::writePar(int32_t a, int32_t b, int16_t t, const QVariant &value)
{
    Request request;
    double v = 0;
    if (t == 3) {
        request.command = Command::WriteWord;
        if (!wordAddress(a, b, request.address))
            return fail(LinkFault::NotSent, QStringLiteral("address out of range"));
        if (!wholeValue(value, -32768.0, 65535.0, v))
            return fail(LinkFault::NotSent, QStringLiteral("word value out of range"));
        request.value = static_cast<uint32_t>(static_cast<int32_t>(v)) & 0xFFFF;
    } else if (t == 19) {
        request.command = Command::WriteLong;
        if (b != 4)
            return fail(LinkFault::NotSent, QStringLiteral("a long write takes 4 bytes"));
        if (!rawAddress(a, request.address))
            return fail(LinkFault::NotSent, QStringLiteral("address out of range"));
        if (!wholeValue(value, -2147483648.0, 4294967295.0, v))
            return fail(LinkFault::NotSent, QStringLiteral("long value out of range"));
        request.value = v < 0 ? static_cast<uint32_t>(static_cast<int32_t>(v)) : static_cast<uint32_t>(v);
    } else {
        return fail(LinkFault::NotSent, QStringLiteral("write type must be 3 or 19"));
    }
    return transact(request).has_value();
}

bool SerialDeviceLink::takesBlocks()
{
    if (m_takesBlocks)
        return *m_takesBlocks;
    // A controller without blocks takes the request for garbage and stays
    // silent: wait for no more than a few wire times of the exchange, not the
    // whole time-out.
    const int wireMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
        m_charTime * static_cast<long>(requestSize(Command::ReadBlock) + replySize(Command::ReadBlock))).count());
    const int timeoutMs = m_timeoutMs;
    m_timeoutMs = std::min(timeoutMs, std::max(200, 4 * wireMs + m_gapMs));
    uint16_t version = 0;
    const bool answered = readBlock(VersionAddress, 1, &version);
    m_timeoutMs = timeoutMs;
    // only a lost line leaves the question open for the next link
    if (answered || m_lastFault != LinkFault::LineLost)
        m_takesBlocks = answered;
    return answered;
}

bool SerialDeviceLink::blockRequest(Command command, uint32_t address, int count, Request &request)
{
    if (count < 1 || count > MaxBlockWords || (address & 1) != 0
        || address + 2 * static_cast<uint32_t>(count - 1) > MaxAddress)
        return fail(LinkFault::NotSent, QStringLiteral("block out of range"));
    request.command = command;
    request.address = address;
    request.count = static_cast<uint8_t>(count);
    return true;
}

bool SerialDeviceLink::readBlock(uint32_t address, int count, uint16_t *words)
{
    Request request;
    if (!blockRequest(Command::ReadBlock, address, count, request))
        return false;
    const auto reply = transact(request);
    if (!reply)
        return false;
    std::copy(reply->words.begin(), reply->words.end(), words);
    return true;
}

bool SerialDeviceLink::writeBlock(uint32_t address, int count, const uint16_t *words)
{
    Request request;
    if (!blockRequest(Command::WriteBlock, address, count, request))
        return false;
    request.words.assign(words, words + count);
    return transact(request).has_value();
}

std::optional<Reply> SerialDeviceLink::transact(Request request)
{
    if (!m_line || !m_line->isOpen() || m_line->isBroken()) {
        fail(LinkFault::LineLost, QStringLiteral("line is closed"));
        return std::nullopt;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_timeoutMs);
    request.node = m_node;
    m_line->discardInput();
    m_decoder.clear();
    m_decoder.expect(request.command, request.count);

    int attempts = 0;
    size_t junkMark = 0;
    auto send = [&]() {
        request.seq = nextSeq();
        m_decoder.accept(request);
        m_decoder.clear();
        junkMark = m_decoder.discarded();
        ++attempts;
        const auto frame = encodeRequest(request);
        return m_line->writeAll(frame.data(), frame.size(), deadline);
    };
    if (!send()) {
        if (m_line->isBroken())
            fail(LinkFault::LineLost, QStringLiteral("line lost"));
        else
            fail(LinkFault::NoAnswer, QStringLiteral("cannot send"));
        return std::nullopt;
    }
    // On a line that keeps its pace no good reply is in before the request and
    // the reply have crossed the wire: sleeping until then spares the wake-up
    // the line discipline gives for every byte. A virtual line that answers at
    // once is not waited on.
    const Clock::time_point sentAt = Clock::now();
    const size_t replyBytes = replySize(request.command, request.count);
    const auto wireTime = m_charTime * static_cast<long>(requestSize(request.command, request.count) + replyBytes);
    if (m_lineKeepsPace)
        std::this_thread::sleep_until(std::min(deadline, sentAt + wireTime));
    Clock::time_point lastByte = Clock::now();
    uint8_t buffer[256];
    for (;;) {
        const int left = millisecondsUntil(deadline);
        if (left <= 0) {
            fail(LinkFault::NoAnswer, QStringLiteral("no reply within ") + QString::number(m_timeoutMs) + QStringLiteral(" ms"));
            return std::nullopt;
        }
        // the rest of a good reply; an error reply, shorter, comes in when the wait runs out
        const int expected = static_cast<int>(replyBytes) - static_cast<int>(m_decoder.pending());
        const int n = m_line->readSome(buffer, sizeof buffer, std::min(left, m_gapMs), expected);
        if (n < 0) {
            fail(LinkFault::LineLost, QStringLiteral("line lost"));
            return std::nullopt;
        }
        if (n > 0) {
            lastByte = Clock::now();
            m_decoder.feed(buffer, static_cast<size_t>(n));
            Reply reply;
            if (m_decoder.next(reply)) {
                m_lineKeepsPace = Clock::now() - sentAt >= wireTime * 9 / 10;
                if (reply.isError) {
                    QString why = errorText(reply.error);
                    if (isBlockCommand(request.command))
                        why += QStringLiteral(" (word %1 of the block)").arg(reply.errorIndex);
                    fail(faultOf(reply.error), why);
                    return std::nullopt;
                }
                return reply;
            }
            continue;
        }
        const bool sawJunk = m_decoder.pending() > 0 || m_decoder.discarded() > junkMark;
        const bool quiet = Clock::now() - lastByte >= std::chrono::milliseconds(m_gapMs);
        if (sawJunk && quiet && attempts < MaxAttempts) {
            if (!send()) {
                fail(LinkFault::LineLost, QStringLiteral("line lost"));
                return std::nullopt;
            }
            lastByte = Clock::now();
        }
    }
}
