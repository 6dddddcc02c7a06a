#pragma once

#include <QList>

class PageWindow;

// The open page windows of the main window and the one in front.
class PageSet
{
public:
    virtual ~PageSet() = default;
    virtual QList<PageWindow *> openPages() const = 0;
    // nullptr while no page is current.
    virtual PageWindow *currentPage() const = 0;
};
