#pragma once

#include "pageset.h"
#include "pagewindow.h"

#include <QList>
#include <memory>
#include <vector>

// The program's six pages as far as the transfers see them: tab key and
// memory masks, nothing to draw. Configure reads 10 and writes 11, Key and
// Info read 10000 and write 10001, the others take part in no transfer, so
// read-all, write-all and the saved file cover the same variables as in
// KRV Studio.
class CliPageSet : public PageSet
{
public:
    CliPageSet();
    ~CliPageSet() override;
    QList<PageWindow *> openPages() const override;
    PageWindow *currentPage() const override;

private:
    class Page;
    std::vector<std::unique_ptr<Page>> m_pages;
};
