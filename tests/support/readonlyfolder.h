#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a folder refuse new files for as long as the object lives. Root
// ignores permission bits, so the folder is first made immutable (needs a file
// system with the flag and the right to set it); otherwise its write
// permission is taken away. Either way a probe file proves it works:
// ready() is false, with why(), when the folder still takes new files.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
        if (setImmutable(true)) {
            m_immutable = true;
        } else {
            struct stat st{};
            if (::stat(m_folder.constData(), &st) == 0 && ::chmod(m_folder.constData(), 0555) == 0) {
                m_oldMode = st.st_mode & 07777;
                m_chmodded = true;
            }
        }
        const QByteArray probe = m_folder + "/.probe";
        const int fd = ::open(probe.constData(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd < 0) {
            m_ready = true;
            return;
        }
        ::close(fd);
        ::unlink(probe.constData());
        m_why = QStringLiteral("the folder still takes new files: this user ignores its permissions and the "
                               "file system refuses the immutable flag");
    }

    ~ReadOnlyFolder()
    {
        if (m_immutable)
            setImmutable(false);
        if (m_chmodded)
            ::chmod(m_folder.constData(), m_oldMode);
    }

    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool ready() const { return m_ready; }
    QString why() const { return m_why; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(m_folder.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }

    QByteArray m_folder;
    bool m_immutable = false;
    bool m_chmodded = false;
    mode_t m_oldMode = 0755;
    bool m_ready = false;
    QString m_why;
};
