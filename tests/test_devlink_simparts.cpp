#include "catalogue.h"
#include "controllermemory.h"
#include "faultsettings.h"
#include "machinemodel.h"
#include "simoptions.h"
#include "tempfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

// The virtual controller's memory, machine and settings, driven directly.

namespace {

const char *const List =
    "Name\tHigh\tLow\tId\tDescription\tDefault\tSection\tPages\tMin\tMax\tUnit\tMonitor\tToDisplay\tToDownload\n"
    "VERSION\t0x0020\t0x00\tKRV_PROG_VERS\tversion\t0\t0\t10\t0\t32767\n"
    "SECTIONS\t0x0020\t0x02\tKRV_NUM_PROP_REG\tsections\t1\t0\t11\t1\t4\n"
    "IMIN_1A\t0x0020\t0x40\tKRV_I0_MIN\tmin\t400\t0\t11\t0\t2000\n"
    "IMAX_1A\t0x0020\t0x42\tKRV_I0_MAX\tmax\t1200\t0\t11\t0\t2000\n"
    "IMIN_1B\t0x0020\t0x44\tKRV_I1_MIN\tmin\t200\t0\t11\t0\t2000\n"
    "IMAX_1B\t0x0020\t0x46\tKRV_I1_MAX\tmax\t600\t0\t11\t0\t2000\n"
    "TRISE_1A\t0x0020\t0x80\tKRV_RAMP_TRISE_0\trise\t100\t0\t11\t10\t5000\n"
    "TFALL_1A\t0x0020\t0x90\tKRV_RAMP_TFALL_0\tfall\t200\t0\t11\t10\t5000\n"
    "TRISE_1B\t0x0020\t0x82\tKRV_RAMP_TRISE_1\trise\t100\t0\t11\t10\t5000\n"
    "TFALL_1B\t0x0020\t0x92\tKRV_RAMP_TFALL_1\tfall\t100\t0\t11\t10\t5000\n"
    "ERROR_CODE\t0x0040\t0x00\tKRV_ERROR_CODE\tstatus\t0\t0\t32\t-32768\t32767\n"
    "OUTPUTS\t0x0040\t0x20\tKRV_HSD_MONITOR\toutputs\t0\t0\t4\t0\t255\n"
    "DIGITS\t0x0040\t0x22\tKRV_DIGIT_MONITOR\tinputs\t0\t0\t4\t-32768\t32767\n"
    "VBB\t0x0040\t0x30\tKRV_VBB_400\tsupply\t2400\t0\t4\t0\t4000\tV\tVBB\tX/100\tX*100\n"
    "JOY1\t0x0040\t0x40\tKRV_JOY0_VALUE\tjoy\t0\t0\t4\t0\t1000\t%\tJoy\tX/10\tX*10\n"
    "I1_MEASURED\t0x0040\t0x60\tKRV_I0_MEASURE_400\tcurrent\t0\t0\t4\t0\t30000\tmA\tI\tX/10\tX*10\n"
    "I1_SETPOINT\t0x0040\t0x68\t\tsetpoint\t0\t0\t4\t0\t30000\tmA\tI\tX/10\tX*10\n"
    "COMMAND\t0x0040\t0x80\tKRV_DITHER_UPDATE\tupdate\t0\t0\t64\t0\t1\n";

using Clock = std::chrono::steady_clock;

class SimParts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(catalogue.LoadRamList(folder.write("list.ini", List)));
        memory = std::make_unique<ControllerMemory>(catalogue, 321, 0xA1B2C3D4);
        model = std::make_unique<MachineModel>(
            catalogue, [this](KrvId id) { return memory->word(id); },
            [this] { return (memory->word(KRV_ERROR_CODE) & 0xFFBF) != 0; });
        memory->setLiveValues(model.get());
        t0 = Clock::now();
        model->reset(t0);
    }

    uint32_t word(uint32_t address, int ms = 0)
    {
        const auto r = memory->readWord(address, t0 + std::chrono::milliseconds(ms));
        EXPECT_TRUE(r.ok) << std::hex << address;
        return r.value;
    }

    TempFolder folder;
    Catalogue catalogue;
    std::unique_ptr<ControllerMemory> memory;
    std::unique_ptr<MachineModel> model;
    Clock::time_point t0;
};

} // namespace

TEST_F(SimParts, EepromFileStartsFromDefaultsAndKeepsWrites)
{
    const QString file = folder.path("eeprom.txt");
    QString error;
    ASSERT_TRUE(memory->attachEeprom(file, &error)) << error.toStdString();
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_TRUE(memory->writeWord(0x002040, 777).ok);
    EXPECT_TRUE(memory->writeLong(ControllerMemory::KeyAddress, 0x12345678).ok);

    ControllerMemory again(catalogue, 321, 0);
    ASSERT_TRUE(again.attachEeprom(file, &error));
    const auto now = Clock::now();
    EXPECT_EQ(again.readWord(0x002040, now).value, 777u);
    EXPECT_EQ(again.readLong(ControllerMemory::KeyAddress, now).value, 0x12345678u);
    // the words of a long value: low half first (the controller's byte order)
    EXPECT_EQ(again.readWord(88, now).value, 0x5678u);
    EXPECT_EQ(again.readWord(90, now).value, 0x1234u);
    EXPECT_EQ(again.readLong(ControllerMemory::ProductionAddress, now).value, 0xA1B2C3D4u)
        << "the production number comes with the file";

    QFile corrupt(folder.write("bad.txt", "0x002040=banana\n"));
    ControllerMemory bad(catalogue, 0, 0);
    EXPECT_FALSE(bad.attachEeprom(corrupt.fileName(), &error));
}

TEST_F(SimParts, EepromFileIsWrittenOnlyWhenAWordChangesOrTheLastSaveFailed)
{
    const QString file = folder.path("eeprom.txt");
    QString error;
    ASSERT_TRUE(memory->attachEeprom(file, &error)) << error.toStdString();
    ASSERT_TRUE(memory->writeWord(0x002040, 777).ok);
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_TRUE(memory->writeWord(0x002040, 777).ok);
    EXPECT_FALSE(QFile::exists(file)) << "the same word again needs no save";
    EXPECT_TRUE(memory->writeWord(0x002040, 778).ok);
    ASSERT_TRUE(QFile::exists(file));

    // an EEPROM that cannot be written refuses the write, the key and LOAD,
    // and nothing changes; the next write once it works again is saved
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkdir(file));
    EXPECT_EQ(memory->writeWord(0x002040, 779).error, FrameCodec::Error::BadValue);
    EXPECT_FALSE(memory->saveError().isEmpty());
    EXPECT_EQ(word(0x002040), 778u) << "a refused word keeps its value";
    EXPECT_EQ(memory->writeLong(ControllerMemory::KeyAddress, 0x12345678).error, FrameCodec::Error::BadValue);
    EXPECT_EQ(memory->readLong(ControllerMemory::KeyAddress, t0).value, 0u);
    EXPECT_EQ(memory->writeLong(ControllerMemory::LoadAddress, ControllerMemory::LoadCode).error,
              FrameCodec::Error::BadValue);
    EXPECT_EQ(word(0x002040), 778u) << "a refused LOAD restores nothing";
    EXPECT_FALSE(memory->resetMarker());
    ASSERT_TRUE(QDir().rmdir(file));
    EXPECT_TRUE(memory->writeWord(0x002040, 779).ok);
    EXPECT_TRUE(memory->saveError().isEmpty());
    ControllerMemory again(catalogue, 321, 0);
    ASSERT_TRUE(again.attachEeprom(file, &error)) << error.toStdString();
    EXPECT_EQ(again.readWord(0x002040, Clock::now()).value, 779u);
}

TEST_F(SimParts, AccessRulesAndErrorCodes)
{
    using FrameCodec::Error;
    EXPECT_EQ(word(0x002000), 321u) << "the software version";
    EXPECT_EQ(memory->writeWord(0x002000, 1).error, Error::ReadOnly);
    EXPECT_EQ(memory->readWord(0x002001, t0).error, Error::NoSuchAddress);
    EXPECT_EQ(memory->readWord(0x777777, t0).error, Error::NoSuchAddress);
    EXPECT_EQ(memory->writeWord(0x004040, 5).error, Error::ReadOnly) << "live values are measured, not set";
    EXPECT_EQ(memory->writeLong(0x004020, 5).error, Error::ReadOnly) << "also as a 32-bit value";
    EXPECT_EQ(memory->writeLong(ControllerMemory::ProductionAddress, 1).error, Error::ReadOnly);
    EXPECT_EQ(memory->writeWord(ControllerMemory::LoadAddress, 1).error, Error::BadValue);
    EXPECT_EQ(memory->writeLong(0x777776, 1).error, Error::NoSuchAddress);
    EXPECT_TRUE(memory->writeWord(0x004080, 1).ok);
    EXPECT_EQ(word(0x004080), 0u) << "the dither update command is taken at once";
}

TEST_F(SimParts, BlocksBridgeUnusedWordsOnReadAndAreWrittenWholeOrNotAtAll)
{
    using FrameCodec::Error;
    const QString file = folder.path("eeprom.txt");
    QString error;
    ASSERT_TRUE(memory->attachEeprom(file, &error)) << error.toStdString();
    // 0x002004 to 0x00203E hold no variable: inside the area they read as 0
    const auto read = memory->readBlock(0x002000, 3, t0);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.words, (std::vector<uint16_t>{321, 1, 0}));
    EXPECT_EQ(memory->readWord(0x002004, t0).error, Error::NoSuchAddress) << "a word read of it still fails";
    const auto outside = memory->readBlock(0x001FFC, 3, t0);
    EXPECT_EQ(outside.error, Error::NoSuchAddress);
    EXPECT_EQ(outside.index, 0);

    EXPECT_TRUE(memory->writeBlock(0x002040, {500, 1500, 250}).ok);
    EXPECT_EQ(memory->readBlock(0x002040, 4, t0).words, (std::vector<uint16_t>{500, 1500, 250, 600}));
    // the third word of the run is refused: none of the run is written
    const auto gap = memory->writeBlock(0x002044, {1, 2, 3});
    EXPECT_EQ(gap.error, Error::NoSuchAddress);
    EXPECT_EQ(gap.index, 2);
    const auto readOnly = memory->writeBlock(0x002000, {1, 4});
    EXPECT_EQ(readOnly.error, Error::ReadOnly);
    EXPECT_EQ(readOnly.index, 0);
    EXPECT_EQ(word(0x002044), 250u);
    EXPECT_EQ(word(0x002002), 1u);

    // an EEPROM that cannot be written keeps the whole run as it was
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkdir(file));
    EXPECT_EQ(memory->writeBlock(0x002040, {1, 2}).error, Error::BadValue);
    EXPECT_EQ(word(0x002040), 500u);
    EXPECT_EQ(word(0x002042), 1500u);
}

TEST_F(SimParts, LoadMarkerAndPowerCycle)
{
    ASSERT_TRUE(memory->writeWord(0x002040, 999).ok);
    ASSERT_TRUE(memory->writeLong(ControllerMemory::KeyAddress, 42).ok);
    ASSERT_TRUE(memory->writeWord(0x004000, 3).ok);
    EXPECT_EQ(memory->writeLong(ControllerMemory::LoadAddress, 1).error, FrameCodec::Error::BadValue);
    EXPECT_FALSE(memory->resetMarker());
    ASSERT_TRUE(memory->writeLong(ControllerMemory::LoadAddress, ControllerMemory::LoadCode).ok);
    EXPECT_TRUE(memory->resetMarker());
    const uint32_t reset[5] = {'R', 'E', 'S', 'E', 'T'};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(word(ControllerMemory::MarkerAddresses[i]), reset[i]);
    EXPECT_EQ(word(0x002040), 400u) << "parameters back to defaults";
    EXPECT_EQ(memory->readLong(ControllerMemory::KeyAddress, t0).value, 42u) << "the key is not a parameter";
    memory->powerCycle();
    EXPECT_FALSE(memory->resetMarker());
    EXPECT_EQ(word(ControllerMemory::MarkerAddresses[0]), 0u);
    EXPECT_EQ(word(0x004000), 0u) << "RAM starts over";
    EXPECT_EQ(word(0x002040), 400u);
}

TEST_F(SimParts, FaultsRaiseAndClearErrorWords)
{
    EXPECT_TRUE(memory->setFaults({{"KRV_ERROR_CODE", 0x41}}).isEmpty());
    EXPECT_EQ(word(0x004000), 0x41u);
    memory->powerCycle();
    EXPECT_EQ(word(0x004000), 0x41u) << "a fault outlives a power cycle";
    EXPECT_EQ(memory->setFaults({{"NO_SUCH_WORD", 1}, {"IMIN_1A", 1}}), (QStringList{"IMIN_1A", "NO_SUCH_WORD"}))
        << "only RAM words can be raised";
    EXPECT_EQ(word(0x004000), 0u) << "a fault not named again is cleared";
}

TEST_F(SimParts, CurrentRampsBetweenMinimumAndMaximum)
{
    model->holdJoysticks({{0, 100.0}});
    // rise: 1200 mA in 100 ms from the 400 mA minimum
    word(0x004068, 30);
    EXPECT_EQ(model->activeCoil(0), 0);
    EXPECT_NEAR(model->coilCurrent(0), 400 + 30 * 12, 1.0);
    EXPECT_EQ(word(0x004068, 200), 12000u) << "setpoint at the maximum, 0.1 mA steps";
    EXPECT_EQ(word(0x004020, 200), 1u);
    const double measured = word(0x004060, 200) / 10.0;
    EXPECT_NEAR(measured, 1200, 5) << "no dither configured, a little noise";

    // the other way: coil A falls out (1200 mA in 200 ms) before coil B starts
    model->holdJoysticks({{0, 0.0}});
    word(0x004068, 300);
    EXPECT_EQ(model->activeCoil(0), 0);
    EXPECT_NEAR(model->coilCurrent(0), 1200 - 100 * 6, 1.0);
    word(0x004068, 600);
    EXPECT_EQ(model->activeCoil(0), 1);
    EXPECT_NEAR(model->coilCurrent(0), 600, 1.0);
    EXPECT_EQ(word(0x004020, 600), 2u);
    EXPECT_EQ(word(0x004022, 600) & 6u, 4u) << "DI_2 follows joystick 1 to its low end";

    model->holdJoysticks({{0, 52.0}});   // inside the dead band
    EXPECT_EQ(word(0x004060, 900), 0u);
    EXPECT_EQ(model->activeCoil(0), -1);
}

TEST_F(SimParts, NotReadyStopsTheCoilsAndSupplyStaysNear24V)
{
    model->holdJoysticks({{0, 100.0}});
    word(0x004060, 200);
    ASSERT_EQ(model->activeCoil(0), 0);
    memory->setFaults({{"KRV_ERROR_CODE", 0x01}});
    EXPECT_EQ(word(0x004020, 500), 0u);
    memory->setFaults({{"KRV_ERROR_CODE", 0x40}});   // bit 6 alone is READY
    EXPECT_EQ(word(0x004020, 700), 1u);
    const double volts = word(0x004030, 700) / 100.0;
    EXPECT_GT(volts, 23.5);
    EXPECT_LT(volts, 24.2);
}

TEST_F(SimParts, JoysticksSweepWhenNotHeld)
{
    uint32_t low = 1000, high = 0;
    for (int ms = 0; ms < 10000; ms += 250) {
        const uint32_t v = word(0x004040, ms);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_LT(low, 100u);
    EXPECT_GT(high, 900u);
}

TEST(SimSettings, ControlTextOverlaysTheCommandLine)
{
    FaultSettings base;
    base.delayMs = 50;
    base.faults["KRV_VBB_ERROR"] = 2;
    QStringList problems;
    const FaultSettings s = FaultSettings::withControlText(
        base,
        "# test\nsilent=1\ncorrupt-rate=0.5\nfault.KRV_ERROR_CODE=0x41\njoy.2=75\npower-cycle=3\nbogus=1\ndelay=-4\njoy.9=1\nnot a line\n",
        &problems);
    EXPECT_TRUE(s.silent);
    EXPECT_EQ(s.delayMs, 50) << "a bad value keeps the old one";
    EXPECT_EQ(s.corruptRate, 0.5);
    EXPECT_EQ(s.faults.at("KRV_ERROR_CODE"), 0x41);
    EXPECT_EQ(s.faults.at("KRV_VBB_ERROR"), 2);
    EXPECT_EQ(s.heldJoysticks.at(2), 75.0);
    EXPECT_EQ(s.powerCycles, 3);
    EXPECT_EQ(problems.size(), 4);
    FaultSettings swept = s;
    swept.apply("joy.2", "sweep");
    EXPECT_TRUE(swept.heldJoysticks.empty());
    EXPECT_NE(swept, s);
}

TEST(SimSettings, CommandLine)
{
    SimOptions o;
    QString error;
    ASSERT_TRUE(SimOptions::parse({"krv-sim", "--no-pacing", "--node", "3", "--fault", "KRV_ERROR_CODE=0x41",
                                   "--joy", "0=20", "--drop-rate", "0.1", "--production-number", "0x00000005"},
                                  o, &error))
        << error.toStdString();
    EXPECT_FALSE(o.pacing);
    EXPECT_EQ(o.node, 3);
    EXPECT_EQ(o.baud, 9600);
    EXPECT_EQ(o.faults.faults.at("KRV_ERROR_CODE"), 0x41);
    EXPECT_EQ(o.faults.heldJoysticks.at(0), 20.0);
    EXPECT_EQ(o.faults.dropRate, 0.1);
    EXPECT_EQ(o.productionNumber, 5u);
    EXPECT_FALSE(SimOptions::parse({"krv-sim", "--drop-rate", "2"}, o, &error));
    EXPECT_FALSE(SimOptions::parse({"krv-sim", "--baud", "fast"}, o, &error));
    EXPECT_FALSE(SimOptions::parse({"krv-sim", "--power-cycle"}, o, &error)) << "needs the control file";
}
