#include "serialline.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const QString &what)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// Why a port could not be opened, in the words a user acts on.
QString openCause(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("no such device");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied (the user needs the dialout group)");
    case EBUSY:
        return QStringLiteral("in use by another program");
    case EISDIR:
        return QStringLiteral("not a serial port");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

speed_t baudConstant(int baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

} // namespace

SerialLine::~SerialLine()
{
    close();
}

bool SerialLine::open(const QString &path, const ConnectionSettings &settings, QString *error)
{
    close();
    const QByteArray native = path.toLocal8Bit();
    m_fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        if (error)
            *error = openCause(errno);
        return false;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (error)
            *error = openCause(errno == EWOULDBLOCK ? EBUSY : errno);
        close();
        return false;
    }
    if (!::isatty(m_fd)) {
        if (error)
            *error = QStringLiteral("not a serial port");
        close();
        return false;
    }
    if (!configure(settings, error)) {
        close();
        return false;
    }
    // Raise DTR and RTS for adapters that want them; a pseudo-terminal has no
    // modem lines and refuses, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(m_fd, TIOCMBIS, &lines);
    // Whatever waited in the port belongs to an earlier session.
    ::tcflush(m_fd, TCIOFLUSH);
    m_broken = false;
    return true;
}

bool SerialLine::configure(const ConnectionSettings &s, QString *error)
{
    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0) {
        if (error)
            *error = QStringLiteral("not a serial port");
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizes[s.dataBits - 5];
    if (s.parity != 'N')
        tio.c_cflag |= PARENB | (s.parity == 'O' ? PARODD : 0);
    if (s.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    m_wakeThreshold = 1;
    const speed_t speed = baudConstant(s.baud);
    if (speed == B0) {
        if (error)
            *error = QStringLiteral("unsupported baud rate ") + QString::number(s.baud);
        return false;
    }
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        if (error)
            *error = systemError(QStringLiteral("cannot set line parameters"));
        return false;
    }
    return true;
}

void SerialLine::close()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
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
    ::tcflush(m_fd, TCIFLUSH);
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
