// Faults on the line during whole-set transfers, through the real device-link
// component against krv-sim: damaged and lost bytes, replies later than the
// time-out, and the controller going away in the middle of a transfer. A
// transfer either succeeds with exactly the controller's values or stops with
// "FAILED!", leaving the entry that failed and every later one as it was; the
// link can always be opened again afterwards.
#include "simprocess.h"
#include "transferfixture.h"

#include <QElapsedTimer>
#include <QMap>
#include <QSet>
#include <functional>

namespace {

constexpr int32_t Mark = -12345; // no controller word holds it
constexpr int StopAfter = 10;    // entries transferred before the fault strikes

class LinkFaults : public TransferFixture
{
protected:
    LinkFaults() : TransferFixture(true) {}

    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        ASSERT_TRUE(session.catalogue.LoadRamList(Catalogue::defaultRamListPath()));
        session.e2Image.CountAllPageVars();
        connectLink();
        // two clean reads: what the controller holds, and which words are live
        ASSERT_EQ(readAll(), QString());
        const QMap<int, int32_t> first = values();
        ASSERT_EQ(readAll(), QString());
        reference = values();
        for (int i : reference.keys()) {
            if (first.value(i) != reference.value(i))
                live.insert(i);
        }
        ASSERT_LT(live.size(), reference.size() / 2);
        messages.shown.clear();
        wait.calls.clear();
    }

    QString readAll() { return session.e2Image.ReadE2All(session.e2Image.AllPagesMask()); }
    QString writeAll() { return session.e2Image.WriteE2All(session.e2Image.AllPagesWriteMask()); }

    // Entries a read-all of every page takes part in, in transfer order.
    QList<int> readEntries()
    {
        QList<int> out;
        const uint16_t mask = static_cast<uint16_t>(session.e2Image.AllPagesMask());
        for (int i = 1; i < session.catalogue.VarCount; ++i) {
            if ((static_cast<uint16_t>(var(i).KRVPageDomain) & mask) != 0)
                out.append(i);
        }
        return out;
    }

    // Entries a write-all of every page steps over, in transfer order.
    QList<int> writeEntries()
    {
        QList<int> out;
        const uint16_t mask = static_cast<uint16_t>(session.e2Image.AllPagesWriteMask());
        for (int i = 1; i < session.catalogue.VarCount; ++i) {
            const auto domain = static_cast<uint16_t>(var(i).KRVPageDomain);
            if ((domain & 1u) != 0 && (domain & mask) == domain)
                out.append(i);
        }
        return out;
    }

    QMap<int, int32_t> values()
    {
        QMap<int, int32_t> out;
        for (int i : readEntries())
            out.insert(i, var(i).QelValueE2);
        return out;
    }

    // Every read entry that takes part, except the section count, whose value
    // decides which entries take part.
    QList<int> markEntries()
    {
        QList<int> marked;
        const int sections = session.catalogue.index(KRV_NUM_PROP_REG);
        for (int i : readEntries()) {
            if (i != sections && var(i).TbxTypeID < var(sections).QelValueE2) {
                session.catalogue.entry(i)->ReadE2FromQEL(Mark);
                marked.append(i);
            }
        }
        return marked;
    }

    // After a read: an entry holds the controller's value or, from the failed
    // one on, is untouched. Returns how many entries were read.
    int expectReadOrUntouched(const QList<int> &marked, bool failed)
    {
        int read = 0;
        bool untouchedSeen = false;
        for (int i : marked) {
            const int32_t v = var(i).QelValueE2;
            if (v == Mark) {
                EXPECT_TRUE(failed) << var(i).Name.toStdString() << " not read by a read that succeeded";
                untouchedSeen = true;
                continue;
            }
            EXPECT_FALSE(untouchedSeen) << var(i).Name.toStdString() << " read after the read failed";
            if (!live.contains(i))
                EXPECT_EQ(v, reference.value(i)) << var(i).Name.toStdString();
            ++read;
        }
        return read;
    }

    // How many of the first `n` read entries are marked ones.
    int markedAmongFirst(const QList<int> &marked, int n)
    {
        int count = 0;
        for (int i : readEntries().mid(0, n))
            count += marked.contains(i) ? 1 : 0;
        return count;
    }

    // The link opens again and a whole read gives the controller's values.
    void expectReconnectAndCleanRead()
    {
        sim.clearSettings();
        ASSERT_TRUE(session.rs232.Connect());
        EXPECT_EQ(session.devLink.LinkState, "Open");
        const QList<int> marked = markEntries();
        ASSERT_EQ(readAll(), QString());
        EXPECT_EQ(expectReadOrUntouched(marked, false), marked.size());
    }

    // Runs `fault` once the wait window has shown `steps` steps.
    void faultAfter(int steps, std::function<void()> fault)
    {
        wait.onDraw = [this, steps, fault] {
            if (wait.calls.size() == steps)
                fault();
        };
    }

    SimProcess sim;
    QMap<int, int32_t> reference;
    QSet<int> live;
};

} // namespace

TEST_F(LinkFaults, DamagedAndLostBytesDuringReadAllNeverGiveAWrongValue)
{
    for (const char *rates : {"0.02", "0.08"}) {
        const QList<int> marked = markEntries();
        sim.set("corrupt-rate", rates);
        sim.set("drop-rate", rates);
        const QString result = readAll();
        ASSERT_TRUE(result.isEmpty() || result == "FAILED!") << result.toStdString();
        expectReadOrUntouched(marked, !result.isEmpty());
        EXPECT_TRUE(messages.shown.isEmpty()) << "no damaged value may show up as out of range";
        EXPECT_EQ(session.devLink.LinkState, "Open");
        sim.clearSettings();
    }
    expectReconnectAndCleanRead();
}

TEST_F(LinkFaults, DamagedRepliesDuringWriteAllLeaveExactlyTheSentValues)
{
    const QList<int> entries = writeEntries();
    for (int i : entries)
        var(i).KrvDownloadValueE2 = var(i).QelValueDefault == var(i).QelValE2Min ? var(i).QelValE2Min + 1
                                                                                    : var(i).QelValE2Min;
    var(session.catalogue.index(KRV_NUM_PROP_REG)).KrvDownloadValueE2 = reference.value(session.catalogue.index(KRV_NUM_PROP_REG));
    const QMap<int, int32_t> before = values();
    sim.set("corrupt-rate", "0.03");
    sim.set("drop-rate", "0.03");
    const QString result = writeAll();
    ASSERT_TRUE(result.isEmpty() || result == "FAILED!") << result.toStdString();
    sim.clearSettings();

    // the catalogue records as written only what the controller acknowledged
    bool failedSeen = false;
    for (int i : entries) {
        const CVarDataS &d = var(i);
        if (d.QelValueE2 != d.KrvDownloadValueE2) {
            EXPECT_EQ(d.QelValueE2, before.value(i, d.QelValueE2)) << d.Name.toStdString();
            failedSeen = true;
        } else {
            EXPECT_FALSE(failedSeen) << d.Name.toStdString() << " written after the write failed";
        }
    }
    EXPECT_EQ(failedSeen, !result.isEmpty());

    // the controller holds exactly what the catalogue says it holds
    ASSERT_TRUE(session.rs232.Connect());
    for (int i : entries) {
        int32_t word = Mark;
        ASSERT_EQ(session.rs232.ReadVar(var(i).Address, word), QString());
        if (var(i).QelValueE2 == var(i).KrvDownloadValueE2)
            EXPECT_EQ(word, var(i).KrvDownloadValueE2) << var(i).Name.toStdString();
    }
}

TEST_F(LinkFaults, ReplyLaterThanTheTimeOutStopsTheReadAndIsNeverTakenLater)
{
    const QList<int> marked = markEntries();
    faultAfter(StopAfter, [this] { sim.set("delay", "1300"); });
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(readAll(), "FAILED!");
    EXPECT_LT(t.elapsed(), 5000) << "one time-out, not one per entry";
    ASSERT_EQ(wait.calls.size(), StopAfter + 1);
    EXPECT_EQ(expectReadOrUntouched(marked, true), markedAmongFirst(marked, StopAfter));
    EXPECT_TRUE(messages.shown.isEmpty());
    // the late reply arrives while the next read waits: it must not answer it
    expectReconnectAndCleanRead();
}

TEST_F(LinkFaults, SimulatorKilledDuringReadAll)
{
    const QList<int> marked = markEntries();
    faultAfter(StopAfter, [this] { sim.stop(); });
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(readAll(), "FAILED!");
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(wait.calls.size(), StopAfter + 1) << "stops at the first failed entry";
    EXPECT_EQ(expectReadOrUntouched(marked, true), markedAmongFirst(marked, StopAfter));
    EXPECT_TRUE(messages.shown.isEmpty());

    // reads on the dead line fail without touching the value, and nothing hangs
    int32_t value = 7;
    EXPECT_EQ(session.rs232.ReadVar(var(marked.first()).Address, value), "FAILED!");
    EXPECT_EQ(value, 7);

    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    expectReconnectAndCleanRead();
}

TEST_F(LinkFaults, LineHungUpInTheMiddleOfAReplyDuringReadAll)
{
    const QList<int> marked = markEntries();
    sim.set("disconnect-after", "25");
    EXPECT_EQ(readAll(), "FAILED!");
    const int read = expectReadOrUntouched(marked, true);
    EXPECT_GE(read, 20);
    EXPECT_LE(read, 25);
    EXPECT_TRUE(sim.waitForExit(3000));
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    expectReconnectAndCleanRead();
}

TEST_F(LinkFaults, SimulatorKilledDuringWriteAll)
{
    const QList<int> entries = writeEntries();
    const int sections = session.catalogue.index(KRV_NUM_PROP_REG);
    QList<int> sent; // entries that take part, in order
    for (int i : entries) {
        CVarDataS &d = var(i);
        if (i == sections)
            d.KrvDownloadValueE2 = d.QelValueE2; // keep which entries qualify
        else
            d.KrvDownloadValueE2 = d.QelValueDefault == d.QelValE2Min ? d.QelValE2Min + 1 : d.QelValE2Min;
        if (d.TbxTypeID < var(sections).QelValueE2)
            sent.append(i);
    }
    ASSERT_GT(sent.size(), 2 * StopAfter);
    const QMap<int, int32_t> before = values();

    faultAfter(StopAfter, [this] { sim.stop(); });
    EXPECT_EQ(writeAll(), "FAILED!");
    ASSERT_GT(wait.calls.size(), StopAfter);
    EXPECT_TRUE(messages.shown.isEmpty());

    // entries before the failed one are recorded as written, the rest as they were
    const int failedAt = static_cast<int>(wait.calls.size()) - 1;
    EXPECT_TRUE(sent.contains(entries[failedAt]));
    for (int k = 0; k < entries.size(); ++k) {
        const CVarDataS &d = var(entries[k]);
        if (k < failedAt && sent.contains(entries[k]))
            EXPECT_EQ(d.QelValueE2, d.KrvDownloadValueE2) << d.Name.toStdString();
        else
            EXPECT_EQ(d.QelValueE2, before.value(entries[k], d.QelValueE2)) << d.Name.toStdString();
    }

    // after the power cycle the controller holds what the catalogue recorded
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    ASSERT_TRUE(session.rs232.Connect());
    for (int i : std::as_const(sent)) {
        int32_t word = Mark;
        ASSERT_EQ(session.rs232.ReadVar(var(i).Address, word), QString());
        EXPECT_EQ(word, var(i).QelValueE2) << var(i).Name.toStdString();
    }
    EXPECT_EQ(writeAll(), QString()) << "the write goes through on the new link";
}
