#include "serialline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QString NoSuchDevice = QStringLiteral("no such device");
const QString InUse = QStringLiteral("in use by another program");
const QString NotASerialPort = QStringLiteral("not a serial port");

// The names other programs may have locked a device under: by the path it
// was named by and by the device a link leads to, each as "LCK.." and the
// part after /dev/ ('/' as '_') or the bare file name.
QStringList lockNames(const QString &device)
{
    QStringList names;
    for (const QString &path : {device, QFileInfo(device).canonicalFilePath()}) {
        if (path.isEmpty())
            continue;
        QString underDev = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : QFileInfo(path).fileName();
        names << QStringLiteral("LCK..") + underDev.replace(QLatin1Char('/'), QLatin1Char('_'))
              << QStringLiteral("LCK..") + QFileInfo(path).fileName();
    }
    names.removeDuplicates();
    return names;
}

// A lock file in the old style of serial programs: the owner's process
// number as text (or as four raw bytes) and nothing else. Qt's own lock
// file takes such a file for a stale one, so it is looked at first.
bool heldByAnotherProgram(const QString &device)
{
    const QStringList names = lockNames(device);
    for (const char *folder : {"/var/lock", "/run/lock"}) {
        for (const QString &name : names) {
            QFile file(QDir(QLatin1String(folder)).filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = file.read(64);
            qint64 pid = 0;
            if (bytes.size() == 4) {
                int32_t raw = 0;
                std::memcpy(&raw, bytes.constData(), sizeof raw);
                pid = raw;
            } else {
                pid = bytes.split('\n').value(0).trimmed().toLongLong();
            }
            if (pid > 0 && pid != ::getpid() && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM))
                return true;
        }
    }
    return false;
}

// Why a port could not be opened, in the words a user acts on.
QString openCause(const QSerialPort &port, const QString &device)
{
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return NoSuchDevice;
    case QSerialPort::PermissionError:
        // refused by the lock, the exclusive open or the device's rights
        if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0)
            return InUse;
        return QStringLiteral("permission denied (the user needs the dialout group)");
    case QSerialPort::UnsupportedOperationError:
        return NotASerialPort;
    default:
        break;
    }
    const QFileInfo info(device);
    if (!info.exists())
        return NoSuchDevice;
    if (info.isDir())
        return NotASerialPort;
    return port.errorString();
}

QSerialPort::Parity parityOf(char parity)
{
    switch (parity) {
    case 'E': return QSerialPort::EvenParity;
    case 'O': return QSerialPort::OddParity;
    default: return QSerialPort::NoParity;
    }
}

} // namespace

SerialLine::SerialLine() = default;

SerialLine::~SerialLine()
{
    close();
}

bool SerialLine::open(const QString &path, const ConnectionSettings &settings, QString *error)
{
    close();
    const QString device = QFileInfo(path).absoluteFilePath();
    const auto fail = [&](const QString &cause) {
        if (error)
            *error = cause;
        close();
        return false;
    };
    if (heldByAnotherProgram(device))
        return fail(InUse);
    m_port = std::make_unique<QSerialPort>();
    m_port->setPortName(device);
    if (!m_port->open(QIODevice::ReadWrite))
        return fail(openCause(*m_port, device));
    if (!configure(settings, error)) {
        close();
        return false;
    }
    // Raise DTR and RTS for adapters that want them; a pseudo-terminal has no
    // modem lines and refuses, which is fine.
    m_port->setDataTerminalReady(true);
    m_port->setRequestToSend(true);
    // Whatever waited in the port belongs to an earlier session.
    m_port->clear(QSerialPort::AllDirections);
    m_port->clearError();
    // The line is waited on here, not through an event loop: detached from
    // any thread, the port never wakes one and may be used from any of them.
    m_port->moveToThread(nullptr);
    m_fd = static_cast<int>(m_port->handle());
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    m_wakeThreshold = 1;
    m_broken = false;
    return true;
}

bool SerialLine::configure(const ConnectionSettings &s, QString *error)
{
    if (!m_port->setBaudRate(s.baud)) {
        if (error)
            *error = QStringLiteral("unsupported baud rate ") + QString::number(s.baud);
        return false;
    }
    if (!m_port->setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) || !m_port->setParity(parityOf(s.parity))
        || !m_port->setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop)
        || !m_port->setFlowControl(QSerialPort::NoFlowControl)) {
        if (error)
            *error = QStringLiteral("cannot set line parameters: ") + m_port->errorString();
        return false;
    }
    return true;
}

void SerialLine::close()
{
    // the port closes its descriptor and removes its lock file
    m_port.reset();
    m_fd = -1;
}

void SerialLine::markBroken()
{
    m_broken = true;
}

void SerialLine::discardInput()
{
    if (m_fd < 0 || m_broken)
        return;
    m_port->clear(QSerialPort::Input);
    uint8_t scratch[256];
    // bytes already in flight when the flush ran
    while (::read(m_fd, scratch, sizeof scratch) > 0) {
    }
}

bool SerialLine::writeAll(const uint8_t *data, size_t size, Clock::time_point deadline)
{
    if (m_fd < 0 || m_broken)
        return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            markBroken();
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd p{m_fd, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left)) > 0 && (p.revents & (POLLHUP | POLLERR))) {
            markBroken();
            return false;
        }
    }
    return true;
}

void SerialLine::setWakeThreshold(int bytes)
{
    bytes = std::clamp(bytes, 1, 255);
    if (bytes == m_wakeThreshold)
        return;
    // The line discipline holds poll() back until VMIN bytes are in, so a
    // reply wakes the program once instead of once per byte. Reads stay
    // non-blocking and return whatever is there.
    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0)
        return;
    tio.c_cc[VMIN] = static_cast<cc_t>(bytes);
    if (::tcsetattr(m_fd, TCSANOW, &tio) == 0)
        m_wakeThreshold = bytes;
}

int SerialLine::readSome(uint8_t *buffer, size_t capacity, int waitMs, int wakeThreshold)
{
    if (m_fd < 0 || m_broken)
        return -1;
    setWakeThreshold(wakeThreshold);
    pollfd p{m_fd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, waitMs < 0 ? 0 : waitMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        markBroken();
        return -1;
    }
    if (ready == 0)
        // fewer bytes than the threshold may be waiting: a short or cut reply
        return m_wakeThreshold > 1 ? readAvailable(buffer, capacity) : 0;
    if (p.revents & POLLIN)
        return readAvailable(buffer, capacity);
    // POLLHUP, POLLERR or POLLNVAL without data
    markBroken();
    return -1;
}

int SerialLine::readAvailable(uint8_t *buffer, size_t capacity)
{
    const ssize_t n = ::read(m_fd, buffer, capacity);
    if (n > 0)
        return static_cast<int>(n);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    // 0 or EIO: the other end hung up
    markBroken();
    return -1;
}
