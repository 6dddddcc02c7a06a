#include "connectionstate.h"

ConnectionState::ConnectionState(QObject *parent) : QObject(parent) {}

void ConnectionState::setValue(int16_t value)
{
    m_value = value;
    emit assigned(value);
}

bool ConnectionState::isConnected() const
{
    return m_value == Connected || m_value == MonitorPolling || m_value == DiagnosticPolling
           || m_value == DebuggerBusy;
}
