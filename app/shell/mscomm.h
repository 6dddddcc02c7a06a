#pragma once

#include "devlink.h"

#include <QString>

// The main window's serial-port control. The device-link component owns the
// serial line, so this control only keeps its settings and is never opened.
class MsComm : public SerialPortControl
{
public:
    QString Settings = QStringLiteral("9600,n,8,1");
    bool PortOpen = false;

    bool portOpen() const override { return PortOpen; }
    void closePort() override { PortOpen = false; }
};
