#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstring>

// What every file-reading target needs: a Qt application object and the
// fuzzer's bytes as the readers take them, in memory.
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

    // The input without a copy; valid while the fuzzer's buffer is.
    static QByteArray bytes(const uint8_t *data, size_t size)
    {
        return QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
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
