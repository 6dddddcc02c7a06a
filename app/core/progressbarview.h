#pragma once

// The main window's `ProgressBar` (0 to 100), laid over status panel 4.
class ProgressBarView
{
public:
    virtual ~ProgressBarView() = default;
    virtual void setValue(int value) = 0;
    virtual int value() const = 0;
};
