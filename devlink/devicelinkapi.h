#pragma once

// The object model of the serial device-link component, as the program uses
// it. The component is a shared library loaded at run time by its registered
// name; this header is all the program and the component share.
//
// Failures are reported by return value, never by exception, so nothing
// crosses the library boundary but plain data.

#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>

// Why an access failed: the link's own trouble, or the controller's error
// reply (docs/protocol.md, error codes 0x01 to 0x03).
enum class LinkFault : int {
    None = 0,
    NoAnswer,       // no acceptable reply within the time-out
    LineLost,       // the line hung up or was never open
    NotSent,        // the request could not be built (address or value out of range)
    NoSuchAddress,  // error reply 0x01
    ReadOnly,       // error reply 0x02
    ValueRefused,   // error reply 0x03
};

class IDeviceLink
{
public:
    virtual ~IDeviceLink() = default;

    // "Par" read with the index arguments (A, B, T); false on any failure.
    virtual bool readPar(int32_t a, int32_t b, int16_t t, double &value) = 0;
    // "Par" write; the value is a number (double) or a text (decimal number).
    virtual bool writePar(int32_t a, int32_t b, int16_t t, const QVariant &value) = 0;

    // "timeout": reply time-out in milliseconds.
    virtual void setTimeout(int milliseconds) = 0;
    virtual int timeout() const = 0;

    // "ErrTimeOut": called after a failed 4-byte write.
    virtual void ErrTimeOut() = 0;

    // Why the last failed access failed. A link that cannot tell counts as
    // one that got no answer.
    virtual LinkFault lastFault() const { return LinkFault::NoAnswer; }
};

// Runs of consecutive words in one frame each (docs/protocol.md, READ_BLOCK
// and WRITE_BLOCK). A second interface beside IDeviceLink, so that a
// component made before it stays valid: the program asks for it through the
// optional entry point below and keeps to word accesses when there is none.
class IDeviceBlockLink
{
public:
    static constexpr int MaxWords = 32;

    virtual ~IDeviceBlockLink() = default;

    // Whether the controller takes block commands; asked of it once, by a
    // one-word block read of the software version, and remembered.
    virtual bool takesBlocks() = 0;
    // `count` (1..MaxWords) words from the even byte address on; false on any
    // failure (IDeviceLink::lastFault tells why).
    virtual bool readBlock(uint32_t address, int count, uint16_t *words) = 0;
    // Written whole or not at all.
    virtual bool writeBlock(uint32_t address, int count, const uint16_t *words) = 0;
};

class IDeviceLinkManager
{
public:
    virtual ~IDeviceLinkManager() = default;

    // "Open": opens the serial link described by the connection string;
    // false when the port cannot be opened. `error` gives the cause alone
    // ("no such device", "in use by another program", ...), without the port.
    virtual bool Open(const QString &connection, QString *error = nullptr) = 0;
    // "DeviceLink_AddRef": the device link of an open manager (nullptr if none).
    virtual std::shared_ptr<IDeviceLink> DeviceLink_AddRef() = 0;
};

// Creates component managers by their registered name ("DevLinkMng.DeviceLinkMng.1").
class IDeviceLinkFactory
{
public:
    virtual ~IDeviceLinkFactory() = default;
    // nullptr when no component answers to the name.
    virtual std::unique_ptr<IDeviceLinkManager> create(const QString &progId) = 0;
    // The block side of a link the named component made; nullptr when the
    // component has none (word accesses only).
    virtual IDeviceBlockLink *blockLink(const QString &progId, IDeviceLink *link)
    {
        (void)progId;
        (void)link;
        return nullptr;
    }
};

// Entry point every component library exports (extern "C").
#define KRV_DEVLINK_ENTRY "krvCreateDeviceLinkManager"
using KrvCreateDeviceLinkManagerFn = IDeviceLinkManager *(*)();

// Optional entry point (extern "C"): the block side of a device link the
// component made, or nullptr when that link has none.
#define KRV_DEVLINK_BLOCK_ENTRY "krvDeviceBlockLink"
using KrvDeviceBlockLinkFn = IDeviceBlockLink *(*)(IDeviceLink *link);
