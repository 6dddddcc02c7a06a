#pragma once

#include "blockplan.h"
#include "devicelinkapi.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

// Why the last access or the last open failed.
struct LinkFailure
{
    enum class Kind {
        None,
        NoAnswer,   // the control unit did not answer, or the line is gone
        Refused,    // the control unit answered with an error reply
        NotOpen,    // the port could not be opened
    };
    Kind kind = Kind::None;
    // "no answer from the control unit", "refused by the control unit:
    // read-only address", "no such device", ...; empty when nothing failed
    QString cause;

    bool refused() const { return kind == Kind::Refused; }
};

// The thin layer around the device-link component: opens it on the chosen
// port and reads and writes controller words and values by address.
class DevLink
{
public:
    static constexpr const char *ProgId = "DevLinkMng.DeviceLinkMng.1";

    // The factory finds components by name; tests pass their own.
    explicit DevLink(IDeviceLinkFactory *factory);

    enum class State { Close, Open };

    int16_t ComPort = 0;               // 0: none chosen
    State LinkState = State::Close;    // Open while a device link is held
    // The port's name in messages when it was given as a device path; empty: "COM <n>".
    QString PortName;

    int LinkOpen();   // 0 on success, -1 on failure
    void LinkClose();

    // Why the last access or open failed; Kind::None when it succeeded.
    const LinkFailure &lastFailure() const { return m_failure; }
    // A failure status with its cause on the next line: "FAILED!\r<cause>".
    QString withCause(const QString &status) const;
    // "Can't Open COM 3: no such device (/dev/ttyS2)", or the device path
    // itself in place of "COM n" when one was given.
    QString openFailureText() const;

    QString ReadWord(int32_t address, int32_t &value);   // "" or "FAILED!"
    QString WriteWord(int32_t address, int32_t value);   // "" or "FAILED!"
    int WriteLong(int32_t address, const QString &value); // 0 or 1
    int ReadValue(int32_t address, int32_t &value, int16_t size); // 0 or 1
    // Whether the controller of the open link takes block commands (learnt at open).
    bool takesBlocks() const { return m_takesBlocks; }
    // `count` consecutive words from `address` on, each as ReadWord gives it; "" or "FAILED!".
    QString ReadBlock(int32_t address, int count, QList<int32_t> &values);
    // Consecutive words from `address` on, written whole or not at all; "" or "FAILED!".
    QString WriteBlock(int32_t address, const QList<int32_t> &values);

    // "GDB:1,1000,#COM:<n>,9600,N,8,1"
    QString ConnectionString() const;

    bool isOpen() const { return m_link != nullptr; }
    IDeviceLink *deviceLink() const { return m_link.get(); }

    static void WaitMs(double milliseconds);
    static double HexTextToNumber(const QString &text);
    // Hands the document to the system's viewer; true when it was started.
    static bool OpenDocument(const QString &filePath, const QString &parameters);

    // The low 16 bits of a value taken as signed.
    static int16_t SignReduce(int32_t value);

private:
    // "Par" read of a whole number; false (cause noted) on any failure.
    bool readWhole(int32_t a, int32_t b, int16_t t, int32_t &value);
    // Clears the last failure; false (noted) when no link is open.
    bool beginAccess();
    // Records why the access just made failed, as the component tells it.
    void noteAccessFailure();
    void noteFailure(LinkFailure::Kind kind, const QString &cause);

    IDeviceLinkFactory *m_factory;
    std::shared_ptr<IDeviceLink> m_link;
    IDeviceBlockLink *m_blocks = nullptr;   // the block side of m_link, if it has one
    bool m_takesBlocks = false;
    LinkFailure m_failure;
};

class MessageService;

// The guarded entry points the pages and transfers call.
class RS232
{
public:
    RS232(DevLink &link, MessageService *messages);

    bool Connect();
    void Disconnect();
    QString ReadVar(int32_t address, int32_t &value);
    QString WriteVar(int32_t address, int32_t value);

    // The runs a list of word addresses is moved in: as blocks when the
    // controller takes them, else one word a frame.
    QList<BlockRun> planRuns(const QList<int32_t> &addresses, bool reading) const;
    // Moves one run of planRuns' plan: values[k] belongs to addresses[k]. ""
    // or the link's error; a failed run moves nothing.
    QString ReadRun(const QList<int32_t> &addresses, const BlockRun &run, QList<int32_t> &values);
    QString WriteRun(const QList<int32_t> &addresses, const BlockRun &run, const QList<int32_t> &values);
    // Reads the words at the addresses run by run and hands each value on as
    // soon as its run has arrived: `onValue(i, value)` for addresses[i], in
    // order; returning false ends the reading early. "" or the link's error.
    QString ReadVars(const QList<int32_t> &addresses, const std::function<bool(int, int32_t)> &onValue);

    // The main window's serial-port control: Disconnect closes it when open.
    void setPortControl(class SerialPortControl *control) { m_portControl = control; }

    DevLink &link() { return m_link; }

private:
    DevLink &m_link;
    MessageService *m_messages;
    SerialPortControl *m_portControl = nullptr;
};

// The main window's serial-port control, as far as the link uses it.
class SerialPortControl
{
public:
    virtual ~SerialPortControl() = default;
    virtual bool portOpen() const = 0;
    virtual void closePort() = 0;
};
