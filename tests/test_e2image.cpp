#include "keycommands.h"
#include "linkmodes.h"
#include "servicehistory.h"
#include "simprocess.h"
#include "transferfixture.h"

#include <QDateTime>


namespace {

// index: 1 Version, 2 Sections, 3 I0Min, 4 I2Min (section 1), 5 I4Min (section 2),
// 6 I6Min (section 3), 7 Hours (no declared maximum), 8 Joy0 (live value that
// shares a bit with the configuration page), 9 Week (key page).
const QStringList List = {
    "Version\t00\t10\tKRV_PROG_VERS\tSoftware version\t0\t0\t10\t0\t65535",
    "Sections\t00\t12\tKRV_NUM_PROP_REG\tNumber of sections\t2\t0\t11\t1\t4",
    "I0Min\t01\t00\tKRV_I0_MIN\tCoil 1A minimum\t100\t0\t11\t0\t1000",
    "I2Min\t01\t04\tKRV_I2_MIN\tCoil 2A minimum\t100\t1\t11\t0\t1000",
    "I4Min\t01\t08\tKRV_I4_MIN\tCoil 3A minimum\t100\t2\t11\t0\t1000",
    "I6Min\t01\t0C\tKRV_I6_MIN\tCoil 4A minimum\t100\t3\t11\t0\t1000",
    "Hours\t02\t00\t\tWorking hours\t5\t0\t11\t10\t65535",
    "Joy0\t03\t00\tKRV_JOY0_VALUE\tJoystick 1\t0\t0\t2\t0\t65535",
    "Week\t04\t00\tKRV_SERVICE_WEEK\tService week\t1\t0\t10001\t1\t52",
};

class E2ImageTest : public TransferFixture
{
protected:
    void SetUp() override
    {
        loadList(List);
        // a controller holding sensible values: 3 sections, minima 200 + index
        FakeController &c = controller();
        c.setWord(0x10, 123);
        c.setWord(0x12, 3);
        c.setWord(0x100, 203);
        c.setWord(0x104, 204);
        c.setWord(0x108, 205);
        c.setWord(0x10C, 206);
        c.setWord(0x200, 300);
        c.setWord(0x300, 17);
        c.setWord(0x400, 20);
    }

    QList<int32_t> accessedAddresses() const
    {
        QList<int32_t> out;
        for (const auto &a : factory.controller->log)
            out.append(a.a * 256 + a.b);
        return out;
    }
};

} // namespace

TEST_F(E2ImageTest, PageMasksAndCountsFollowTheOpenPages)
{
    EXPECT_EQ(session.e2Image.AllPagesMask(), 10010);
    EXPECT_EQ(session.e2Image.AllPagesWriteMask(), 10011);
    // entries 1 to 7 carry both bits of 10; entry 9 carries those of 10000
    EXPECT_EQ(config.PageVarNum, 7);
    EXPECT_EQ(service.PageVarNum, 1);
    EXPECT_EQ(monitor.PageVarNum, 0);
    EXPECT_EQ(session.e2Image.CountPageVars(10), 7);
    EXPECT_EQ(session.e2Image.CountPageVars(10010), 9);
    EXPECT_EQ(session.e2Image.CountPageVars(2), 0);  // no page's key lies within 2
    EXPECT_TRUE(E2Image::IsTrue(-1));
    EXPECT_FALSE(E2Image::IsTrue(1));
}

TEST_F(E2ImageTest, MaskZeroTouchesNothing)
{
    connectLink();
    session.ProgressPercent = 42;
    int assigned = 0;
    QObject::connect(&session.IsConnectObj, &ConnectionState::assigned, [&] { ++assigned; });
    EXPECT_EQ(session.e2Image.ReadE2All(0), QString());
    EXPECT_EQ(session.e2Image.WriteE2All(0), QString());
    EXPECT_EQ(controller().accessCount(), 0);
    EXPECT_EQ(session.ProgressPercent, 42);
    EXPECT_EQ(assigned, 0);
    EXPECT_TRUE(wait.calls.isEmpty());
    EXPECT_EQ(var(3).QelValueE2, 100);
}

TEST_F(E2ImageTest, ClosedLinkFailsAndChangesNothing)
{
    var(3).KrvDownloadValueE2 = 555;
    EXPECT_EQ(session.e2Image.ReadE2All(10), "FAILED!");
    EXPECT_EQ(session.e2Image.WriteE2All(11), "FAILED!");
    for (int i = 1; i < session.catalogue.VarCount; ++i)
        EXPECT_EQ(var(i).QelValueE2, var(i).QelValueDefault) << i;
    EXPECT_EQ(var(3).KrvDownloadValueE2, 555);
    EXPECT_EQ(session.ProgressPercent, 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    bool marker = true;
    EXPECT_EQ(session.e2Image.ReadResetMarker(marker), "FAILED!");
    EXPECT_TRUE(marker);
}

TEST_F(E2ImageTest, ReadAllSkipsSectionsBeyondTheCountButCountsThemForProgress)
{
    connectLink();
    int assigned = 0;
    QObject::connect(&session.IsConnectObj, &ConnectionState::assigned, [&] { ++assigned; });
    EXPECT_EQ(session.e2Image.ReadE2All(10), QString());

    // section 3 (entry 6) is not asked for; the key page's entry is outside the mask
    EXPECT_EQ(accessedAddresses(), (QList<int32_t>{0x10, 0x12, 0x100, 0x104, 0x108, 0x200, 0x300}));
    EXPECT_EQ(var(1).KrvDisplayValueE2, 123);
    EXPECT_EQ(var(2).QelValueE2, 3);
    EXPECT_EQ(var(5).QelValueE2, 205);
    EXPECT_EQ(var(5).KrvDownloadValueE2, 205);
    EXPECT_EQ(var(6).QelValueE2, 100);
    EXPECT_EQ(var(8).QelValueE2, 17);
    EXPECT_EQ(var(9).QelValueE2, 1);

    // eight entries share a bit with the mask, seven are counted: 14, 29, ... capped at 100
    ASSERT_EQ(wait.calls.size(), 9);
    EXPECT_EQ(wait.calls[0].value, 14);
    EXPECT_EQ(wait.calls[0].text, "Reading...");
    EXPECT_EQ(wait.calls[5].value, 86);
    EXPECT_EQ(wait.calls[6].value, 100);
    EXPECT_EQ(wait.calls[7].value, 100);
    EXPECT_EQ(wait.calls[8].value, 100);
    EXPECT_EQ(session.ProgressPercent, 100);
    EXPECT_EQ(session.StatusText, "Reading...");
    EXPECT_EQ(window.status.panelText(5), "100%");
    EXPECT_EQ(assigned, 8); // once per entry
    EXPECT_EQ(session.IsConnectObj.value(), 2);
    EXPECT_EQ(config.refreshes, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(E2ImageTest, OutOfRangeValuesTakeTheirDefaultAndAreListed)
{
    controller().setWord(0x100, 5000); // above 1000
    controller().setWord(0x108, -3);   // below 0
    controller().setWord(0x200, 2);    // below 10, maximum 65535: reset without a word
    connectLink();
    EXPECT_EQ(session.e2Image.ReadE2All(10), QString());
    EXPECT_EQ(var(3).QelValueE2, 100);
    EXPECT_EQ(var(3).KrvDownloadValueE2, 100);
    EXPECT_EQ(var(5).QelValueE2, 100);
    EXPECT_EQ(var(7).QelValueE2, 5);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), "READ FAULT:\r - I0Min\r - I4Min\r");
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::Ok);
}

TEST_F(E2ImageTest, SectionCountIsCorrectedAtOnceAndListedLast)
{
    controller().setWord(0x12, 9);     // out of 1..4: back to the default 2
    controller().setWord(0x100, 5000);
    connectLink();
    EXPECT_EQ(session.e2Image.ReadE2All(10), QString());
    EXPECT_EQ(var(2).QelValueE2, 2);
    // with 2 sections the entries of sections 2 and 3 stay as they were
    EXPECT_EQ(var(4).QelValueE2, 204);
    EXPECT_EQ(var(5).QelValueE2, 100);
    EXPECT_FALSE(accessedAddresses().contains(0x108));
    EXPECT_EQ(messages.lastText(), "READ FAULT:\r - I0Min\r - Sections\r");

    // alone, it still comes under the heading
    messages.shown.clear();
    controller().setWord(0x100, 300);
    EXPECT_EQ(session.e2Image.ReadE2All(10), QString());
    EXPECT_EQ(messages.lastText(), "READ FAULT:\r - Sections\r");
}

TEST_F(E2ImageTest, FailedReadStopsAtOnceAndPutsBackWhatTheEntriesHeld)
{
    connectLink();
    session.catalogue.entry(1)->KRVSetVar(55); // an edit not yet written
    controller().failAt = 3;                   // the read of I0Min
    EXPECT_EQ(session.e2Image.ReadE2All(10), "FAILED!");
    // the two entries read before the failure hold their old values again
    EXPECT_EQ(var(1).QelValueE2, 0);
    EXPECT_EQ(var(1).KrvDisplayValueE2, 55);
    EXPECT_EQ(var(1).KrvDownloadValueE2, 55);
    EXPECT_EQ(var(2).QelValueE2, 2);
    EXPECT_EQ(var(2).KrvDownloadValueE2, 2);
    EXPECT_EQ(var(3).QelValueE2, 100);
    EXPECT_EQ(var(4).QelValueE2, 100);
    EXPECT_EQ(controller().accessCount(), 3);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(config.refreshes, 1) << "the page shows the values put back";
    EXPECT_EQ(session.IsConnectObj.value(), 2);

    // where it stopped: with the 3 sections read, 5 entries were still to come
    ASSERT_TRUE(session.e2Image.lastStop().has_value());
    EXPECT_FALSE(session.e2Image.lastStop()->requested);
    EXPECT_EQ(session.StatusText, "Read stopped at I0Min (2 of 7 read): the values from before the read are kept.");
    EXPECT_EQ(session.StatusText, session.e2Image.lastStop()->text());

    // a read that runs to its end leaves no stop behind
    controller().failAt = 0;
    EXPECT_EQ(session.e2Image.ReadE2All(10), QString());
    EXPECT_FALSE(session.e2Image.lastStop().has_value());
    EXPECT_EQ(var(1).QelValueE2, 123);
}

TEST_F(E2ImageTest, WriteAllSendsTheDownloadValuesOfEepromParametersOnly)
{
    connectLink();
    controller().setWord(0x12, 2);
    var(2).KrvDownloadValueE2 = 3;   // the edited section count is sent first and then rules
    var(2).QelValueE2 = 2;
    for (int i = 3; i <= 7; ++i)
        var(i).KrvDownloadValueE2 = 400 + i;
    var(1).KrvDownloadValueE2 = 999; // bit 0 clear: never written
    var(8).KrvDownloadValueE2 = 999;

    EXPECT_EQ(session.e2Image.WriteE2All(11), QString());
    EXPECT_EQ(controller().word(0x12), 3);
    EXPECT_EQ(controller().word(0x100), 403);
    EXPECT_EQ(controller().word(0x104), 404);
    EXPECT_EQ(controller().word(0x108), 405);
    EXPECT_EQ(controller().word(0x10C), 206); // section 3 beyond the count
    EXPECT_EQ(controller().word(0x200), 407);
    EXPECT_EQ(controller().word(0x10), 123);
    EXPECT_EQ(controller().word(0x300), 17);
    EXPECT_EQ(controller().word(0x400), 20);  // key page: outside the mask
    EXPECT_EQ(var(3).QelValueE2, 403);
    EXPECT_EQ(var(6).QelValueE2, 100);
    for (const auto &a : controller().log)
        EXPECT_EQ(a.t, 3);

    ASSERT_FALSE(wait.calls.isEmpty());
    EXPECT_EQ(wait.calls.last().value, 100);
    EXPECT_EQ(wait.calls.last().text, "Writing...");
    EXPECT_EQ(session.StatusText, "Writing...");
    EXPECT_EQ(config.refreshes, 1);
}

TEST_F(E2ImageTest, FailedWriteIsNotRecordedAsTheControllersValue)
{
    connectLink();
    var(2).KrvDownloadValueE2 = 3;
    var(3).KrvDownloadValueE2 = 777;
    var(4).KrvDownloadValueE2 = 778;
    controller().failAt = 2; // the write of I0Min
    EXPECT_EQ(session.e2Image.WriteE2All(11), "FAILED!");
    EXPECT_EQ(var(2).QelValueE2, 3);
    EXPECT_EQ(var(3).QelValueE2, 100);
    EXPECT_EQ(controller().word(0x100), 203);
    EXPECT_EQ(controller().word(0x104), 204);
    EXPECT_EQ(var(4).QelValueE2, 100);
    EXPECT_EQ(controller().accessCount(), 2);
    EXPECT_EQ(config.refreshes, 0);
    // the section count written first decides what was still to go
    EXPECT_EQ(session.StatusText, "Write stopped at I0Min (1 of 5 written): the control unit now holds a mix of old "
                                  "and new values.");
}

TEST_F(E2ImageTest, AStopAskedForEndsTheWriteAfterTheAccessInFlight)
{
    connectLink();
    var(2).KrvDownloadValueE2 = 3;
    for (int i = 3; i <= 5; ++i)
        var(i).KrvDownloadValueE2 = 700 + i;
    session.e2Image.setStopRequest([this] { return controller().accessCount() >= 2; });
    EXPECT_EQ(session.e2Image.WriteE2All(11), "FAILED!");
    EXPECT_EQ(controller().accessCount(), 2);
    EXPECT_EQ(controller().word(0x100), 703);
    EXPECT_EQ(var(3).QelValueE2, 703);
    EXPECT_EQ(controller().word(0x104), 204); // never sent, never recorded
    EXPECT_EQ(var(4).QelValueE2, 100);
    ASSERT_TRUE(session.e2Image.lastStop().has_value());
    EXPECT_TRUE(session.e2Image.lastStop()->requested);
    EXPECT_EQ(session.e2Image.lastStop()->text(), "Write stopped at I2Min (2 of 5 written): the control unit now "
                                                  "holds a mix of old and new values.");

    // asked before the first access: nothing goes out
    session.e2Image.setStopRequest([] { return true; });
    EXPECT_EQ(session.e2Image.WriteE2All(11), "FAILED!");
    EXPECT_EQ(controller().accessCount(), 2);
    EXPECT_EQ(session.e2Image.lastStop()->text(), "Write stopped before Sections: nothing was written.");
    // a read asked to stop puts back what it read
    session.e2Image.setStopRequest([this] { return controller().accessCount() >= 4; });
    EXPECT_EQ(session.e2Image.ReadE2All(10), "FAILED!");
    EXPECT_EQ(var(1).QelValueE2, 0);
    EXPECT_EQ(var(2).QelValueE2, 3);
    EXPECT_TRUE(session.e2Image.lastStop()->text().startsWith("Read stopped at I0Min (2 of "));
}

TEST_F(E2ImageTest, ResetMarkerReadsFiveWordsInOrder)
{
    connectLink();
    const int32_t addresses[] = {0xFDEA00, 0xFDEC00, 0xFDEE00, 0xFDF000, 0xFDF200};
    const int words[] = {82, 69, 83, 69, 84};
    for (int k = 0; k < 5; ++k)
        controller().setWord(addresses[k], words[k]);
    bool marker = false;
    EXPECT_EQ(session.e2Image.ReadResetMarker(marker), QString());
    EXPECT_TRUE(marker);
    ASSERT_EQ(controller().accessCount(), 5);
    EXPECT_EQ(controller().log[0].a, 0xFDEA);
    EXPECT_EQ(controller().log[0].b, 0);
    EXPECT_EQ(controller().log[4].a, 0xFDF2);
    EXPECT_EQ(session.ProgressPercent, 100);

    // any one word wrong, whichever and however, is no marker
    for (int k = 0; k < 5; ++k) {
        for (const int wrong : {0, words[k] + 1, words[k] - 1, words[k] + 0x100, -words[k], words[(k + 1) % 5]}) {
            if (wrong == words[k])
                continue;
            controller().setWord(addresses[k], wrong);
            marker = true;
            EXPECT_EQ(session.e2Image.ReadResetMarker(marker), QString());
            EXPECT_FALSE(marker) << "word " << k << " = " << wrong;
            controller().setWord(addresses[k], words[k]);
        }
    }
    EXPECT_EQ(session.e2Image.ReadResetMarker(marker), QString());
    EXPECT_TRUE(marker);
    EXPECT_EQ(session.ProgressPercent, 100); // never past 100

    // a failed third read: its text, the flag untouched, two steps of progress
    marker = true;
    session.ProgressPercent = 0;
    controller().log.clear();
    controller().failAt = 3;
    EXPECT_EQ(session.e2Image.ReadResetMarker(marker), "FAILED!");
    EXPECT_TRUE(marker);
    EXPECT_EQ(session.ProgressPercent, 40);
}

TEST_F(E2ImageTest, LoadCommandWritesLoadAsALongAtAddress1024)
{
    connectLink();
    EXPECT_EQ(session.e2Image.SendLoadCommand(), "0");
    ASSERT_EQ(controller().accessCount(), 1);
    EXPECT_EQ(controller().log[0].a, 1024);
    EXPECT_EQ(controller().log[0].t, 19);
    EXPECT_EQ(controller().log[0].value.toString(), "1145130828");
    EXPECT_EQ(controller().longs.value(1024), 1145130828);

    controller().failAt = 2;
    EXPECT_EQ(session.e2Image.SendLoadCommand(), "1");
}

TEST_F(E2ImageTest, MaskThatNoPageLiesWithinShowsFullProgress)
{
    connectLink();
    EXPECT_EQ(session.e2Image.ReadE2All(2), QString());
    ASSERT_FALSE(wait.calls.isEmpty());
    for (const auto &call : wait.calls)
        EXPECT_EQ(call.value, 100);
}

// Without a section count in the list nothing depends on one: every entry takes part.
TEST_F(TransferFixture, ListWithoutSectionCountTransfersEveryEntry)
{
    loadList({"A\t00\t10\t\tFirst\t1\t0\t11\t0\t10", "B\t00\t12\t\tSecond\t1\t3\t11\t0\t10"});
    connectLink();
    controller().setWord(0x10, 7);
    controller().setWord(0x12, 8);
    EXPECT_EQ(session.e2Image.ReadE2All(10), QString());
    EXPECT_EQ(var(1).QelValueE2, 7);
    EXPECT_EQ(var(2).QelValueE2, 8);
    EXPECT_TRUE(session.file.isSaved(2));
}

namespace {

// The shipped variable list against a controller holding every default.
class ShippedListTest : public TransferFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.catalogue.LoadRamList(Catalogue::defaultRamListPath()));
        session.e2Image.CountAllPageVars();
        for (int i = 1; i < session.catalogue.VarCount; ++i)
            controller().setWord(var(i).Address, var(i).QelValueDefault);
        connectLink();
    }

    int indexOf(const char *name)
    {
        for (int i = 1; i < session.catalogue.VarCount; ++i) {
            if (var(i).Name == QLatin1String(name))
                return i;
        }
        ADD_FAILURE() << name;
        return 0;
    }
};

} // namespace

TEST_F(ShippedListTest, ReadAllWithThreeSections)
{
    Catalogue &cat = session.catalogue;
    const int sections = cat.index(KRV_NUM_PROP_REG);
    const int iMin = cat.index(KRV_I0_MIN);
    const int week = cat.index(KRV_SERVICE_WEEK);
    controller().setWord(var(sections).Address, 3);
    controller().setWord(var(iMin).Address, var(iMin).QelValE2Max + 1);
    // a maximum of 65535 means none was declared: reset without a word
    var(week).QelValE2Max = 65535;
    controller().setWord(var(week).Address, -1);
    // section 3 holds values that would show if it were read
    QList<int> sectionThree;
    for (int i = 1; i < cat.VarCount; ++i) {
        if (var(i).TbxTypeID >= 3 && (var(i).KRVPageDomain & 10010) != 0) {
            sectionThree.append(i);
            controller().setWord(var(i).Address, var(i).QelValueDefault + 1);
        }
    }
    ASSERT_FALSE(sectionThree.isEmpty());

    const int16_t mask = session.e2Image.AllPagesMask();
    int selected = 0;
    for (int i = 1; i < cat.VarCount; ++i)
        selected += (var(i).KRVPageDomain & mask) != 0;

    EXPECT_EQ(session.e2Image.ReadE2All(mask), QString());
    EXPECT_EQ(var(sections).QelValueE2, 3);
    for (int i : sectionThree)
        EXPECT_EQ(var(i).QelValueE2, var(i).QelValueDefault) << var(i).Name.toStdString();
    EXPECT_EQ(controller().accessCount(), selected - sectionThree.size());
    // every selected entry is a step, skipped ones included, and the read ends at 100
    EXPECT_EQ(wait.calls.size(), selected + 1);
    EXPECT_EQ(wait.calls.last().value, 100);
    EXPECT_EQ(var(iMin).QelValueE2, var(iMin).QelValueDefault);
    EXPECT_EQ(var(week).QelValueE2, var(week).QelValueDefault);
    EXPECT_EQ(messages.lastText(), "READ FAULT:\r - " + var(iMin).Name + "\r");
}

TEST_F(ShippedListTest, WriteAllLeavesTheControllerHoldingTheDownloadValues)
{
    Catalogue &cat = session.catalogue;
    for (int i = 1; i < cat.VarCount; ++i)
        var(i).KrvDownloadValueE2 = var(i).QelValueDefault == var(i).QelValE2Min ? var(i).QelValE2Min + 1
                                                                                 : var(i).QelValE2Min;
    EXPECT_EQ(session.e2Image.WriteE2All(session.e2Image.AllPagesWriteMask()), QString());
    for (int i = 1; i < cat.VarCount; ++i) {
        const CVarDataS &d = var(i);
        const bool sent = (d.KRVPageDomain & 1) != 0 && (d.KRVPageDomain & 10011) == d.KRVPageDomain
                          && d.TbxTypeID < var(cat.index(KRV_NUM_PROP_REG)).QelValueE2;
        EXPECT_EQ(controller().word(d.Address), sent ? d.KrvDownloadValueE2 : d.QelValueDefault)
            << d.Name.toStdString();
    }
    EXPECT_EQ(session.ProgressPercent, 100);
}

namespace {

// The shipped list against krv-sim over a pseudo-terminal, through the real
// device-link component. A new simulator EEPROM holds every default. The
// parameter: whether the simulator takes block commands.
class TransferOverSim : public TransferFixture, public ::testing::WithParamInterface<bool>
{
protected:
    TransferOverSim() : TransferFixture(true), sim(SimProcess::withBlocks(GetParam())) {}

    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        ASSERT_TRUE(session.catalogue.LoadRamList(Catalogue::defaultRamListPath()));
        session.e2Image.CountAllPageVars();
        connectLink();
        ASSERT_EQ(session.devLink.takesBlocks(), GetParam());
    }

    int32_t controllerWord(int index)
    {
        int32_t v = -99999;
        EXPECT_EQ(session.rs232.ReadVar(var(index).Address, v), QString()) << var(index).Name.toStdString();
        return v;
    }

    void setControllerWord(int index, int32_t value)
    {
        ASSERT_EQ(session.rs232.WriteVar(var(index).Address, value), QString());
    }

    // Entries a read-all of the program's pages selects.
    QList<int> selectedEntries()
    {
        QList<int> out;
        const int16_t mask = session.e2Image.AllPagesMask();
        for (int i = 1; i < session.catalogue.VarCount; ++i) {
            if ((var(i).KRVPageDomain & mask) != 0)
                out.append(i);
        }
        return out;
    }

    SimProcess sim;
};

} // namespace

TEST_P(TransferOverSim, ReadAllWithThreeSectionsCorrectsAndListsOutOfRangeValues)
{
    Catalogue &cat = session.catalogue;
    const int sections = cat.index(KRV_NUM_PROP_REG);
    const int iMin = cat.index(KRV_I0_MIN);
    const int week = cat.index(KRV_SERVICE_WEEK);
    setControllerWord(sections, 3);
    setControllerWord(iMin, var(iMin).QelValE2Max + 1);
    setControllerWord(week, -1);
    var(week).QelValE2Max = 65535; // no declared maximum: reset silently
    // entries of section 3 keep a mark that a read would overwrite
    QList<int> sectionThree;
    for (int i : selectedEntries()) {
        if (var(i).TbxTypeID >= 3) {
            sectionThree.append(i);
            cat.entry(i)->ReadE2FromQEL(-7);
        }
    }
    ASSERT_FALSE(sectionThree.isEmpty());

    EXPECT_EQ(session.e2Image.ReadE2All(session.e2Image.AllPagesMask()), QString());
    EXPECT_EQ(var(sections).QelValueE2, 3);
    for (int i : std::as_const(sectionThree))
        EXPECT_EQ(var(i).QelValueE2, -7) << var(i).Name.toStdString();
    EXPECT_EQ(var(iMin).QelValueE2, var(iMin).QelValueDefault);
    EXPECT_EQ(var(week).QelValueE2, var(week).QelValueDefault);
    EXPECT_EQ(var(cat.index(KRV_PROG_VERS)).QelValueE2, controllerWord(cat.index(KRV_PROG_VERS)));
    EXPECT_EQ(messages.lastText(), "READ FAULT:\r - " + var(iMin).Name + "\r");
    // a step per entry, or per run of entries moved together
    if (GetParam())
        EXPECT_LT(wait.calls.size(), selectedEntries().size() / 2);
    else
        EXPECT_EQ(wait.calls.size(), selectedEntries().size() + 1);
    for (int k = 1; k < wait.calls.size(); ++k)
        EXPECT_GE(wait.calls[k].value, wait.calls[k - 1].value);
    EXPECT_EQ(wait.calls.last().value, 100);
}

TEST_P(TransferOverSim, ControllerFallingSilentStopsTheReadAtOnce)
{
    const QList<int> selected = selectedEntries();
    const int sections = session.catalogue.index(KRV_NUM_PROP_REG);
    const int32_t mark = -12345; // no controller word holds it
    for (int i : selected) {
        if (i != sections)
            session.catalogue.entry(i)->ReadE2FromQEL(mark);
    }
    const int steps = GetParam() ? 2 : 10;
    wait.onDraw = [&] {
        if (wait.calls.size() == steps)
            sim.set("silent", "1");
    };
    EXPECT_EQ(session.e2Image.ReadE2All(session.e2Image.AllPagesMask()), "FAILED!");
    // the next access failed: every entry holds what it held before the read
    ASSERT_EQ(wait.calls.size(), steps + 1);
    ASSERT_TRUE(session.e2Image.lastStop().has_value());
    const int done = session.e2Image.lastStop()->done;
    // a step per entry without blocks, per run of entries with them
    if (GetParam())
        EXPECT_GT(done, steps);
    else
        EXPECT_EQ(done, steps);
    for (int k = 0; k < selected.size(); ++k)
        EXPECT_EQ(var(selected[k]).QelValueE2, selected[k] == sections ? var(sections).QelValueDefault : mark) << k;
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(config.refreshes, 1);
    // a failed run stops the read at its first entry
    EXPECT_TRUE(session.StatusText.startsWith("Read stopped at " + var(selected[done]).Name + " ("))
        << session.StatusText.toStdString();
}

TEST_P(TransferOverSim, WriteAllLeavesExactlyTheDownloadValuesInTheController)
{
    Catalogue &cat = session.catalogue;
    for (int i = 1; i < cat.VarCount; ++i) {
        CVarDataS &d = var(i);
        d.KrvDownloadValueE2 = d.QelValueDefault == d.QelValE2Min ? d.QelValE2Min + 1 : d.QelValE2Min;
    }
    var(cat.index(KRV_NUM_PROP_REG)).KrvDownloadValueE2 = 3;
    EXPECT_EQ(session.e2Image.WriteE2All(session.e2Image.AllPagesWriteMask()), QString());

    // a power cycle keeps the EEPROM
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    connectLink();
    for (int i = 1; i < cat.VarCount; ++i) {
        const CVarDataS &d = var(i);
        const bool sent = (d.KRVPageDomain & 1) != 0 && (d.KRVPageDomain & 10011) == d.KRVPageDomain
                          && d.TbxTypeID < 3;
        if ((d.KRVPageDomain & 1) == 0)
            continue; // read-only and live values are the controller's own
        EXPECT_EQ(controllerWord(i), sent ? d.KrvDownloadValueE2 : d.QelValueDefault) << d.Name.toStdString();
        EXPECT_EQ(d.QelValueE2, sent ? d.KrvDownloadValueE2 : d.QelValueDefault) << d.Name.toStdString();
    }
}

TEST_P(TransferOverSim, LoadCommandRaisesTheResetMarkerUntilPowerCycle)
{
    const int iMin = session.catalogue.index(KRV_I0_MIN);
    bool marker = true;
    EXPECT_EQ(session.e2Image.ReadResetMarker(marker), QString());
    EXPECT_FALSE(marker);
    setControllerWord(iMin, 777);
    EXPECT_EQ(session.e2Image.SendLoadCommand(), "0");
    EXPECT_EQ(session.e2Image.ReadResetMarker(marker), QString());
    EXPECT_TRUE(marker);
    sim.powerCycle();
    EXPECT_EQ(session.e2Image.ReadResetMarker(marker), QString());
    EXPECT_FALSE(marker);
    EXPECT_EQ(controllerWord(iMin), var(iMin).QelValueDefault);
}

INSTANTIATE_TEST_SUITE_P(Modes, TransferOverSim, ::testing::Bool(), linkModeName);

TEST_F(E2ImageTest, HistoryRowsShowWhatChangedOnTheUnitAndHowEachWriteEnded)
{
    ServiceHistory store(folder.path(QStringLiteral("history.sqlite")));
    session.history.setStore(&store);
    session.history.setProgram(QStringLiteral("krvstudio"));
    controller().longs[KeyCommands::ProductionAddress] = 0x24150317;
    connectLink();
    ASSERT_EQ(session.e2Image.ReadE2All(session.e2Image.AllPagesMask()), QString());
    // values from a file: the catalogue now takes them for the unit's, the history must not
    var(3).KrvDownloadValueE2 = 250;
    session.catalogue.entry(3)->WriteE2inQEL();

    // the page's Write: one row for the value that changed, one for the command
    ASSERT_EQ(session.e2Image.WriteE2All(11), QString());
    QList<ServiceHistory::Row> rows = store.rows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].fields().mid(1), QStringList({"krvstudio", ServiceHistory::userName(), "COM 1", "0x24150317", "",
                                                    "Write", "", "", "5 of 5 entries", "", "done"}));
    EXPECT_EQ(rows[1].fields().mid(6), QStringList({"Write", "I0Min", "203", "250", "", "done"}));
    EXPECT_TRUE(QDateTime::fromString(rows[0].time, Qt::ISODateWithMs).isValid()) << rows[0].time.toStdString();

    // Write All failing at I2Min: that entry may or may not have arrived
    var(4).KrvDownloadValueE2 = 260;
    var(5).KrvDownloadValueE2 = 270;
    controller().failAt = controller().accessCount() + 3;
    EXPECT_EQ(session.e2Image.WriteE2All(session.e2Image.AllPagesWriteMask()), E2Image::Failed);
    rows = store.rows();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].fields().mid(6), QStringList({"Write All", "", "", "2 of 6 entries", "", "failed"}));
    EXPECT_EQ(rows[1].fields().mid(6), QStringList({"Write All", "I2Min", "204", "260", "", "failed"}));

    // stopped after three entries: the unit's I2Min was not known any more
    controller().failAt = 0;
    const int base = controller().accessCount();
    session.e2Image.setStopRequest([&] { return controller().accessCount() > base + 2; });
    EXPECT_EQ(session.e2Image.WriteE2All(11), E2Image::Failed);
    rows = store.rows();
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[0].fields().mid(6), QStringList({"Write", "", "", "3 of 5 entries", "", "stopped midway"}));
    EXPECT_EQ(rows[1].fields().mid(6), QStringList({"Write", "I2Min", "", "260", "", "done"}));
    session.e2Image.setStopRequest({});

    // a damaged file: the write reaches the unit, the user hears it once
    const QString damaged = folder.write(QStringLiteral("damaged.sqlite"), QByteArray(4096, '\x5a'));
    ServiceHistory bad(damaged);
    session.history.setStore(&bad);
    messages.shown.clear();
    var(5).KrvDownloadValueE2 = 280;
    EXPECT_EQ(session.e2Image.WriteE2All(11), QString());
    EXPECT_EQ(controller().word(0x108), 280);
    var(5).KrvDownloadValueE2 = 290;
    EXPECT_EQ(session.e2Image.WriteE2All(11), QString());
    EXPECT_EQ(controller().word(0x108), 290);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Service history is off: file is not a database (" + damaged
                                          + ").\rWrites go on without being recorded.");
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Warning);
    session.history.setStore(nullptr);
}
