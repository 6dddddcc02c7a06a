#pragma once

#include <QObject>
#include <cstdint>

// The connection state `IsConnectObj`: 0 not connected, 1 connected, 2 a
// transfer or the connect sequence is running, 3/4/5 the monitor, diagnostics
// or debugger page is polling (3 to 5 count as connected). Every assignment is
// announced, also one that keeps the value, because windows redraw on it.
class ConnectionState : public QObject
{
    Q_OBJECT
public:
    enum : int16_t {
        NotConnected = 0,
        Connected = 1,
        Busy = 2,
        MonitorPolling = 3,
        DiagnosticPolling = 4,
        DebuggerBusy = 5,
    };

    explicit ConnectionState(QObject *parent = nullptr);

    int16_t value() const { return m_value; }
    void setValue(int16_t value);
    ConnectionState &operator=(int16_t value)
    {
        setValue(value);
        return *this;
    }
    operator int16_t() const { return m_value; }

    // 1, 3, 4 and 5: a link is up and no transfer owns it.
    bool isConnected() const;

signals:
    void assigned(int16_t value);

private:
    int16_t m_value = NotConnected;
};
