#include "catalogue.h"
#include "componentfactory.h"
#include "devlink.h"
#include "fakemessageservice.h"
#include "simprocess.h"
#include "tempfile.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

// DevLink, RS232 and the real device-link component over a real
// pseudo-terminal, against krv-sim.

namespace {

// A small variable list of our own, so these tests do not follow every change
// of the shipped one.
const char *const TestList =
    "Name\tHigh\tLow\tId\tDescription\tDefault\tSection\tPages\tMin\tMax\tUnit\tMonitor\tToDisplay\tToDownload\n"
    "VERSION\t0x0020\t0x00\tKRV_PROG_VERS\tsoftware version\t0\t0\t10\t0\t32767\n"
    "SECTIONS\t0x0020\t0x02\tKRV_NUM_PROP_REG\tsections\t2\t0\t11\t1\t4\n"
    "IMIN_1A\t0x0020\t0x40\tKRV_I0_MIN\tI min 1A\t400\t0\t11\t0\t2000\tmA\tI min 1A\n"
    "IMAX_1A\t0x0020\t0x42\tKRV_I0_MAX\tI max 1A\t1200\t0\t11\t0\t2000\tmA\tI max 1A\n"
    "IMIN_1B\t0x0020\t0x44\tKRV_I1_MIN\tI min 1B\t300\t0\t11\t0\t2000\tmA\tI min 1B\n"
    "IMAX_1B\t0x0020\t0x46\tKRV_I1_MAX\tI max 1B\t900\t0\t11\t0\t2000\tmA\tI max 1B\n"
    "PATTERN\t0x0020\t0x50\t\tbit pattern\t0\t0\t11\t-32768\t32767\n"
    "TRISE_1A\t0x0020\t0x80\tKRV_RAMP_TRISE_0\trise 1A\t100\t0\t11\t10\t5000\tms\n"
    "TRISE_1B\t0x0020\t0x82\tKRV_RAMP_TRISE_1\trise 1B\t100\t0\t11\t10\t5000\tms\n"
    "TFALL_1A\t0x0020\t0x90\tKRV_RAMP_TFALL_0\tfall 1A\t100\t0\t11\t10\t5000\tms\n"
    "TFALL_1B\t0x0020\t0x92\tKRV_RAMP_TFALL_1\tfall 1B\t100\t0\t11\t10\t5000\tms\n"
    "DITHER_FREQ\t0x0020\t0xC0\tKRV_DITHER_FREQ\tdither Hz\t100\t0\t11\t40\t250\tHz\n"
    "DITHER_AMP\t0x0020\t0xC2\tKRV_DITHER_AMP\tdither mA\t40\t0\t11\t0\t400\tmA\n"
    "ERROR_CODE\t0x0040\t0x00\tKRV_ERROR_CODE\tstatus\t0\t0\t32\t-32768\t32767\n"
    "SECTION1_ERROR\t0x0040\t0x10\tKRV_ERROR_SEC_1\tsection 1\t0\t0\t32\t-32768\t32767\n"
    "OUTPUTS\t0x0040\t0x20\tKRV_HSD_MONITOR\toutputs\t0\t0\t4\t0\t255\n"
    "DIGITAL_INPUTS\t0x0040\t0x22\tKRV_DIGIT_MONITOR\tinputs\t0\t0\t4\t-32768\t32767\n"
    "VBB\t0x0040\t0x30\tKRV_VBB_400\tsupply\t2400\t0\t4\t0\t4000\tV\tVBB\tX/100\tX*100\n"
    "JOY1\t0x0040\t0x40\tKRV_JOY0_VALUE\tjoystick 1\t0\t0\t4\t0\t1000\t%\tJoy 1\tX/10\tX*10\n"
    "I1_MEASURED\t0x0040\t0x60\tKRV_I0_MEASURE_400\tcurrent 1\t0\t0\t4\t0\t30000\tmA\tI 1\tX/10\tX*10\n";

constexpr int32_t Version = 0x002000;
constexpr int32_t IMin1A = 0x002040;
constexpr int32_t IMax1A = 0x002042;
constexpr int32_t Pattern = 0x002050;
constexpr int32_t ErrorCode = 0x004000;
constexpr int32_t Outputs = 0x004020;
constexpr int32_t Supply = 0x004030;
constexpr int32_t Joy1 = 0x004040;
constexpr int32_t Current1 = 0x004060;
const int32_t Marker[5] = {0xFDEA00, 0xFDEC00, 0xFDEE00, 0xFDF000, 0xFDF200};

class LinkOverSim : public ::testing::Test
{
protected:
    void SetUp() override
    {
        list = folder.write("Ramlist.ini", TestList);
        SimProcess::Options o;
        o.ramList = list;
        sim = std::make_unique<SimProcess>(o);
        ASSERT_TRUE(sim->start()) << sim->errorText().toStdString();
        link.ComPort = 1;
        ASSERT_TRUE(rs.Connect());
    }

    int32_t read(int32_t address)
    {
        int32_t v = -99999;
        EXPECT_EQ(rs.ReadVar(address, v), "") << "address " << std::hex << address;
        return v;
    }

    TempFolder folder;
    QString list;
    std::unique_ptr<SimProcess> sim;
    ComponentFactory factory;
    DevLink link{&factory};
    FakeMessageService messages;
    RS232 rs{link, &messages};
};

} // namespace

TEST_F(LinkOverSim, ConnectAndWordRoundTripThatSurvivesARestart)
{
    EXPECT_EQ(link.LinkState, DevLink::State::Open);
    EXPECT_EQ(read(Version), 10412);
    EXPECT_EQ(read(IMin1A), 400) << "a new EEPROM starts from the defaults";
    EXPECT_EQ(rs.WriteVar(IMin1A, 555), "");
    EXPECT_EQ(read(IMin1A), 555);

    ASSERT_TRUE(sim->restart());
    ASSERT_TRUE(rs.Connect());
    EXPECT_EQ(read(IMin1A), 555) << "parameters live in the EEPROM file";
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(LinkOverSim, WordsTravelSignReduced)
{
    EXPECT_EQ(rs.WriteVar(Pattern, 40000), "");
    EXPECT_EQ(read(Pattern), -25536);
    EXPECT_EQ(rs.WriteVar(Pattern, 0x18000), "");
    EXPECT_EQ(read(Pattern), -32768);
    EXPECT_EQ(rs.WriteVar(Pattern, -1), "");
    EXPECT_EQ(read(Pattern), -1);
    // a 16-bit ReadValue travels as a word read: its address is the high part
    int32_t raw = 0;
    ASSERT_EQ(link.ReadValue(Version >> 8, raw, 2), 0);
    EXPECT_EQ(raw, 10412);
}

TEST_F(LinkOverSim, KeyAndProductionNumberAsLongValues)
{
    int32_t value = 0;
    EXPECT_EQ(link.ReadValue(92, value, 4), 0);
    EXPECT_EQ(value, 0x24150317);
    EXPECT_EQ(link.ReadValue(88, value, 4), 0);
    EXPECT_EQ(value, 0) << "a new control unit is locked";

    EXPECT_EQ(link.WriteLong(88, QString::number(DevLink::HexTextToNumber("12348000"), 'f', 0)), 0);
    EXPECT_EQ(link.deviceLink()->timeout(), 1000);
    EXPECT_EQ(link.ReadValue(88, value, 4), 0);
    EXPECT_EQ(value, 305364992);
    EXPECT_EQ(link.WriteLong(88, "-2"), 0);
    EXPECT_EQ(link.ReadValue(88, value, 4), 0);
    EXPECT_EQ(value, -2);

    // the production number is the control unit's own: refused at once, no time-out
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(link.WriteLong(92, "1"), 1);
    EXPECT_LT(t.elapsed(), 500);
    EXPECT_EQ(link.deviceLink()->timeout(), 5000) << "a failed long write leaves the long time-out";
    EXPECT_EQ(link.WriteLong(88, "0"), 0);
    EXPECT_EQ(link.deviceLink()->timeout(), 1000);
    EXPECT_EQ(link.WriteLong(88, "not a number"), 1);
}

TEST_F(LinkOverSim, UnknownAddressIsAnErrorReplyNotATimeOut)
{
    int32_t value = 7;
    QElapsedTimer t;
    t.start();
    const auto refusal = [this] {
        return link.lastFailure().refused() ? link.lastFailure().cause : QStringLiteral("not a refusal");
    };
    EXPECT_EQ(rs.ReadVar(0x123456, value), "FAILED!");
    EXPECT_EQ(refusal(), "refused by the control unit: no such address");
    EXPECT_EQ(rs.WriteVar(0x123456, 1), "FAILED!");
    EXPECT_EQ(rs.WriteVar(Version, 1), "FAILED!") << "the version is read-only";
    EXPECT_EQ(refusal(), "refused by the control unit: read-only address");
    EXPECT_EQ(rs.WriteVar(Marker[0], 1), "FAILED!");
    EXPECT_EQ(link.WriteLong(Outputs, "5"), 1) << "measured live values, also as a 32-bit value";
    EXPECT_EQ(refusal(), "refused by the control unit: read-only address");
    EXPECT_EQ(link.WriteLong(1024, "1"), 1);
    EXPECT_EQ(refusal(), "refused by the control unit: value refused");
    EXPECT_LT(t.elapsed(), 500);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(read(Version), 10412) << "the link goes on after error replies";
}

TEST_F(LinkOverSim, ParArgumentsOutsideThoseTheProgramUsesAreRefused)
{
    IDeviceLink *dev = link.deviceLink();
    double v = 0;
    EXPECT_FALSE(dev->readPar(0x20, 0, 5, v));
    EXPECT_FALSE(dev->readPar(-1, 0, 2, v));
    EXPECT_FALSE(dev->readPar(0x10000, 0, 2, v));
    EXPECT_FALSE(dev->readPar(0x20, 256, 2, v));
    EXPECT_FALSE(dev->readPar(88, 1, 3, v));
    EXPECT_FALSE(dev->writePar(88, 3, 19, QVariant("1")));
    EXPECT_FALSE(dev->writePar(0x20, 0x50, 3, QVariant(70000.0)));
    EXPECT_FALSE(dev->writePar(0x20, 0x50, 2, QVariant(1.0)));
    EXPECT_TRUE(dev->readPar(0x20, 0x00, 2, v));
    EXPECT_EQ(v, 10412.0);
}

TEST_F(LinkOverSim, SilentControllerFailsWithinTheTimeOut)
{
    sim->set("silent", "1");
    int32_t value = 5;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(rs.ReadVar(IMin1A, value), "FAILED!");
    const qint64 took = t.elapsed();
    EXPECT_EQ(link.lastFailure().kind, LinkFailure::Kind::NoAnswer);
    EXPECT_EQ(link.withCause("FAILED!"), "FAILED!\rno answer from the control unit");
    EXPECT_GE(took, 990);
    EXPECT_LT(took, 1300);
    EXPECT_EQ(value, 5);
    sim->unset("silent");
    EXPECT_EQ(read(IMin1A), 400);
}

TEST_F(LinkOverSim, LateRepliesNeverAnswerTheNextRequest)
{
    ASSERT_EQ(rs.WriteVar(Pattern, 1111), "");
    ASSERT_EQ(rs.WriteVar(IMin1A, 2222), "");
    sim->set("delay", "1300");
    int32_t value = 0;
    EXPECT_EQ(rs.ReadVar(Pattern, value), "FAILED!");
    sim->unset("delay");
    // the reply with 1111 arrives while this read waits
    EXPECT_EQ(read(IMin1A), 2222);
    EXPECT_EQ(read(Pattern), 1111);
}

TEST_F(LinkOverSim, LateReplyFromBeforeAReconnectIsNotTaken)
{
    ASSERT_EQ(rs.WriteVar(Pattern, 1111), "");
    ASSERT_EQ(rs.WriteVar(IMin1A, 2222), "");
    ASSERT_TRUE(rs.Connect());   // the fresh link numbers its requests from the start again
    sim->set("delay", "1300");
    int32_t value = 0;
    EXPECT_EQ(rs.ReadVar(Pattern, value), "FAILED!");
    ASSERT_TRUE(rs.Connect());
    sim->unset("delay");
    // same sequence number and command as the late reply that arrives meanwhile
    EXPECT_EQ(read(IMin1A), 2222);
}

TEST_F(LinkOverSim, DamagedRepliesNeverGiveAWrongValue)
{
    ASSERT_EQ(rs.WriteVar(Pattern, 1234), "");
    sim->set("corrupt-rate", "0.04");
    sim->set("drop-rate", "0.02");
    int good = 0;
    int wrong = 0;
    for (int i = 0; i < 120; ++i) {
        const int32_t address = i % 2 ? Pattern : IMax1A;
        const int32_t expected = i % 2 ? 1234 : 1200;
        int32_t value = -1;
        if (rs.ReadVar(address, value).isEmpty()) {
            ++good;
            wrong += value != expected;
        } else {
            EXPECT_EQ(value, -1) << "a failed read leaves the value";
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(good, 100) << "damaged replies are asked for again within the time-out";
    sim->clearSettings();
    EXPECT_EQ(read(Pattern), 1234);
}

TEST_F(LinkOverSim, ClosedLinkIsASilentNoOp)
{
    rs.Disconnect();
    EXPECT_EQ(link.LinkState, DevLink::State::Close);
    int32_t value = 77;
    EXPECT_EQ(rs.ReadVar(IMin1A, value), "");
    EXPECT_EQ(value, 77);
    EXPECT_EQ(rs.WriteVar(IMin1A, 999), "");
    ASSERT_TRUE(rs.Connect());
    EXPECT_EQ(read(IMin1A), 400) << "nothing was sent while closed";
}

TEST_F(LinkOverSim, ConnectWithoutAPortOrWithAMissingOne)
{
    rs.Disconnect();
    link.ComPort = 0;
    EXPECT_FALSE(rs.Connect());
    EXPECT_TRUE(messages.shown.isEmpty());
    qputenv("KRV_COM7", "/nonexistent/tty");
    link.ComPort = 7;
    EXPECT_FALSE(rs.Connect());
    qunsetenv("KRV_COM7");
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Can't Open COM 7: no such device (/nonexistent/tty)");
    EXPECT_EQ(link.LinkState, DevLink::State::Close);
}

TEST_F(LinkOverSim, PortIsTakenExclusively)
{
    DevLink second(&factory);
    RS232 secondRs(second, &messages);
    second.ComPort = 1;
    EXPECT_FALSE(secondRs.Connect());
    EXPECT_EQ(messages.lastText(), "Can't Open COM 1: in use by another program (" + sim->devicePath() + ")");
    rs.Disconnect();
    EXPECT_EQ(second.LinkOpen(), 0) << "free again once closed";
}

TEST_F(LinkOverSim, LoadRestoresDefaultsAndRaisesTheResetMarkerUntilPowerCycle)
{
    for (int32_t a : Marker)
        EXPECT_EQ(read(a), 0);
    ASSERT_EQ(rs.WriteVar(IMin1A, 555), "");
    const QString load = QString::number(DevLink::HexTextToNumber("44414F4C"), 'f', 0);
    EXPECT_EQ(load, "1145130828");
    EXPECT_EQ(link.WriteLong(1024, load), 0);
    const int32_t reset[5] = {82, 69, 83, 69, 84};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(read(Marker[i]), reset[i]);
    EXPECT_EQ(read(IMin1A), 400);
    EXPECT_EQ(link.WriteLong(1024, "1"), 1) << "only the LOAD code is a command";

    sim->powerCycle();
    for (int32_t a : Marker)
        EXPECT_EQ(read(a), 0);

    EXPECT_EQ(link.WriteLong(1024, load), 0);
    ASSERT_TRUE(sim->restart());
    ASSERT_TRUE(rs.Connect());
    EXPECT_EQ(read(Marker[0]), 0) << "a restart is a power cycle";
    EXPECT_EQ(read(IMin1A), 400) << "the defaults were kept";
}

TEST_F(LinkOverSim, LineDyingMidTransferFailsAtOnce)
{
    sim->set("disconnect-after", "2");
    EXPECT_EQ(read(Version), 10412);
    EXPECT_EQ(read(Version), 10412);
    int32_t value = 3;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(rs.ReadVar(Version, value), "FAILED!");
    EXPECT_EQ(rs.ReadVar(Version, value), "FAILED!");
    EXPECT_EQ(rs.WriteVar(IMin1A, 1), "FAILED!");
    EXPECT_EQ(link.lastFailure().cause, "the line to the control unit is lost");
    EXPECT_LT(t.elapsed(), 500) << "a hung-up line is not waited for";
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(sim->waitForExit(3000));
    EXPECT_EQ(sim->exitCode(), 3);
}

TEST_F(LinkOverSim, LiveValuesFollowTheJoystick)
{
    sim->set("joy.0", "100");
    DevLink::WaitMs(300);   // rise ramp 100 ms
    const int32_t full = read(Current1);
    EXPECT_NEAR(full / 10.0, 1200.0, 40.0) << "maximum current with the dither on top";
    EXPECT_EQ(read(Joy1), 1000);
    EXPECT_EQ(read(Outputs) & 3, 1) << "coil 1A on";
    const double volts = read(Supply) / 100.0;
    EXPECT_NEAR(volts, 24.0, 0.5);

    sim->set("joy.0", "0");
    DevLink::WaitMs(400);
    EXPECT_NEAR(read(Current1) / 10.0, 900.0, 40.0) << "coil 1B at its own maximum";
    EXPECT_EQ(read(Outputs) & 3, 2);

    sim->set("joy.0", "50");
    DevLink::WaitMs(300);
    EXPECT_EQ(read(Current1), 0);
    EXPECT_EQ(read(Outputs) & 3, 0);
}

TEST_F(LinkOverSim, RaisedFaultsShowAndStopTheOutputs)
{
    sim->set("joy.0", "100");
    EXPECT_EQ(read(ErrorCode), 0);
    sim->set("fault.KRV_ERROR_CODE", "0x41");
    sim->set("fault.SECTION1_ERROR", "4");
    EXPECT_EQ(read(ErrorCode), 0x41);
    EXPECT_EQ(read(0x004010), 4);
    DevLink::WaitMs(300);
    EXPECT_EQ(read(Outputs), 0) << "NOT READY switches the coils off";
    sim->unset("fault.KRV_ERROR_CODE");
    sim->unset("fault.SECTION1_ERROR");
    EXPECT_EQ(read(ErrorCode), 0);
    EXPECT_EQ(read(0x004010), 0);
}

namespace {

// Milliseconds that `reads` word reads take over COM 1, or -1 when one fails.
qint64 timeReads(int reads)
{
    ComponentFactory factory;
    DevLink link(&factory);
    link.ComPort = 1;
    if (link.LinkOpen() != 0)
        return -1;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < reads; ++i) {
        int32_t value = 0;
        if (!link.ReadWord(0x002000, value).isEmpty())
            return -1;
    }
    return t.elapsed();
}

// A word read is 12 bytes of 10 bits: 12.5 ms at 9600 baud.
constexpr double WireMsPerRead = 12 * 10 * 1000.0 / 9600;

} // namespace

TEST(LinkPacing, EveryByteTakesItsTimeAt9600Baud)
{
    SimProcess::Options o;
    o.pacing = true;
    SimProcess sim(o);
    ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
    const qint64 elapsed = timeReads(20);
    ASSERT_GE(elapsed, 0);
    EXPECT_GE(elapsed, 20 * WireMsPerRead);
    // the link waits out the wire time of a line that keeps pace, and no more
    EXPECT_LT(elapsed, 2 * 20 * WireMsPerRead);
}

TEST(LinkPacing, AVirtualLineThatAnswersAtOnceIsNotHeldToTheWireTime)
{
    SimProcess sim;   // no pacing: replies come as fast as the machine goes
    ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
    const qint64 elapsed = timeReads(200);
    ASSERT_GE(elapsed, 0);
    EXPECT_LT(elapsed, 200 * WireMsPerRead / 2);
}

TEST(LinkWithoutComponent, MissingLibraryMakesConnectFail)
{
    TempFolder folder;
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
    ComponentFactory factory(folder.write("components.ini", "[Components]\nDevLinkMng.DeviceLinkMng.1=libgone.so\n"),
                             QCoreApplication::applicationDirPath());
    DevLink link(&factory);
    FakeMessageService messages;
    RS232 rs(link, &messages);
    link.ComPort = 1;
    EXPECT_EQ(link.LinkOpen(), -1);
    EXPECT_FALSE(rs.Connect());
    EXPECT_EQ(messages.lastText(), "Can't Open COM 1: the device-link component cannot be loaded (" + sim.devicePath() + ")");
}

TEST(LinkShippedList, SimulatorServesTheShippedVariableList)
{
    SimProcess sim;   // default: res/ini/Ramlist.ini
    ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
    Catalogue catalogue;
    ASSERT_TRUE(catalogue.LoadRamList(Catalogue::defaultRamListPath()));
    ComponentFactory factory;
    DevLink link(&factory);
    RS232 rs(link, nullptr);
    link.ComPort = 1;
    ASSERT_TRUE(rs.Connect());
    int32_t value = 0;
    ASSERT_EQ(rs.ReadVar(catalogue.data(KRV_PROG_VERS)->Address, value), "");
    EXPECT_EQ(value, 10412);
    ASSERT_EQ(rs.ReadVar(catalogue.data(KRV_NUM_PROP_REG)->Address, value), "");
    EXPECT_EQ(value, catalogue.data(KRV_NUM_PROP_REG)->QelValueDefault);
    CVarData *vbb = catalogue.entry(KRV_VBB_400);
    ASSERT_EQ(rs.ReadVar(vbb->Data->Address, value), "");
    vbb->Data->CurrentTBXSystem = static_cast<int16_t>(catalogue.data(KRV_NUM_PROP_REG)->QelValueE2);
    vbb->ReadRAMFromQEL(value);
    EXPECT_NEAR(vbb->Data->KrvDisplayValueRAM, 24.0, 1.0);
    // every variable of the list is there to be read
    for (int i = 1; i < catalogue.VarCount; ++i)
        EXPECT_EQ(rs.ReadVar(catalogue.data(i)->Address, value), "") << catalogue.data(i)->Name.toStdString();
}
