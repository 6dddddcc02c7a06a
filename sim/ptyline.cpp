#include "ptyline.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString lastError(const char *what)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PtyLine::~PtyLine()
{
    removeLink();
    hangUp();
}

bool PtyLine::open(QString *error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        if (error)
            *error = lastError("cannot create a pseudo-terminal");
        hangUp();
        return false;
    }
    const char *name = ::ptsname(m_master);
    m_path = QString::fromLocal8Bit(name ? name : "");
    m_keepAlive = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (m_keepAlive < 0 || ::tcgetattr(m_keepAlive, &tio) != 0) {
        if (error)
            *error = lastError("cannot open the pseudo-terminal's device");
        hangUp();
        return false;
    }
    // raw: no echo, no line editing, no character translation
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(m_keepAlive, TCSANOW, &tio);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

bool PtyLine::makeLink(const QString &linkPath, QString *error)
{
    const QByteArray link = linkPath.toLocal8Bit();
    const QFileInfo info(linkPath);
    if (info.exists() && !info.isSymLink()) {
        if (error)
            *error = linkPath + QStringLiteral(" exists and is not a link");
        return false;
    }
    ::unlink(link.constData());
    if (::symlink(m_path.toLocal8Bit().constData(), link.constData()) != 0) {
        if (error)
            *error = lastError("cannot make the link");
        return false;
    }
    m_link = linkPath;
    return true;
}

void PtyLine::removeLink()
{
    if (!m_link.isEmpty())
        ::unlink(m_link.toLocal8Bit().constData());
    m_link.clear();
}

int PtyLine::read(uint8_t *buffer, size_t capacity)
{
    if (m_master < 0)
        return 0;
    const ssize_t n = ::read(m_master, buffer, capacity);
    return n > 0 ? static_cast<int>(n) : 0;
}

bool PtyLine::write(const uint8_t *data, size_t size)
{
    size_t done = 0;
    while (m_master >= 0 && done < size) {
        const ssize_t n = ::write(m_master, data + done, size - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return false;
    }
    return done == size;
}

void PtyLine::hangUp()
{
    if (m_keepAlive >= 0)
        ::close(m_keepAlive);
    if (m_master >= 0)
        ::close(m_master);
    m_keepAlive = -1;
    m_master = -1;
}
