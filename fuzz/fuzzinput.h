#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstring>

// What every file-reading target needs: a Qt application object and the
// fuzzer's bytes as a file on disk, since the readers take a path.
class FuzzInput
{
public:
    FuzzInput()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "fuzz";
            static char *argv[] = {name, nullptr};
            m_app = new QCoreApplication(argc, argv);
        }
    }

    // Writes the bytes to the file and returns its path.
    QString file(const uint8_t *data, size_t size, const QString &name = QStringLiteral("input.ini"))
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
        return path;
    }

    // An empty folder, e.g. where no pictures are.
    QString folder() const { return m_dir.path(); }

    // The shipped data files of the source tree.
    static QString res(const char *relative) { return QStringLiteral(KRV_RES_DIR "/") + QLatin1String(relative); }

private:
    QCoreApplication *m_app = nullptr; // lives as long as the fuzzing process
    QTemporaryDir m_dir;
};

// Takes fixed-size values off the front of the input.
class FuzzBytes
{
public:
    FuzzBytes(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    template <typename T> T take()
    {
        T value{};
        const size_t n = m_size < sizeof(T) ? m_size : sizeof(T);
        std::memcpy(&value, m_data, n);
        m_data += n;
        m_size -= n;
        return value;
    }

    const uint8_t *data() const { return m_data; }
    size_t size() const { return m_size; }
    QString rest() const { return QString::fromUtf8(reinterpret_cast<const char *>(m_data), static_cast<qsizetype>(m_size)); }

private:
    const uint8_t *m_data;
    size_t m_size;
};
