#include "blockplan.h"
#include "catalogue.h"
#include "componentfactory.h"
#include "devlink.h"
#include "documentopener.h"
#include "fakemessageservice.h"
#include "tempfile.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <stdexcept>

// DevLink and RS232 against a scripted device link: what reaches "Par", and
// what comes back to the callers.

namespace {

struct ParCall
{
    bool write;
    int32_t a;
    int32_t b;
    int16_t t;
    QVariant value;
    int timeoutDuringCall;
};

class ScriptedLink : public IDeviceLink
{
public:
    bool readPar(int32_t a, int32_t b, int16_t t, double &value) override
    {
        calls.push_back({false, a, b, t, {}, m_timeout});
        if (throwOnAccess)
            throw std::runtime_error("component fault");
        if (fail)
            return false;
        value = readResult;
        return true;
    }
    bool writePar(int32_t a, int32_t b, int16_t t, const QVariant &value) override
    {
        calls.push_back({true, a, b, t, value, m_timeout});
        if (throwOnAccess)
            throw std::runtime_error("component fault");
        return !fail;
    }
    void setTimeout(int ms) override { m_timeout = ms; }
    int timeout() const override { return m_timeout; }
    void ErrTimeOut() override { ++errTimeOuts; }

    std::vector<ParCall> calls;
    double readResult = 0;
    bool fail = false;
    bool throwOnAccess = false;
    int errTimeOuts = 0;

private:
    int m_timeout = 1000;
};

class ScriptedManager : public IDeviceLinkManager
{
public:
    ScriptedManager(std::shared_ptr<ScriptedLink> link, bool openOk, QStringList *opened)
        : m_link(std::move(link)), m_openOk(openOk), m_opened(opened)
    {
    }
    bool Open(const QString &connection, QString *) override
    {
        m_opened->append(connection);
        return m_openOk;
    }
    std::shared_ptr<IDeviceLink> DeviceLink_AddRef() override { return m_link; }

private:
    std::shared_ptr<ScriptedLink> m_link;
    bool m_openOk;
    QStringList *m_opened;
};

class ScriptedFactory : public IDeviceLinkFactory
{
public:
    std::unique_ptr<IDeviceLinkManager> create(const QString &progId) override
    {
        names.append(progId);
        if (throwOnCreate)
            throw std::runtime_error("registry broken");
        if (progId != QLatin1String("DevLinkMng.DeviceLinkMng.1") || unregistered)
            return nullptr;
        lastLink = handOutLink ? std::make_shared<ScriptedLink>() : nullptr;
        return std::make_unique<ScriptedManager>(lastLink, openOk, &opened);
    }

    QStringList names;
    QStringList opened;
    std::shared_ptr<ScriptedLink> lastLink;
    bool openOk = true;
    bool unregistered = false;
    bool handOutLink = true;
    bool throwOnCreate = false;
};

class PortControl : public SerialPortControl
{
public:
    bool portOpen() const override { return open; }
    void closePort() override
    {
        open = false;
        ++closes;
    }
    bool open = false;
    int closes = 0;
};

class DevLinkTest : public ::testing::Test
{
protected:
    ScriptedLink &openLink()
    {
        link.ComPort = 1;
        EXPECT_EQ(link.LinkOpen(), 0);
        return *factory.lastLink;
    }

    ScriptedFactory factory;
    DevLink link{&factory};
};

} // namespace

TEST_F(DevLinkTest, OpenBuildsTheConnectionStringAndHoldsOneLink)
{
    EXPECT_EQ(link.LinkState, DevLink::State::Close);
    link.ComPort = 3;
    EXPECT_EQ(link.ConnectionString(), "GDB:1,1000,#COM:3,9600,N,8,1");
    ASSERT_EQ(link.LinkOpen(), 0);
    EXPECT_EQ(link.LinkState, DevLink::State::Open);
    EXPECT_EQ(factory.names, QStringList{"DevLinkMng.DeviceLinkMng.1"});
    EXPECT_EQ(factory.opened, QStringList{"GDB:1,1000,#COM:3,9600,N,8,1"});
    // already open: nothing new is created
    EXPECT_EQ(link.LinkOpen(), 0);
    EXPECT_EQ(factory.names.size(), 1);
    link.LinkClose();
    EXPECT_EQ(link.LinkState, DevLink::State::Close);
    EXPECT_FALSE(link.isOpen());
}

TEST_F(DevLinkTest, EveryOpenFailureLeavesTheLinkClosed)
{
    link.ComPort = 2;
    factory.unregistered = true;
    EXPECT_EQ(link.LinkOpen(), -1);
    factory.unregistered = false;
    factory.openOk = false;
    EXPECT_EQ(link.LinkOpen(), -1);
    factory.openOk = true;
    factory.handOutLink = false;
    EXPECT_EQ(link.LinkOpen(), -1);
    factory.handOutLink = true;
    factory.throwOnCreate = true;
    EXPECT_EQ(link.LinkOpen(), -1);
    EXPECT_EQ(link.LinkState, DevLink::State::Close);
    EXPECT_FALSE(link.isOpen());
    DevLink noFactory(nullptr);
    EXPECT_EQ(noFactory.LinkOpen(), -1);
}

TEST_F(DevLinkTest, ReadWordSplitsTheAddressAndReducesTheSign)
{
    ScriptedLink &dev = openLink();
    int32_t value = 7;
    dev.readResult = 0x18000;
    EXPECT_EQ(link.ReadWord(0x123456, value), "");
    ASSERT_EQ(dev.calls.size(), 1u);
    EXPECT_FALSE(dev.calls[0].write);
    EXPECT_EQ(dev.calls[0].a, 4660);
    EXPECT_EQ(dev.calls[0].b, 86);
    EXPECT_EQ(dev.calls[0].t, 2);
    EXPECT_EQ(value, -32768);
    dev.readResult = 65535;
    link.ReadWord(0x0100, value);
    EXPECT_EQ(value, -1);
    dev.readResult = 32767;
    link.ReadWord(0x0100, value);
    EXPECT_EQ(value, 32767);
}

TEST_F(DevLinkTest, FailedReadsLeaveTheValueAlone)
{
    ScriptedLink &dev = openLink();
    int32_t value = 42;
    dev.fail = true;
    EXPECT_EQ(link.ReadWord(0x0100, value), "FAILED!");
    EXPECT_EQ(value, 42);
    dev.fail = false;
    dev.readResult = 1e12;  // does not fit a 32-bit number
    EXPECT_EQ(link.ReadWord(0x0100, value), "FAILED!");
    EXPECT_EQ(value, 42);
    dev.throwOnAccess = true;
    EXPECT_EQ(link.ReadWord(0x0100, value), "FAILED!");
    EXPECT_EQ(link.WriteWord(0x0100, 1), "FAILED!");
    EXPECT_EQ(link.WriteLong(1024, "1"), 1);
    EXPECT_EQ(link.ReadValue(88, value, 4), 1);
    EXPECT_EQ(value, 42);
}

TEST_F(DevLinkTest, WriteWordSendsTheSignedLowWordAsADouble)
{
    ScriptedLink &dev = openLink();
    EXPECT_EQ(link.WriteWord(0xFDEA00, 40000), "");
    EXPECT_EQ(link.WriteWord(0x000200, 0x18000), "");
    ASSERT_EQ(dev.calls.size(), 2u);
    EXPECT_TRUE(dev.calls[0].write);
    EXPECT_EQ(dev.calls[0].a, 0xFDEA);
    EXPECT_EQ(dev.calls[0].b, 0);
    EXPECT_EQ(dev.calls[0].t, 3);
    EXPECT_EQ(dev.calls[0].value.typeId(), QMetaType::Double);
    EXPECT_EQ(dev.calls[0].value.toDouble(), -25536.0);
    EXPECT_EQ(dev.calls[1].value.toDouble(), -32768.0);
    dev.fail = true;
    EXPECT_EQ(link.WriteWord(0x0100, 1), "FAILED!");
}

TEST_F(DevLinkTest, WriteLongRaisesTheTimeOutForItsCallOnly)
{
    ScriptedLink &dev = openLink();
    EXPECT_EQ(link.WriteLong(1024, "1145130828"), 0);
    ASSERT_EQ(dev.calls.size(), 1u);
    EXPECT_EQ(dev.calls[0].a, 1024);
    EXPECT_EQ(dev.calls[0].b, 4);
    EXPECT_EQ(dev.calls[0].t, 19);
    EXPECT_EQ(dev.calls[0].value.typeId(), QMetaType::QString);
    EXPECT_EQ(dev.calls[0].value.toString(), "1145130828");
    EXPECT_EQ(dev.calls[0].timeoutDuringCall, 5000);
    EXPECT_EQ(dev.timeout(), 1000);
    EXPECT_EQ(dev.errTimeOuts, 0);

    dev.fail = true;
    EXPECT_EQ(link.WriteLong(88, "0"), 1);
    EXPECT_EQ(dev.errTimeOuts, 1);
    EXPECT_EQ(dev.timeout(), 5000);
}

TEST_F(DevLinkTest, ReadValueUsesTheRawAddressAndNoSignReduction)
{
    ScriptedLink &dev = openLink();
    int32_t value = 0;
    dev.readResult = 40000;
    EXPECT_EQ(link.ReadValue(92, value, 2), 0);
    EXPECT_EQ(value, 40000);
    EXPECT_EQ(link.ReadValue(92, value, 1), 0);
    dev.readResult = -5;
    EXPECT_EQ(link.ReadValue(88, value, 4), 0);
    EXPECT_EQ(value, -5);
    ASSERT_EQ(dev.calls.size(), 3u);
    EXPECT_EQ(dev.calls[0].a, 92);
    EXPECT_EQ(dev.calls[0].b, 0);
    EXPECT_EQ(dev.calls[0].t, 2);
    EXPECT_EQ(dev.calls[1].t, 2);
    EXPECT_EQ(dev.calls[2].a, 88);
    EXPECT_EQ(dev.calls[2].t, 3);
    dev.fail = true;
    value = 9;
    EXPECT_EQ(link.ReadValue(88, value, 4), 1);
    EXPECT_EQ(value, 9);
}

TEST_F(DevLinkTest, AccessWithoutALinkFailsQuietly)
{
    int32_t value = 5;
    EXPECT_EQ(link.ReadWord(0x100, value), "FAILED!");
    EXPECT_EQ(link.WriteWord(0x100, 1), "FAILED!");
    EXPECT_EQ(link.WriteLong(1024, "1"), 1);
    EXPECT_EQ(link.ReadValue(88, value, 4), 1);
    EXPECT_EQ(value, 5);
}

TEST(DevLinkHelpers, HexTextToNumber)
{
    EXPECT_EQ(DevLink::HexTextToNumber(""), 0.0);
    EXPECT_EQ(DevLink::HexTextToNumber("7FFF"), 32767.0);
    EXPECT_EQ(DevLink::HexTextToNumber("FFFF"), -1.0);
    EXPECT_EQ(DevLink::HexTextToNumber("ff"), 255.0);
    EXPECT_EQ(DevLink::HexTextToNumber("44414F4C"), 1145130828.0);
    EXPECT_EQ(DevLink::HexTextToNumber("0000FFFF"), -1.0);
    EXPECT_EQ(DevLink::HexTextToNumber("12348000"), 305364992.0);
    EXPECT_EQ(DevLink::HexTextToNumber("FFFFFFFF"), -65537.0);
    EXPECT_EQ(DevLink::HexTextToNumber("12345"), 4660.0 * 65536 + 5);
    // a bad high (or only) group gives 0, a bad low group counts as 0
    EXPECT_EQ(DevLink::HexTextToNumber("XYZ"), 0.0);
    EXPECT_EQ(DevLink::HexTextToNumber("+1"), 0.0);
    EXPECT_EQ(DevLink::HexTextToNumber("G0001234"), 0.0);
    EXPECT_EQ(DevLink::HexTextToNumber("0001ZZZZ"), 65536.0);
}

TEST(DevLinkHelpers, SignReduction)
{
    EXPECT_EQ(DevLink::SignReduce(40000), -25536);
    EXPECT_EQ(DevLink::SignReduce(0x18000), -32768);
    EXPECT_EQ(DevLink::SignReduce(65535), -1);
    EXPECT_EQ(DevLink::SignReduce(-1), -1);
    EXPECT_EQ(DevLink::SignReduce(32767), 32767);
}

TEST(DevLinkHelpers, WaitMsWaitsAndKeepsEventsRunning)
{
    bool fired = false;
    QTimer::singleShot(10, [&] { fired = true; });
    QElapsedTimer t;
    t.start();
    DevLink::WaitMs(60);
    EXPECT_GE(t.elapsed(), 60);
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_TRUE(fired);
    t.restart();
    DevLink::WaitMs(0);
    EXPECT_LT(t.elapsed(), 50);
}

TEST(RS232Test, ConnectReportsOnlyANamedPort)
{
    ScriptedFactory factory;
    factory.openOk = false;
    DevLink link(&factory);
    FakeMessageService messages;
    RS232 rs(link, &messages);
    link.ComPort = 0;
    EXPECT_FALSE(rs.Connect());
    EXPECT_TRUE(messages.shown.isEmpty());
    link.ComPort = 3;
    EXPECT_FALSE(rs.Connect());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Can't Open COM 3 (/dev/ttyS2)") << "a component that gives no cause";
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::Ok);

    factory.openOk = true;
    EXPECT_TRUE(rs.Connect());
    EXPECT_EQ(messages.shown.size(), 1);
    const auto first = factory.lastLink;
    // a reconnect always builds a fresh device link
    EXPECT_TRUE(rs.Connect());
    EXPECT_NE(factory.lastLink, first);
    EXPECT_EQ(link.LinkState, DevLink::State::Open);
}

TEST(RS232Test, ClosedLinkMakesReadVarAndWriteVarSilentNoOps)
{
    ScriptedFactory factory;
    DevLink link(&factory);
    RS232 rs(link, nullptr);
    link.ComPort = 1;
    ASSERT_TRUE(rs.Connect());
    auto dev = factory.lastLink;
    dev->readResult = 99;
    int32_t value = 0;
    EXPECT_EQ(rs.ReadVar(0x0100, value), "");
    EXPECT_EQ(value, 99);
    EXPECT_EQ(rs.WriteVar(0x0100, 5), "");
    dev->fail = true;
    EXPECT_EQ(rs.ReadVar(0x0100, value), "FAILED!");
    EXPECT_EQ(dev->calls.size(), 3u);

    PortControl port;
    port.open = true;
    rs.setPortControl(&port);
    rs.Disconnect();
    EXPECT_EQ(link.LinkState, DevLink::State::Close);
    EXPECT_EQ(port.closes, 1);
    value = 17;
    EXPECT_EQ(rs.ReadVar(0x0100, value), "");
    EXPECT_EQ(value, 17);
    EXPECT_EQ(rs.WriteVar(0x0100, 5), "");
    EXPECT_EQ(dev->calls.size(), 3u);
    rs.Disconnect();
    EXPECT_EQ(port.closes, 1) << "a closed port is not closed again";
}

TEST(ComponentFactoryTest, UnknownNameOrMissingLibraryFailsTheOpen)
{
    TempFolder dir;
    const QString registry = dir.write("components.ini",
                                       "[Components]\nDevLinkMng.DeviceLinkMng.1=libnothere.so\nOther.Name.1=libkrvdevlink.so\n");
    ComponentFactory missing(registry, QCoreApplication::applicationDirPath());
    EXPECT_EQ(missing.create("DevLinkMng.DeviceLinkMng.1"), nullptr);
    EXPECT_FALSE(missing.lastError().isEmpty());
    EXPECT_EQ(missing.create("Not.Registered.1"), nullptr);
    DevLink link(&missing);
    link.ComPort = 1;
    EXPECT_EQ(link.LinkOpen(), -1);
    EXPECT_EQ(link.LinkState, DevLink::State::Close);

    ComponentFactory noRegistry(dir.path("absent.ini"), QCoreApplication::applicationDirPath());
    EXPECT_EQ(noRegistry.create("DevLinkMng.DeviceLinkMng.1"), nullptr);

    // a library that is not a component
    const QString notComponent = dir.write("c2.ini", "[Components]\nX.Y.1=libtessera.so\n");
    ComponentFactory wrong(notComponent, QCoreApplication::applicationDirPath());
    EXPECT_EQ(wrong.create("X.Y.1"), nullptr);
}

TEST(ComponentFactoryTest, TheShippedRegistryLoadsTheComponent)
{
    ComponentFactory factory;
    auto manager = factory.create("DevLinkMng.DeviceLinkMng.1");
    ASSERT_NE(manager, nullptr) << factory.lastError().toStdString();
    QString error;
    EXPECT_FALSE(manager->Open("not a connection string", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(manager->DeviceLink_AddRef(), nullptr);
    EXPECT_FALSE(manager->Open("GDB:1,1000,#COM:1,9600,X,8,1", &error)) << "parity X";
    EXPECT_FALSE(manager->Open("GDB:1,1000,#COM:0,9600,N,8,1", &error)) << "port 0";
}

namespace {

// Bytes on the wire of a plan: 12 for a lone word, a block 11 plus 2 a word.
long planBytes(const QList<BlockRun> &runs)
{
    long bytes = 0;
    for (const BlockRun &r : runs)
        bytes += r.words == 1 ? 12 : 11 + 2 * r.words;
    return bytes;
}

} // namespace

TEST(BlockPlanTest, ReadsBridgeShortGapsWritesNeverAndRunsStayWithinABlock)
{
    const QList<int32_t> list = {0x2000, 0x2002, 0x2008, 0x2020, 0x2022};
    // two unused words cost less than a frame; eleven do not
    EXPECT_EQ(planRuns(list, true, 32), (QList<BlockRun>{{0, 3, 0x2000, 5}, {3, 2, 0x2020, 2}}));
    EXPECT_EQ(planRuns(list, false, 32), (QList<BlockRun>{{0, 2, 0x2000, 2}, {2, 1, 0x2008, 1}, {3, 2, 0x2020, 2}}));
    EXPECT_EQ(planRuns(list, true, 1).size(), list.size());
    // addresses that go back start a new run
    EXPECT_EQ(planRuns({0x2002, 0x2000}, true, 32).size(), 2);

    QList<int32_t> long40;
    for (int k = 0; k < 40; ++k)
        long40.append(0x4000 + 2 * k);
    const QList<BlockRun> runs = planRuns(long40, false, 32);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_LE(runs[0].words, 32);
    EXPECT_EQ(runs[0].entries + runs[1].entries, 40);
    EXPECT_EQ(runs[1].address, 0x4000 + 2 * runs[0].words);
}

TEST(BlockPlanTest, TheShippedListMovesInAThirdOfTheBytesOfWordFrames)
{
    Catalogue cat;
    ASSERT_TRUE(cat.LoadRamList(Catalogue::defaultRamListPath()));
    QList<int32_t> all, eeprom;
    for (int i = 1; i < cat.VarCount; ++i) {
        all.append(cat.data(i)->Address);
        if (cat.data(i)->KRVPageDomain & 1)
            eeprom.append(cat.data(i)->Address);
    }
    for (const auto &[list, reading] : {std::pair{all, true}, std::pair{eeprom, false}}) {
        const QList<BlockRun> runs = planRuns(list, reading, 32);
        int next = 0;
        for (const BlockRun &r : runs) {
            EXPECT_EQ(r.first, next);
            EXPECT_LE(r.words, 32);
            EXPECT_EQ(r.address, list[r.first]);
            EXPECT_EQ(list[r.first + r.entries - 1], r.address + 2 * (r.words - 1));
            if (!reading) {
                EXPECT_EQ(r.words, r.entries) << "a write never takes in an unused word";
            }
            next += r.entries;
        }
        EXPECT_EQ(next, list.size());
        EXPECT_LE(planBytes(runs) * 3, 12L * list.size()) << (reading ? "read" : "write");
        if (reading) {
            EXPECT_LT(planBytes(runs), planBytes(planRuns(list, false, 32))) << "bridging gaps pays on this list";
        }
    }
}

TEST(DocumentOpenerTest, ManualParametersNameTheDocumentAndPage)
{
    const QString params = "/A \"page=33&pagemode=bookmarks&zoom=100\"  \"/opt/krv\\HX0MAN01E.pdf";
    EXPECT_EQ(DocumentOpener::page(params), 33);
    EXPECT_EQ(DocumentOpener::documentPath("AcroRd32.exe", params), "/opt/krv/HX0MAN01E.pdf");
    EXPECT_EQ(DocumentOpener::documentPath("/tmp/a.pdf", ""), "/tmp/a.pdf");
    EXPECT_EQ(DocumentOpener::page(""), 0);
}

TEST(DocumentOpenerTest, OpensTheFirstViewerAtThePage)
{
    TempFolder dir;
    const QString log = dir.path("args.txt");
    const QString viewer = dir.write("evince", QStringLiteral("#!/bin/sh\necho \"$@\" > %1\n").arg(log).toUtf8());
    QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", dir.path("").toLocal8Bit());
    const QString params = "/A \"page=26&pagemode=bookmarks&zoom=100\"  \"/opt/krv\\HX0MAN01E.pdf";
    const auto plan = DocumentOpener::plan("AcroRd32.exe", params);
    const bool started = DevLink::OpenDocument("AcroRd32.exe", params);
    qputenv("PATH", oldPath);
    EXPECT_EQ(plan.program, viewer);
    EXPECT_EQ(plan.arguments, (QStringList{"-p", "26", "/opt/krv/HX0MAN01E.pdf"}));
    ASSERT_TRUE(started);
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(log) && t.elapsed() < 5000)
        DevLink::WaitMs(20);
    DevLink::WaitMs(50);
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().trimmed(), "-p 26 /opt/krv/HX0MAN01E.pdf");
}
