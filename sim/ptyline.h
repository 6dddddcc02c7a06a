#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// The controller's end of the cable: the master side of a pseudo-terminal in
// raw mode. The program opens the slave side like any serial port. The
// simulator keeps a slave descriptor of its own open so that the line stays
// usable while no program is connected, and hangs it up to simulate a cable
// pulled out.
class PtyLine
{
public:
    PtyLine() = default;
    ~PtyLine();
    PtyLine(const PtyLine &) = delete;
    PtyLine &operator=(const PtyLine &) = delete;

    bool open(QString *error);
    QString devicePath() const { return m_path; }
    int fd() const { return m_master; }
    bool isOpen() const { return m_master >= 0; }

    // A symbolic link to the device (an existing link there is replaced).
    bool makeLink(const QString &linkPath, QString *error);
    void removeLink();

    // Non-blocking: bytes read, 0 when there are none.
    int read(uint8_t *buffer, size_t capacity);
    // False when the bytes could not be delivered (nobody reads and the line is full).
    bool write(const uint8_t *data, size_t size);

    void hangUp();

private:
    int m_master = -1;
    int m_keepAlive = -1;
    QString m_path;
    QString m_link;
};
