#pragma once

#include "pagecontext.h"

class PageBase;
class QWidget;

// Creates the six page windows; tests hand in their own to stand in for a page.
class PageFactory
{
public:
    // In the order the start-up loads them.
    enum class Kind { Config, Diagnostic, Debug, Service, Monitor, Comment };

    virtual ~PageFactory() = default;
    virtual PageBase *create(Kind kind, const PageContext &context, QWidget *parent);
};
