#include "devlink.h"

#include "connectionsettings.h"
#include "documentopener.h"
#include "linkscheduler.h"
#include "messageservice.h"
#include "vbnumber.h"

#include <QVariant>
#include <cctype>

namespace {

const QString Failed = QStringLiteral("FAILED!");
const QString ComponentFailed = QStringLiteral("the device-link component failed");
const QString NotOpen = QStringLiteral("the link is not open");

QString causeText(LinkFault fault)
{
    switch (fault) {
    case LinkFault::NoSuchAddress: return QStringLiteral("refused by the control unit: no such address");
    case LinkFault::ReadOnly: return QStringLiteral("refused by the control unit: read-only address");
    case LinkFault::ValueRefused: return QStringLiteral("refused by the control unit: value refused");
    case LinkFault::LineLost: return QStringLiteral("the line to the control unit is lost");
    case LinkFault::NotSent: return QStringLiteral("the request could not be sent");
    case LinkFault::None:
    case LinkFault::NoAnswer: break;
    }
    return QStringLiteral("no answer from the control unit");
}

bool isRefusal(LinkFault fault)
{
    return fault == LinkFault::NoSuchAddress || fault == LinkFault::ReadOnly || fault == LinkFault::ValueRefused;
}

// A group of hexadecimal digits read as a signed 16-bit number.
bool hexGroup(const QString &digits, int16_t &out)
{
    if (digits.isEmpty() || digits.size() > 4)
        return false;
    for (QChar c : digits) {
        if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 'g'))
            return false;
    }
    bool ok = false;
    const uint v = digits.toUInt(&ok, 16);
    if (!ok)
        return false;
    out = static_cast<int16_t>(static_cast<uint16_t>(v));
    return true;
}

} // namespace

DevLink::DevLink(IDeviceLinkFactory *factory) : m_factory(factory) {}

QString DevLink::ConnectionString() const
{
    return QStringLiteral("GDB:1,1000,#COM:") + QString::number(ComPort) + QStringLiteral(",9600,N,8,1");
}

void DevLink::noteFailure(LinkFailure::Kind kind, const QString &cause)
{
    m_failure.kind = kind;
    m_failure.cause = cause;
}

bool DevLink::beginAccess()
{
    m_failure = {};
    if (m_link)
        return true;
    noteFailure(LinkFailure::Kind::NoAnswer, NotOpen);
    return false;
}

void DevLink::noteAccessFailure()
{
    LinkFault fault = LinkFault::NoAnswer;
    try {
        if (m_link)
            fault = m_link->lastFault();
    } catch (...) {
    }
    noteFailure(isRefusal(fault) ? LinkFailure::Kind::Refused : LinkFailure::Kind::NoAnswer, causeText(fault));
}

QString DevLink::withCause(const QString &status) const
{
    if (m_failure.cause.isEmpty())
        return status;
    return status + QLatin1Char('\r') + m_failure.cause;
}

QString DevLink::openFailureText() const
{
    QString text = QStringLiteral("Can't Open ")
        + (PortName.isEmpty() ? QStringLiteral("COM ") + QString::number(ComPort) : PortName);
    if (m_failure.kind == LinkFailure::Kind::NotOpen && !m_failure.cause.isEmpty())
        text += QStringLiteral(": ") + m_failure.cause;
    if (PortName.isEmpty())
        text += QStringLiteral(" (") + ConnectionSettings::devicePath(ComPort) + QLatin1Char(')');
    return text;
}

int DevLink::LinkOpen()
{
    if (m_link)
        return 0;
    LinkState = State::Close;
    m_failure = {};
    try {
        std::unique_ptr<IDeviceLinkManager> manager =
            m_factory ? m_factory->create(QString::fromLatin1(ProgId)) : nullptr;
        if (!manager) {
            noteFailure(LinkFailure::Kind::NotOpen, QStringLiteral("the device-link component cannot be loaded"));
            return -1;
        }
        QString cause;
        if (!manager->Open(ConnectionString(), &cause)) {
            noteFailure(LinkFailure::Kind::NotOpen, cause);
            return -1;
        }
        std::shared_ptr<IDeviceLink> link = manager->DeviceLink_AddRef();
        if (!link) {
            noteFailure(LinkFailure::Kind::NotOpen, ComponentFailed);
            return -1;
        }
        manager.reset();
        m_link = std::move(link);
        m_blocks = m_factory->blockLink(QString::fromLatin1(ProgId), m_link.get());
        m_takesBlocks = m_blocks && m_blocks->takesBlocks();
    } catch (...) {
        m_link.reset();
        m_blocks = nullptr;
        m_takesBlocks = false;
        noteFailure(LinkFailure::Kind::NotOpen, ComponentFailed);
        return -1;
    }
    LinkState = State::Open;
    return 0;
}

void DevLink::LinkClose()
{
    m_blocks = nullptr;
    m_takesBlocks = false;
    try {
        m_link.reset();
    } catch (...) {
    }
    LinkState = State::Close;
}

int16_t DevLink::SignReduce(int32_t value)
{
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFF));
}

bool DevLink::readWhole(int32_t a, int32_t b, int16_t t, int32_t &value)
{
    if (!beginAccess())
        return false;
    try {
        double raw = 0;
        if (!m_link->readPar(a, b, t, raw)) {
            noteAccessFailure();
            return false;
        }
        if (!VbNumber::toInt32(raw, value)) {
            noteFailure(LinkFailure::Kind::NoAnswer, QStringLiteral("the control unit's answer is not a number"));
            return false;
        }
        return true;
    } catch (...) {
        noteFailure(LinkFailure::Kind::NoAnswer, ComponentFailed);
        return false;
    }
}

QString DevLink::ReadWord(int32_t address, int32_t &value)
{
    int32_t whole = 0;
    if (!readWhole(address / 256, address & 255, 2, whole))
        return Failed;
    value = SignReduce(whole);
    return QString();
}

QString DevLink::WriteWord(int32_t address, int32_t value)
{
    if (!beginAccess())
        return Failed;
    try {
        const QVariant word(static_cast<double>(SignReduce(value)));
        if (m_link->writePar(address / 256, address & 255, 3, word))
            return QString();
        noteAccessFailure();
    } catch (...) {
        noteFailure(LinkFailure::Kind::NoAnswer, ComponentFailed);
    }
    return Failed;
}

int DevLink::WriteLong(int32_t address, const QString &value)
{
    if (!beginAccess())
        return 1;
    try {
        m_link->setTimeout(5000);
        if (m_link->writePar(address, 4, 19, QVariant(value))) {
            m_link->setTimeout(1000);
            return 0;
        }
        noteAccessFailure();
        m_link->ErrTimeOut();
    } catch (...) {
        noteFailure(LinkFailure::Kind::NoAnswer, ComponentFailed);
    }
    return 1;
}

int DevLink::ReadValue(int32_t address, int32_t &value, int16_t size)
{
    const int16_t type = (size == 1 || size == 2) ? 2 : 3;
    return readWhole(address, 0, type, value) ? 0 : 1;
}

QString DevLink::ReadBlock(int32_t address, int count, QList<int32_t> &values)
{
    if (!beginAccess())
        return Failed;
    if (!m_blocks || !m_takesBlocks) {
        noteFailure(LinkFailure::Kind::NoAnswer, causeText(LinkFault::NotSent));
        return Failed;
    }
    try {
        uint16_t words[IDeviceBlockLink::MaxWords] = {};
        if (count < 1 || count > IDeviceBlockLink::MaxWords
            || !m_blocks->readBlock(static_cast<uint32_t>(address), count, words)) {
            noteAccessFailure();
            return Failed;
        }
        values.clear();
        for (int k = 0; k < count; ++k)
            values.append(SignReduce(words[k]));
        return QString();
    } catch (...) {
        noteFailure(LinkFailure::Kind::NoAnswer, ComponentFailed);
    }
    return Failed;
}

QString DevLink::WriteBlock(int32_t address, const QList<int32_t> &values)
{
    if (!beginAccess())
        return Failed;
    const int count = static_cast<int>(values.size());
    if (!m_blocks || !m_takesBlocks || count < 1 || count > IDeviceBlockLink::MaxWords) {
        noteFailure(LinkFailure::Kind::NoAnswer, causeText(LinkFault::NotSent));
        return Failed;
    }
    try {
        uint16_t words[IDeviceBlockLink::MaxWords] = {};
        for (int k = 0; k < count; ++k)
            words[k] = static_cast<uint16_t>(SignReduce(values[k]));
        if (m_blocks->writeBlock(static_cast<uint32_t>(address), count, words))
            return QString();
        noteAccessFailure();
    } catch (...) {
        noteFailure(LinkFailure::Kind::NoAnswer, ComponentFailed);
    }
    return Failed;
}

void DevLink::WaitMs(double milliseconds)
{
    LinkScheduler::waitMs(milliseconds);
}

double DevLink::HexTextToNumber(const QString &text)
{
    int16_t high = 0;
    if (text.size() < 5)
        return hexGroup(text.left(4), high) ? high : 0.0;
    if (!hexGroup(text.mid(0, 4), high))
        return 0.0;
    int16_t low = 0;
    if (!hexGroup(text.mid(4, 4), low))
        low = 0;
    return static_cast<double>(high) * 65536.0 + static_cast<double>(low);
}

bool DevLink::OpenDocument(const QString &filePath, const QString &parameters)
{
    return DocumentOpener::open(filePath, parameters);
}

RS232::RS232(DevLink &link, MessageService *messages) : m_link(link), m_messages(messages) {}

bool RS232::Connect()
{
    m_link.LinkClose();
    if (m_link.LinkOpen() == 0)
        return true;
    if (m_link.ComPort != 0 && m_messages)
        m_messages->show(m_link.openFailureText(), MessageService::Buttons::Ok);
    return false;
}

void RS232::Disconnect()
{
    m_link.LinkClose();
    if (m_portControl && m_portControl->portOpen())
        m_portControl->closePort();
}

QString RS232::ReadVar(int32_t address, int32_t &value)
{
    if (m_link.LinkState != DevLink::State::Open)
        return QString();
    return m_link.ReadWord(address, value);
}

QString RS232::WriteVar(int32_t address, int32_t value)
{
    if (m_link.LinkState != DevLink::State::Open)
        return QString();
    return m_link.WriteWord(address, value);
}

QList<BlockRun> RS232::planRuns(const QList<int32_t> &addresses, bool reading) const
{
    return ::planRuns(addresses, reading, m_link.takesBlocks() ? IDeviceBlockLink::MaxWords : 1);
}

QString RS232::ReadRun(const QList<int32_t> &addresses, const BlockRun &run, QList<int32_t> &values)
{
    if (m_link.LinkState != DevLink::State::Open)
        return QString();
    values.resize(addresses.size());
    if (run.words == 1)
        return m_link.ReadWord(addresses[run.first], values[run.first]);
    QList<int32_t> words;
    const QString error = m_link.ReadBlock(run.address, run.words, words);
    if (!error.isEmpty())
        return error;
    for (int k = run.first; k < run.first + run.entries; ++k)
        values[k] = words[(addresses[k] - run.address) / 2];
    return QString();
}

QString RS232::WriteRun(const QList<int32_t> &addresses, const BlockRun &run, const QList<int32_t> &values)
{
    if (m_link.LinkState != DevLink::State::Open)
        return QString();
    if (run.words == 1)
        return m_link.WriteWord(addresses[run.first], values[run.first]);
    return m_link.WriteBlock(run.address, values.mid(run.first, run.entries));
}

QString RS232::ReadVars(const QList<int32_t> &addresses, const std::function<bool(int, int32_t)> &onValue)
{
    QList<int32_t> values;
    for (const BlockRun &run : planRuns(addresses, true)) {
        const QString error = ReadRun(addresses, run, values);
        if (!error.isEmpty())
            return error;
        for (int k = run.first; k < run.first + run.entries; ++k) {
            if (!onValue(k, values[k]))
                return QString();
        }
    }
    return QString();
}
