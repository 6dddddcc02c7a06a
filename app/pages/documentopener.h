#pragma once

#include <QString>

// Starts the document viewer; the program uses the device link's opener,
// tests record the call.
class DocumentOpener
{
public:
    virtual ~DocumentOpener() = default;
    virtual bool open(const QString &program, const QString &parameters) = 0;
};

class SystemDocumentOpener : public DocumentOpener
{
public:
    bool open(const QString &program, const QString &parameters) override;
};
