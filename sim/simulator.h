#pragma once

#include "faultsettings.h"
#include "requestdecoder.h"
#include "simoptions.h"

#include <QString>
#include <chrono>
#include <csignal>
#include <random>

class ControllerMemory;
class MachineModel;
class PtyLine;

// The controller's serial loop: takes requests off the line, answers them
// from memory, and sends every byte at the pace of the configured baud rate
// (10 bits a byte), as a real line would. Requests take their wire time too:
// a request is handled when its last byte would have arrived. The faults of
// the current settings act on what the controller sends.
class Simulator
{
public:
    using Clock = std::chrono::steady_clock;

    struct Stats
    {
        long requests = 0;
        long replies = 0;
        long bytesIn = 0;
        long bytesOut = 0;
    };

    Simulator(const SimOptions &options, ControllerMemory &memory, MachineModel &model, PtyLine &line);

    // Runs until asked to stop or until it hangs up; the exit code.
    int run();

    // Set from signal handlers.
    static volatile std::sig_atomic_t stopRequested;
    static volatile std::sig_atomic_t powerCycleRequested;
    static volatile std::sig_atomic_t reportRequested;

    const Stats &stats() const { return m_stats; }
    void applySettings(const FaultSettings &settings);

private:
    void pollControlFile(bool force);
    void handle(const FrameCodec::Request &request);
    void send(std::vector<uint8_t> bytes, bool hangUpAfterHalf);
    void powerCycle();
    void printStats() const;

    SimOptions m_options;
    ControllerMemory &m_memory;
    MachineModel &m_model;
    PtyLine &m_line;
    RequestDecoder m_decoder;
    FaultSettings m_settings;
    QString m_controlText;
    bool m_controlSeen = false;
    int m_powerCycles = 0;
    long m_answeredSinceDisconnectSet = 0;
    Clock::duration m_byteTime;
    Clock::time_point m_rxLineFree;
    Clock::time_point m_txLineFree;
    Clock::time_point m_lastInput;
    Clock::time_point m_lastControlCheck;
    std::mt19937 m_dice;
    Stats m_stats;
    bool m_hungUp = false;
};
