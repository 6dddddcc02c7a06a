#pragma once

#include "devicelinkapi.h"
#include "framecodec.h"
#include "replydecoder.h"
#include "serialline.h"

#include <QString>
#include <chrono>
#include <memory>
#include <optional>

// The device link: "Par" accesses turned into request frames on the serial
// line. Every call blocks until the reply or the time-out; a reply that is
// damaged or cut is answered by sending the request again (all requests are
// idempotent) while time is left.
class SerialDeviceLink : public IDeviceLink, public IDeviceBlockLink
{
public:
    static constexpr int MaxAttempts = 5;

    SerialDeviceLink(std::shared_ptr<SerialLine> line, const ConnectionSettings &settings);

    bool readPar(int32_t a, int32_t b, int16_t t, double &value) override;
    bool writePar(int32_t a, int32_t b, int16_t t, const QVariant &value) override;
    void setTimeout(int milliseconds) override;
    int timeout() const override { return m_timeoutMs; }
    void ErrTimeOut() override;
    LinkFault lastFault() const override { return m_lastFault; }

    bool takesBlocks() override;
    bool readBlock(uint32_t address, int count, uint16_t *words) override;
    bool writeBlock(uint32_t address, int count, const uint16_t *words) override;

    // Why the last failed access failed, in words (for diagnostics).
    QString lastError() const { return m_lastError; }

private:
    std::optional<FrameCodec::Reply> transact(FrameCodec::Request request);
    // A block request's address and count, checked; false (noted) when out of range.
    bool blockRequest(FrameCodec::Command command, uint32_t address, int count, FrameCodec::Request &request);
    bool fail(LinkFault fault, const QString &why);
    uint8_t nextSeq();

    std::shared_ptr<SerialLine> m_line;
    uint8_t m_node;
    int m_timeoutMs;
    int m_gapMs;
    std::chrono::nanoseconds m_charTime;   // one character on the wire at the set speed
    bool m_lineKeepsPace = false;          // replies take their wire time: a real line
    uint8_t m_seq = 0;
    ReplyDecoder m_decoder;
    std::optional<bool> m_takesBlocks;      // asked of the controller once
    LinkFault m_lastFault = LinkFault::None;
    QString m_lastError;
};
