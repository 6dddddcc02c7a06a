#pragma once

#include <QString>
#include <optional>

// The fields of a connection string such as "GDB:1,1000,#COM:3,9600,N,8,1":
// node address, reply time-out in ms, port number, baud rate, parity, data
// bits and stop bits.
struct ConnectionSettings
{
    int node = 1;
    int timeoutMs = 1000;
    int comPort = 0;
    int baud = 9600;
    char parity = 'N';   // 'N', 'E' or 'O'
    int dataBits = 8;    // 5 to 8
    int stopBits = 1;    // 1 or 2

    // nullopt when the text is not a connection string we can honour.
    static std::optional<ConnectionSettings> parse(const QString &text, QString *error = nullptr);

    // COM n: the device named by KRV_COM<n> when set, else /dev/ttyS<n-1>.
    static QString devicePath(int comPort);
};
