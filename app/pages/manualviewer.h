#pragma once

#include <QString>

// Starts the viewer for the user manual; the program hands it to the device
// link's document opener, tests record the call.
class ManualViewer
{
public:
    virtual ~ManualViewer() = default;
    virtual bool open(const QString &program, const QString &parameters) = 0;
};

class SystemManualViewer : public ManualViewer
{
public:
    bool open(const QString &program, const QString &parameters) override;
};
