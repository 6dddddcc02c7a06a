#pragma once

class PagePoller;

// A page that polls the controller on its own timer; other pages reach its
// poller through this (the monitor stops the diagnostics page's polling when
// it comes to the front).
class PollingPage
{
public:
    virtual ~PollingPage() = default;
    virtual PagePoller &poller() = 0;
};
