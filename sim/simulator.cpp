#include "simulator.h"

#include "controllermemory.h"
#include "machinemodel.h"
#include "ptyline.h"

#include <QFile>
#include <cstdio>
#include <poll.h>
#include <thread>

using namespace FrameCodec;

volatile std::sig_atomic_t Simulator::stopRequested = 0;
volatile std::sig_atomic_t Simulator::powerCycleRequested = 0;
volatile std::sig_atomic_t Simulator::reportRequested = 0;

namespace {

void warn(const QString &text)
{
    std::fprintf(stderr, "krv-sim: %s\n", text.toLocal8Bit().constData());
}

} // namespace

Simulator::Simulator(const SimOptions &options, ControllerMemory &memory, MachineModel &model, PtyLine &line)
    : m_options(options),
      m_memory(memory),
      m_model(model),
      m_line(line),
      m_decoder(static_cast<uint8_t>(options.node)),
      m_byteTime(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / options.baud))),
      m_dice(options.seed)
{
    m_decoder.setTakesBlocks(options.blocks);
    m_rxLineFree = m_txLineFree = m_lastInput = m_lastControlCheck = Clock::now();
    applySettings(options.faults);
    m_powerCycles = m_settings.powerCycles;
    pollControlFile(true);
}

void Simulator::applySettings(const FaultSettings &settings)
{
    if (settings.disconnectAfter != m_settings.disconnectAfter)
        m_answeredSinceDisconnectSet = 0;
    m_settings = settings;
    for (const QString &name : m_memory.setFaults(settings.faults))
        warn(QStringLiteral("no error word named ") + name);
    m_model.holdJoysticks(settings.heldJoysticks);
}

void Simulator::pollControlFile(bool force)
{
    const Clock::time_point now = Clock::now();
    if (m_options.controlFile.isEmpty() || (!force && now - m_lastControlCheck < std::chrono::milliseconds(100)))
        return;
    m_lastControlCheck = now;
    QFile f(m_options.controlFile);
    const QString text = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    if (m_controlSeen && text == m_controlText)
        return;
    m_controlSeen = true;
    m_controlText = text;
    QStringList problems;
    const FaultSettings next = FaultSettings::withControlText(m_options.faults, text, &problems);
    for (const QString &p : problems)
        warn(p);
    applySettings(next);
    if (next.powerCycles != m_powerCycles) {
        m_powerCycles = next.powerCycles;
        powerCycle();
    }
}

void Simulator::powerCycle()
{
    m_memory.powerCycle();
    m_model.reset(Clock::now());
    m_decoder.clear();
    warn(QStringLiteral("power cycle"));
}

void Simulator::send(std::vector<uint8_t> bytes, bool hangUpAfterHalf)
{
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> flip(1, 255);
    std::vector<uint8_t> out;
    for (uint8_t b : bytes) {
        if (m_settings.dropRate > 0 && chance(m_dice) < m_settings.dropRate)
            continue;
        if (m_settings.corruptRate > 0 && chance(m_dice) < m_settings.corruptRate)
            b = static_cast<uint8_t>(b ^ flip(m_dice));
        out.push_back(b);
    }
    if (hangUpAfterHalf)
        out.resize(out.size() / 2);

    // The reply is due from the moment the request's last byte was in, not
    // from whenever this process got to run again: late bytes catch up.
    const Clock::time_point ready = m_options.pacing ? m_rxLineFree : Clock::now();
    const Clock::time_point start = std::max(ready, m_txLineFree) + std::chrono::milliseconds(m_settings.delayMs);
    if (!m_options.pacing) {
        std::this_thread::sleep_until(start);
        m_line.write(out.data(), out.size());
    } else {
        // each byte leaves when its stop bit would have ended
        for (size_t i = 0; i < out.size(); ++i) {
            const Clock::time_point due = start + m_byteTime * static_cast<long>(i + 1);
            std::this_thread::sleep_until(due);
            m_line.write(&out[i], 1);
            m_txLineFree = due;
        }
    }
    m_stats.bytesOut += static_cast<long>(out.size());
}

void Simulator::handle(const Request &request)
{
    ++m_stats.requests;
    if (m_settings.silent)
        return;
    const bool hangUp = m_settings.disconnectAfter > 0 && m_answeredSinceDisconnectSet >= m_settings.disconnectAfter;

    const Clock::time_point now = Clock::now();
    ControllerMemory::Result result;
    switch (request.command) {
    case Command::ReadWord: result = m_memory.readWord(request.address, now); break;
    case Command::WriteWord: result = m_memory.writeWord(request.address, static_cast<uint16_t>(request.value)); break;
    case Command::ReadLong: result = m_memory.readLong(request.address, now); break;
    case Command::WriteLong: result = m_memory.writeLong(request.address, request.value); break;
    case Command::ReadBlock: result = m_memory.readBlock(request.address, request.count, now); break;
    case Command::WriteBlock: result = m_memory.writeBlock(request.address, request.words); break;
    }
    if (!m_memory.saveError().isEmpty())
        warn(m_memory.saveError());
    Reply reply;
    reply.seq = request.seq;
    reply.command = request.command;
    reply.isError = !result.ok;
    reply.error = result.error;
    reply.value = result.value;
    reply.words = result.words;
    reply.errorIndex = result.index;
    send(encodeReply(request, reply), hangUp);
    ++m_answeredSinceDisconnectSet;
    ++m_stats.replies;
    if (hangUp) {
        warn(QStringLiteral("hanging up after %1 answers").arg(m_settings.disconnectAfter));
        m_line.hangUp();
        m_hungUp = true;
    }
}

int Simulator::run()
{
    uint8_t buffer[512];
    while (!stopRequested && !m_hungUp) {
        if (powerCycleRequested) {
            powerCycleRequested = 0;
            powerCycle();
        }
        if (reportRequested) {
            reportRequested = 0;
            printStats();
        }
        pollfd p{m_line.fd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        pollControlFile(false);
        if (ready <= 0)
            continue;
        const int n = m_line.read(buffer, sizeof buffer);
        if (n <= 0)
            continue;
        const Clock::time_point now = Clock::now();
        // a partial frame followed by a long silence is a cut frame
        if (m_decoder.pending() > 0 && now - m_lastInput > std::chrono::milliseconds(100))
            m_decoder.clear();
        m_lastInput = now;
        m_stats.bytesIn += n;
        m_rxLineFree = std::max(now, m_rxLineFree) + m_byteTime * n;
        m_decoder.feed(buffer, static_cast<size_t>(n));
        Request request;
        while (!m_hungUp && m_decoder.next(request)) {
            if (m_options.pacing)
                std::this_thread::sleep_until(m_rxLineFree);
            pollControlFile(true);
            handle(request);
        }
    }
    printStats();
    return m_hungUp ? 3 : 0;
}

void Simulator::printStats() const
{
    std::fprintf(stderr, "krv-sim: %ld requests, %ld replies, %ld bytes in, %ld bytes out\n", m_stats.requests,
                 m_stats.replies, m_stats.bytesIn, m_stats.bytesOut);
    std::fflush(stderr);
}
