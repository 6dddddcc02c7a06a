// Faults on the line during whole-set transfers, through the real device-link
// component against krv-sim: damaged and lost bytes, replies later than the
// time-out, and the controller going away in the middle of a transfer. A read
// either succeeds with exactly the controller's values or stops with
// "FAILED!", leaving every entry as it was before it; a write records as
// written only what arrived; the link can always be opened again afterwards.
// Every case runs twice: with a controller that takes block commands (a run
// of entries a frame) and with one that does not (an entry a frame).
#include "linkmodes.h"
#include "faultrecord.h"
#include "simprocess.h"
#include "transferfixture.h"

#include <QElapsedTimer>
#include <QMap>
#include <QSet>
#include <functional>

namespace {

constexpr int32_t Mark = -12345; // no controller word holds it

class LinkFaults : public TransferFixture, public ::testing::WithParamInterface<bool>
{
protected:
    LinkFaults() : TransferFixture(true), sim(SimProcess::withBlocks(GetParam())) {}

    bool blocks() const { return GetParam(); }
    // Steps of the wait window (entries, or runs of entries) before the fault strikes.
    int stopAfter() const { return blocks() ? 2 : 10; }

    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        ASSERT_TRUE(session.catalogue.LoadRamList(Catalogue::defaultRamListPath()));
        session.e2Image.CountAllPageVars();
        connectLink();
        ASSERT_EQ(session.devLink.takesBlocks(), blocks());
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

    // After a read: every entry holds the controller's value when it
    // succeeded, and what it held before when it failed. Returns how many
    // entries the failed read had read before it stopped (all after a success).
    int expectReadOrUntouched(const QList<int> &marked, bool failed)
    {
        for (int i : marked) {
            const int32_t v = var(i).QelValueE2;
            if (failed) {
                EXPECT_EQ(v, Mark) << var(i).Name.toStdString() << " kept a value of the failed read";
                keptFromFailedRead += v != Mark ? 1 : 0;
                continue;
            }
            EXPECT_NE(v, Mark) << var(i).Name.toStdString() << " not read by a read that succeeded";
            if (!live.contains(i)) {
                EXPECT_EQ(v, reference.value(i)) << var(i).Name.toStdString();
                wrong += v != reference.value(i) ? 1 : 0;
            }
        }
        if (!failed)
            return static_cast<int>(marked.size());
        const auto &stop = session.e2Image.lastStop();
        EXPECT_TRUE(stop.has_value());
        return stop ? stop->done : -1;
    }

    // How many of the first `n` entries a read-all steps over it reads.
    int readAmongFirst(int n)
    {
        int count = 0;
        for (int i : readEntries().mid(0, n))
            count += session.e2Image.qualifiesForTransfer(i) ? 1 : 0;
        return count;
    }

    // Where in `entries` the last transfer stopped (-1: it did not). Without
    // blocks every entry is a step of its own, so that is where the steps end.
    int stoppedAt(const QList<int> &entries)
    {
        const auto &stop = session.e2Image.lastStop();
        int at = -1;
        for (int k = 0; stop && k < entries.size() && at < 0; ++k)
            at = var(entries[k]).Name == stop->name ? k : -1;
        if (!blocks()) {
            EXPECT_EQ(at, static_cast<int>(wait.calls.size()) - 1);
        }
        return at;
    }

    // The link opens again and a whole read gives the controller's values.
    void expectReconnectAndCleanRead()
    {
        sim.clearSettings();
        ASSERT_TRUE(session.rs232.Connect());
        EXPECT_EQ(session.devLink.LinkState, DevLink::State::Open);
        const QList<int> marked = markEntries();
        const QString result = readAll();
        ASSERT_EQ(result, QString());
        const int read = expectReadOrUntouched(marked, false);
        EXPECT_EQ(read, marked.size());
        reconnected = QStringLiteral("link opened again, read-all %1, %2 of %3 entries read")
                          .arg(result.isEmpty() ? QStringLiteral("complete") : quoted(result))
                          .arg(read)
                          .arg(marked.size());
    }

    // What a failed read left behind, for the fault table.
    QString readOutcome(const QString &result, int read, int marked) const
    {
        return QStringLiteral("read-all %1 after %2 of %3 entries, %4 kept from the failed read, %5 wrong value(s), "
                              "%6 message box(es); %7")
            .arg(quoted(result))
            .arg(read)
            .arg(marked)
            .arg(keptFromFailedRead)
            .arg(wrong)
            .arg(messages.shown.size())
            .arg(reconnected);
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
    int wrong = 0;             // entries that took a value the controller does not hold
    int keptFromFailedRead = 0; // entries left with a value of a read that failed
    QString reconnected;       // what expectReconnectAndCleanRead saw
};

} // namespace

TEST_P(LinkFaults, DamagedAndLostBytesDuringReadAllNeverGiveAWrongValue)
{
    QStringList seen;
    for (const char *rates : {"0.02", "0.08"}) {
        const QList<int> marked = markEntries();
        sim.set("corrupt-rate", rates);
        sim.set("drop-rate", rates);
        const QString result = readAll();
        ASSERT_TRUE(result.isEmpty() || result == "FAILED!") << result.toStdString();
        const int read = expectReadOrUntouched(marked, !result.isEmpty());
        EXPECT_TRUE(messages.shown.isEmpty()) << "no damaged value may show up as out of range";
        EXPECT_EQ(session.devLink.LinkState, DevLink::State::Open);
        sim.clearSettings();
        seen << QStringLiteral("at %1: read-all %2, %3 of %4 entries read")
                    .arg(QLatin1String(rates))
                    .arg(result.isEmpty() ? QStringLiteral("complete") : quoted(result))
                    .arg(read)
                    .arg(marked.size());
    }
    expectReconnectAndCleanRead();
    recordFault(QStringLiteral("damaged and lost bytes during read-all"),
                seen.join(QStringLiteral("; ")) + QStringLiteral("; %1 wrong value(s), %2 message box(es); %3")
                                                      .arg(wrong)
                                                      .arg(messages.shown.size())
                                                      .arg(reconnected));
}

TEST_P(LinkFaults, DamagedRepliesDuringWriteAllLeaveExactlyTheSentValues)
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
    int recorded = 0;
    int differ = 0;
    for (int i : entries) {
        int32_t word = Mark;
        ASSERT_EQ(session.rs232.ReadVar(var(i).Address, word), QString());
        if (var(i).QelValueE2 == var(i).KrvDownloadValueE2) {
            EXPECT_EQ(word, var(i).KrvDownloadValueE2) << var(i).Name.toStdString();
            ++recorded;
            differ += word != var(i).KrvDownloadValueE2 ? 1 : 0;
        }
    }
    recordFault(QStringLiteral("damaged and lost bytes during write-all"),
                QStringLiteral("write-all %1; %2 entries recorded as written, %3 of them differ in the controller")
                    .arg(result.isEmpty() ? QStringLiteral("complete") : quoted(result))
                    .arg(recorded)
                    .arg(differ));
}

TEST_P(LinkFaults, ReplyLaterThanTheTimeOutStopsTheReadAndIsNeverTakenLater)
{
    const QList<int> marked = markEntries();
    faultAfter(stopAfter(), [this] { sim.set("delay", "1300"); });
    QElapsedTimer t;
    t.start();
    const QString result = readAll();
    EXPECT_EQ(result, "FAILED!");
    const qint64 took = t.elapsed();
    EXPECT_LT(took, 5000) << "one time-out, not one per entry";
    ASSERT_EQ(wait.calls.size(), stopAfter() + 1);
    const int read = expectReadOrUntouched(marked, true);
    EXPECT_EQ(read, readAmongFirst(stoppedAt(readEntries())));
    EXPECT_TRUE(messages.shown.isEmpty());
    // the late reply arrives while the next read waits: it must not answer it
    expectReconnectAndCleanRead();
    recordFault(QStringLiteral("replies later than the time-out during read-all"),
                QStringLiteral("gave up after %1 ms; ").arg(took) + readOutcome(result, read, marked.size()));
}

TEST_P(LinkFaults, SimulatorKilledDuringReadAll)
{
    const QList<int> marked = markEntries();
    faultAfter(stopAfter(), [this] { sim.stop(); });
    QElapsedTimer t;
    t.start();
    const QString result = readAll();
    EXPECT_EQ(result, "FAILED!");
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(wait.calls.size(), stopAfter() + 1) << "stops at the first failed access";
    const int read = expectReadOrUntouched(marked, true);
    EXPECT_EQ(read, readAmongFirst(stoppedAt(readEntries())));
    EXPECT_TRUE(messages.shown.isEmpty());

    // reads on the dead line fail without touching the value, and nothing hangs
    int32_t value = 7;
    EXPECT_EQ(session.rs232.ReadVar(var(marked.first()).Address, value), "FAILED!");
    EXPECT_EQ(value, 7);

    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    expectReconnectAndCleanRead();
    recordFault(QStringLiteral("controller killed during read-all"), readOutcome(result, read, marked.size()));
}

TEST_P(LinkFaults, LineHungUpInTheMiddleOfAReplyDuringReadAll)
{
    const QList<int> marked = markEntries();
    // answers so many more accesses, cuts the next reply and hangs up
    const int answered = blocks() ? 2 : 25;
    sim.set("disconnect-after", QString::number(answered));
    const QString result = readAll();
    EXPECT_EQ(result, "FAILED!");
    const int read = expectReadOrUntouched(marked, true);
    EXPECT_EQ(read, readAmongFirst(stoppedAt(readEntries())));
    if (blocks()) {
        EXPECT_GT(read, answered) << "whole runs were read before the cut";
        EXPECT_LT(read, marked.size());
    } else {
        EXPECT_GE(read, answered - 5);
        EXPECT_LE(read, answered);
    }
    EXPECT_TRUE(sim.waitForExit(3000));
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    expectReconnectAndCleanRead();
    recordFault(QStringLiteral("line hung up in the middle of a reply during read-all"),
                readOutcome(result, read, marked.size()));
}

TEST_P(LinkFaults, SimulatorKilledDuringWriteAll)
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
    ASSERT_GT(sent.size(), 20);
    const QMap<int, int32_t> before = values();

    faultAfter(stopAfter(), [this] { sim.stop(); });
    const QString result = writeAll();
    EXPECT_EQ(result, "FAILED!");
    ASSERT_GT(wait.calls.size(), stopAfter());
    EXPECT_TRUE(messages.shown.isEmpty());

    // entries before the failed one are recorded as written, the rest as they were
    const int failedAt = stoppedAt(entries);
    ASSERT_GE(failedAt, stopAfter());
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
    int differ = 0;
    for (int i : std::as_const(sent)) {
        int32_t word = Mark;
        ASSERT_EQ(session.rs232.ReadVar(var(i).Address, word), QString());
        EXPECT_EQ(word, var(i).QelValueE2) << var(i).Name.toStdString();
        differ += word != var(i).QelValueE2 ? 1 : 0;
    }
    const QString again = writeAll();
    EXPECT_EQ(again, QString()) << "the write goes through on the new link";
    recordFault(QStringLiteral("controller killed during write-all"),
                QStringLiteral("write-all %1 at entry %2 of %3, %4 message box(es); after restart %5 of %6 sent "
                               "entries differ from what the catalogue recorded; write-all on the new link %7")
                    .arg(quoted(result))
                    .arg(failedAt + 1)
                    .arg(entries.size())
                    .arg(messages.shown.size())
                    .arg(differ)
                    .arg(sent.size())
                    .arg(again.isEmpty() ? QStringLiteral("complete") : quoted(again)));
}

INSTANTIATE_TEST_SUITE_P(Modes, LinkFaults, ::testing::Bool(), linkModeName);
