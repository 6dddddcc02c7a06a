#pragma once

#include "connectionsettings.h"

#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

class QSerialPort;

// One serial port. Qt's serial port opens it: the lock file other serial
// programs honour, exclusive use, the line parameters and the cause of a
// failed open. The waits stay on the port's descriptor, non-blocking: a wake
// threshold lets a whole reply wake the program once instead of once per
// byte, and a line that hangs up is reported as broken at once instead of
// waiting for a time-out.
class SerialLine
{
public:
    using Clock = std::chrono::steady_clock;

    SerialLine();
    ~SerialLine();
    SerialLine(const SerialLine &) = delete;
    SerialLine &operator=(const SerialLine &) = delete;

    // `error` gets the cause alone: "no such device", "in use by another program", ...
    bool open(const QString &path, const ConnectionSettings &settings, QString *error);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    bool isBroken() const { return m_broken; }

    // Drops whatever the line has delivered and nobody has read yet.
    void discardInput();
    bool writeAll(const uint8_t *data, size_t size, Clock::time_point deadline);
    // Bytes read (> 0), 0 when nothing came within `waitMs`, -1 when the line is gone.
    // The wait ends early once `wakeThreshold` bytes are in; fewer bytes are
    // still returned when the wait runs out.
    int readSome(uint8_t *buffer, size_t capacity, int waitMs, int wakeThreshold = 1);

private:
    bool configure(const ConnectionSettings &settings, QString *error);
    void markBroken();
    void setWakeThreshold(int bytes);
    int readAvailable(uint8_t *buffer, size_t capacity);

    std::unique_ptr<QSerialPort> m_port;
    int m_fd = -1;
    int m_wakeThreshold = 1;
    bool m_broken = false;
};
