// krvctl against krv-sim: every command through the real device link.
#include "csvtext.h"
#include "krvctl.h"
#include "servicehistory.h"
#include "simprocess.h"
#include "tempfile.h"
#include "transferfixture.h"
#include "trendrecorder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The real component with one fault: word writes to one address are
// acknowledged but never stored, as a unit that does not take a value.
class DroppingFactory : public IDeviceLinkFactory
{
public:
    int32_t dropAddress = -1;

    std::unique_ptr<IDeviceLinkManager> create(const QString &progId) override
    {
        auto inner = m_components.create(progId);
        return inner ? std::make_unique<Manager>(std::move(inner), this) : nullptr;
    }

private:
    class Link : public IDeviceLink
    {
    public:
        Link(std::shared_ptr<IDeviceLink> inner, const DroppingFactory *owner) : m_inner(std::move(inner)), m_owner(owner) {}
        bool readPar(int32_t a, int32_t b, int16_t t, double &value) override { return m_inner->readPar(a, b, t, value); }
        bool writePar(int32_t a, int32_t b, int16_t t, const QVariant &value) override
        {
            if (t == 3 && a * 256 + b == m_owner->dropAddress)
                return true;
            return m_inner->writePar(a, b, t, value);
        }
        void setTimeout(int ms) override { m_inner->setTimeout(ms); }
        int timeout() const override { return m_inner->timeout(); }
        void ErrTimeOut() override { m_inner->ErrTimeOut(); }
        LinkFault lastFault() const override { return m_inner->lastFault(); }

    private:
        std::shared_ptr<IDeviceLink> m_inner;
        const DroppingFactory *m_owner;
    };
    class Manager : public IDeviceLinkManager
    {
    public:
        Manager(std::unique_ptr<IDeviceLinkManager> inner, const DroppingFactory *owner) : m_inner(std::move(inner)), m_owner(owner) {}
        bool Open(const QString &connection, QString *error) override { return m_inner->Open(connection, error); }
        std::shared_ptr<IDeviceLink> DeviceLink_AddRef() override
        {
            auto link = m_inner->DeviceLink_AddRef();
            return link ? std::make_shared<Link>(link, m_owner) : nullptr;
        }

    private:
        std::unique_ptr<IDeviceLinkManager> m_inner;
        const DroppingFactory *m_owner;
    };
    ComponentFactory m_components;
};

class KrvctlTest : public TransferFixture
{
protected:
    // every krvctl of the test, in this process or started, keeps its history here
    KrvctlTest() : TransferFixture(true), m_dataHome(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder.path(QStringLiteral("data"))));
    }
    ~KrvctlTest() override { qputenv("XDG_DATA_HOME", m_dataHome); }

    void SetUp() override { ASSERT_TRUE(sim.start()) << sim.errorText().toStdString(); }

    // One krvctl run; its standard output and error are kept.
    int run(QStringList args)
    {
        outText.clear();
        errText.clear();
        QTextStream out(&outText);
        QTextStream err(&errText);
        Krvctl ctl(&links, out, err);
        ctl.setRamListPath(ramList);
        args.prepend(QStringLiteral("krvctl"));
        return ctl.run(args);
    }
    static QByteArray readBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeBytes(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The value line of the given address with a new value.
    static QByteArray withValue(QByteArray file, const QByteArray &address, const QByteArray &value)
    {
        const int at = file.indexOf('\t' + address + '\t');
        EXPECT_GE(at, 0) << address.constData();
        const int start = at + address.size() + 2;
        file.replace(start, file.indexOf('\r', start) - start, value);
        return file;
    }
    QString path(const char *name) const { return folder.path(QLatin1String(name)); }

    // A configuration with a new value for every entry a write-all sends (the
    // section count kept); returns those entries in the order they go out.
    QList<int> writeChangedFile(const QString &file)
    {
        EXPECT_TRUE(session.catalogue.LoadRamList(Catalogue::defaultRamListPath()));
        session.e2Image.CountAllPageVars();
        const int16_t mask = session.e2Image.AllPagesWriteMask();
        const int sections = session.catalogue.index(KRV_NUM_PROP_REG);
        QList<int> sent;
        for (int i = 1; i < session.catalogue.VarCount; ++i) {
            if (!session.e2Image.writeSelects(mask, i) || !session.e2Image.qualifiesForTransfer(i))
                continue;
            CVarDataS &d = var(i);
            if (i != sections)
                d.KrvDownloadValueE2 = d.QelValueDefault == d.QelValE2Min ? d.QelValE2Min + 1 : d.QelValE2Min;
            sent.append(i);
        }
        EXPECT_TRUE(session.file.SaveConfig(file));
        return sent;
    }

    // Requests the read that comes before a write takes: those of one read.
    long readRequests()
    {
        SimProcess::Counts before;
        SimProcess::Counts after;
        EXPECT_TRUE(sim.counts(before));
        EXPECT_EQ(run({"read", "--port", "1", "-o", path("unit.txt")}), Krvctl::Success) << errText.toStdString();
        EXPECT_TRUE(sim.counts(after));
        return after.requests - before.requests;
    }

    // After a write that stopped at the entry named in `stop` (captured: name,
    // done, total): the unit holds the new value of every entry sent before it
    // and its old value (the default) from it on. The entry it stopped at is
    // left out when its reply was cut: it may have arrived.
    void expectUnitHoldsTheMix(const QList<int> &sent, const QRegularExpressionMatch &stop, bool lastMayHaveArrived)
    {
        ASSERT_TRUE(stop.hasMatch()) << errText.toStdString();
        int at = -1;
        for (int k = 0; k < sent.size(); ++k)
            at = at < 0 && var(sent[k]).Name == stop.captured(1) ? k : at;
        EXPECT_EQ(at, stop.captured(2).toInt()) << "the named entry is the first not written";
        EXPECT_EQ(stop.captured(3).toInt(), sent.size());
        connectLink();
        int wrong = 0;
        for (int k = 0; k < sent.size(); ++k) {
            if (k == at && lastMayHaveArrived)
                continue;
            const CVarDataS &d = var(sent[k]);
            int32_t word = 0;
            ASSERT_EQ(session.rs232.ReadVar(d.Address, word), QString());
            const int32_t expected = k < at ? d.KrvDownloadValueE2 : d.QelValueDefault;
            EXPECT_EQ(uint16_t(word), uint16_t(expected)) << d.Name.toStdString() << (k < at ? " new" : " old");
            wrong += uint16_t(word) != uint16_t(expected) ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0);
    }

    // The rows `krvctl history --csv` prints, split into fields (a value with
    // a comma would need the CSV reader; none of these has one).
    QList<QStringList> historyRows(const QStringList &options = {})
    {
        EXPECT_EQ(run(QStringList{QStringLiteral("history"), QStringLiteral("--csv")} + options), Krvctl::Success)
            << errText.toStdString();
        QStringList lines = outText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.value(0), CsvText::row(ServiceHistory::titles()));
        QList<QStringList> rows;
        for (const QString &line : lines.mid(1))
            rows.append(line.split(QLatin1Char(',')));
        return rows;
    }

    QByteArray m_dataHome;
    SimProcess sim;
    DroppingFactory links;
    QString ramList;
    QString outText;
    QString errText;
};

const QRegularExpression WriteStopped(QStringLiteral(
    "krvctl: Write stopped at (\\S+) \\((\\d+) of (\\d+) written\\): the control unit now holds a mix of old and new values\\.\n"));

TEST_F(KrvctlTest, ReadSavesTheSameBytesAsTheProgram)
{
    // the program: connect, read all, save with an empty comment block
    ASSERT_TRUE(session.catalogue.LoadRamList(Catalogue::defaultRamListPath()));
    session.e2Image.CountAllPageVars();
    connectLink();
    ASSERT_EQ(session.e2Image.ReadE2All(session.e2Image.AllPagesMask()), QString());
    ASSERT_TRUE(session.file.SaveConfig(path("studio.txt")));
    session.rs232.Disconnect();

    EXPECT_EQ(run({"read", "--port", "1", "-o", path("ctl.txt")}), Krvctl::Success) << errText.toStdString();
    const QByteArray bytes = readBytes(path("ctl.txt"));
    EXPECT_GT(bytes.count('\r'), 20);
    EXPECT_EQ(bytes, readBytes(path("studio.txt")));

    // a device path reaches the same unit; the comment fields land in the block
    EXPECT_EQ(run({"read", "--port", sim.devicePath(), "-o", path("dev.txt"), "--author", "Line 3"}), Krvctl::Success);
    const QByteArray withAuthor = readBytes(path("dev.txt"));
    EXPECT_TRUE(withAuthor.contains("Author:\tLine 3\t\r"));
    EXPECT_EQ(withAuthor.mid(withAuthor.indexOf("Variable Name")), bytes.mid(bytes.indexOf("Variable Name")));
}

TEST_F(KrvctlTest, WriteVerifyCatchesAValueTheUnitDidNotTake)
{
    ASSERT_EQ(run({"read", "--port", "1", "-o", path("unit.txt")}), Krvctl::Success);
    // change two values within their ranges: digital inputs and on/off sections
    QByteArray changed = withValue(readBytes(path("unit.txt")), "0020.06", "00003");
    changed = withValue(changed, "0020.04", "00001");
    writeBytes(path("changed.txt"), changed);

    links.dropAddress = 0x2004;
    EXPECT_EQ(run({"write", "--port", "1", path("changed.txt"), "--verify"}), Krvctl::Different);
    EXPECT_TRUE(outText.startsWith(QStringLiteral("NUM_ONOFF_SECTIONS\twritten 1"))) << outText.toStdString();
    EXPECT_EQ(outText.count(QLatin1Char('\n')), 1);

    // without the fault every value arrives, and compare agrees afterwards
    links.dropAddress = -1;
    EXPECT_EQ(run({"write", "--port", "1", path("changed.txt"), "--verify"}), Krvctl::Success) << outText.toStdString();
    EXPECT_EQ(run({"compare", "--port", "1", path("changed.txt")}), Krvctl::Success) << outText.toStdString();
}

TEST_F(KrvctlTest, WriteAndCompareTakeAFileWholeOrNotAtAll)
{
    ASSERT_EQ(run({"read", "--port", "1", "-o", path("unit.txt")}), Krvctl::Success);
    const QByteArray unit = readBytes(path("unit.txt"));
    const int sectionsLine = int(unit.left(unit.indexOf("\t0020.02\t")).count('\r')) + 1;

    // a value the unit would take, then a line the catalogue does not have: the
    // port is not even opened, and compare names the same line
    const QByteArray unknown = withValue(unit, "0020.04", "00001").replace("\t0020.02\t", "\t00FF.FE\t");
    writeBytes(path("unknown.txt"), unknown);
    const QString reason = QStringLiteral("line %1: 'Number of proportional sections (1 to 4: TBX 100 to TBX 400)' "
                                          "(address 00FF.FE) is not in the variable list").arg(sectionsLine);
    EXPECT_EQ(run({"write", "--port", "1", path("unknown.txt")}), Krvctl::BadFile);
    EXPECT_EQ(errText, "krvctl: " + path("unknown.txt") + ": " + reason + "; nothing written\n");
    EXPECT_EQ(run({"compare", path("unit.txt"), path("unknown.txt")}), Krvctl::BadFile);
    EXPECT_EQ(errText, "krvctl: " + path("unknown.txt") + ": " + reason + "\n");
    EXPECT_TRUE(outText.isEmpty());

    // cut inside the last value
    writeBytes(path("cut.txt"), unit.left(unit.lastIndexOf("\r\r\n") - 2));
    EXPECT_EQ(run({"write", "--port", "1", path("cut.txt")}), Krvctl::BadFile);
    EXPECT_TRUE(errText.contains(QStringLiteral("the file ends inside this line (cut off); nothing written")))
        << errText.toStdString();
    EXPECT_EQ(run({"compare", "--port", "1", path("cut.txt")}), Krvctl::BadFile);

    // a section count of 9 is out of its range 1..4
    writeBytes(path("range.txt"), withValue(withValue(unit, "0020.04", "00001"), "0020.02", "00009"));
    EXPECT_EQ(run({"write", "--port", "1", path("range.txt")}), Krvctl::OutOfRange);
    EXPECT_EQ(run({"compare", "--port", "1", path("unit.txt")}), Krvctl::Success) << outText.toStdString();

    // nothing but a regular file of at most 16 MB is read: no endless device, no pipe without a writer
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    for (const QString &file : {QStringLiteral("/dev/zero"), path("fifo")}) {
        EXPECT_EQ(run({"compare", path("unit.txt"), file}), Krvctl::FileError);
        EXPECT_EQ(errText, "krvctl: " + file + ": not a regular file\n");
        EXPECT_EQ(run({"write", "--port", "1", file}), Krvctl::FileError);
    }
    EXPECT_EQ(run({"write", "--port", "1", path("missing.txt")}), Krvctl::FileError);
}

TEST_F(KrvctlTest, CompareListsDifferencesByNameAndSide)
{
    ASSERT_EQ(run({"read", "--port", "1", "-o", path("a.txt")}), Krvctl::Success);
    const QByteArray a = readBytes(path("a.txt"));
    EXPECT_EQ(run({"compare", path("a.txt"), path("a.txt")}), Krvctl::Success);

    // one value changed, one line removed
    QByteArray b = withValue(a, "0020.04", "00002");
    const int line = b.indexOf("\t0020.06\t");
    const int start = b.lastIndexOf('\r', line) + 1;
    b.remove(start, b.indexOf('\r', line) + 1 - start);
    writeBytes(path("b.txt"), b);
    EXPECT_EQ(run({"compare", path("a.txt"), path("b.txt")}), Krvctl::Different);
    const QStringList lines = outText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << outText.toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("NUM_ONOFF_SECTIONS\t0\t2"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("NUM_DIGITAL_INPUTS\t")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("\t(missing)")));
    EXPECT_EQ(errText.trimmed(), QStringLiteral("2 differences"));

    // the unit against the changed file, and the usage and file errors
    EXPECT_EQ(run({"compare", "--port", "1", path("b.txt")}), Krvctl::Different);
    // a value the range check would replace is compared as the unit holds it
    ASSERT_EQ(run({"poke", "--port", "1", "0x2004", "9", "--yes"}), Krvctl::Success);
    EXPECT_EQ(run({"compare", "--port", "1", path("a.txt")}), Krvctl::Different);
    EXPECT_EQ(outText, "Variable\tunit\t" + path("a.txt") + "\nNUM_ONOFF_SECTIONS\t9 (out of range)\t0\n");
    EXPECT_EQ(errText.trimmed(), QStringLiteral("1 difference"));
    EXPECT_EQ(run({"compare", path("a.txt"), path("none.txt")}), Krvctl::FileError);
    EXPECT_EQ(run({"compare", path("a.txt")}), Krvctl::UsageError);
    EXPECT_EQ(run({"compare", "--port", "1", path("a.txt"), path("b.txt")}), Krvctl::UsageError);
}

TEST_F(KrvctlTest, PortAndAnswerFailuresHaveTheirOwnCodesAndCauses)
{
    // a port given by its path is called by it, with the cause
    EXPECT_EQ(run({"read", "--port", path("nodevice"), "-o", path("x.txt")}), Krvctl::NoSuchPort);
    EXPECT_EQ(errText, QStringLiteral("krvctl: Can't Open %1: no such device\n").arg(path("nodevice")));
    writeBytes(path("plain.txt"), "not a terminal");
    EXPECT_EQ(run({"peek", "--port", path("plain.txt"), "0x2002"}), Krvctl::NoSuchPort);
    EXPECT_EQ(errText, QStringLiteral("krvctl: Can't Open %1: not a serial port\n").arg(path("plain.txt")));
    if (::geteuid() != 0) {   // root opens any file whatever its permissions
        ASSERT_TRUE(QFile::setPermissions(path("plain.txt"), QFileDevice::WriteOwner));
        EXPECT_EQ(run({"peek", "--port", path("plain.txt"), "0x2002"}), Krvctl::NoSuchPort);
        EXPECT_TRUE(errText.contains(QStringLiteral(": permission denied (the user needs the dialout group)")))
            << errText.toStdString();
    }
    // the program holds the unit's port: krvctl may not talk over it
    connectLink();
    EXPECT_EQ(run({"peek", "--port", sim.devicePath(), "0x2002"}), Krvctl::NoSuchPort);
    EXPECT_EQ(errText, QStringLiteral("krvctl: Can't Open %1: in use by another program\n").arg(sim.devicePath()));
    session.rs232.Disconnect();
    // a COM number names the device it stands for
    qputenv("KRV_COM7", QFile::encodeName(path("nodevice")));
    EXPECT_EQ(run({"peek", "--port", "7", "0x2002"}), Krvctl::NoSuchPort);
    EXPECT_EQ(errText, QStringLiteral("krvctl: Can't Open COM 7: no such device (%1)\n").arg(path("nodevice")));
    qunsetenv("KRV_COM7");

    sim.set(QStringLiteral("silent"), QStringLiteral("1"));
    EXPECT_EQ(run({"peek", "--port", "1", "0x2002"}), Krvctl::NoAnswer);
    EXPECT_EQ(errText, QStringLiteral("krvctl: cannot read 0020.02: no answer from the control unit\n"));
    EXPECT_FALSE(QFile::exists(path("x.txt")));
    EXPECT_EQ(run({"read", "--port", "1"}), Krvctl::UsageError);
    EXPECT_EQ(run({"frobnicate"}), Krvctl::UsageError);
}

TEST_F(KrvctlTest, RefusalsOfTheControlUnitAreNamedAndChangeNothing)
{
    // the software version is read-only, the supply a measured live value
    EXPECT_EQ(run({"poke", "--port", "1", "0020.00", "1", "--yes"}), Krvctl::Refused);
    EXPECT_EQ(errText, QStringLiteral("krvctl: cannot write 0020.00: refused by the control unit: read-only address\n"));
    EXPECT_EQ(run({"poke", "--port", "1", "0040.30", "1", "--yes"}), Krvctl::Refused);
    EXPECT_TRUE(errText.endsWith(QStringLiteral("read-only address\n"))) << errText.toStdString();
    EXPECT_EQ(run({"peek", "--port", "1", "1234.56"}), Krvctl::Refused);
    EXPECT_EQ(errText, QStringLiteral("krvctl: cannot read 1234.56: refused by the control unit: no such address\n"));

    // an EEPROM that cannot be written refuses the word and the LOAD command
    ASSERT_EQ(run({"poke", "--port", "1", "0020.04", "2", "--yes"}), Krvctl::Success) << errText.toStdString();
    ASSERT_TRUE(QFile::remove(sim.eepromPath()));
    ASSERT_TRUE(QDir().mkdir(sim.eepromPath()));
    EXPECT_EQ(run({"poke", "--port", "1", "0020.04", "3", "--yes"}), Krvctl::Refused);
    EXPECT_EQ(errText, QStringLiteral("krvctl: cannot write 0020.04: refused by the control unit: value refused\n"));
    EXPECT_EQ(run({"reset", "--port", "1", "--yes"}), Krvctl::Refused);
    EXPECT_TRUE(errText.endsWith(QStringLiteral("the LOAD command failed: refused by the control unit: value refused\n")))
        << errText.toStdString();
    EXPECT_EQ(run({"peek", "--port", "1", "0020.04"}), Krvctl::Success);
    EXPECT_EQ(outText, QStringLiteral("2\t0x0002\n")) << "neither the word nor the defaults were taken";
    EXPECT_EQ(run({"peek", "--port", "1", "FDEA.00"}), Krvctl::Success);
    EXPECT_EQ(outText, QStringLiteral("0\t0x0000\n")) << "no reset marker";
    ASSERT_TRUE(QDir().rmdir(sim.eepromPath()));
}

TEST_F(KrvctlTest, PeekPokeAndResetNeedConfirmationToChangeTheUnit)
{
    EXPECT_EQ(run({"peek", "--port", "1", "0020.02"}), Krvctl::Success);
    EXPECT_EQ(outText, QStringLiteral("4\t0x0004\n"));
    EXPECT_EQ(run({"poke", "--port", "1", "0x2004", "2"}), Krvctl::NotConfirmed);
    EXPECT_EQ(run({"poke", "--port", "1", "0x2004", "70000", "--yes"}), Krvctl::OutOfRange);
    EXPECT_EQ(run({"poke", "--port", "1", "&H2004", "-1", "--yes"}), Krvctl::Success) << errText.toStdString();
    EXPECT_EQ(run({"peek", "--port", "1", "8196"}), Krvctl::Success);
    EXPECT_EQ(outText, QStringLiteral("-1\t0xFFFF\n"));
    EXPECT_EQ(run({"poke", "--port", "1", "&H2004", "2", "--yes"}), Krvctl::Success);
    EXPECT_EQ(run({"peek", "--port", "1", "8196"}), Krvctl::Success);
    EXPECT_EQ(outText, QStringLiteral("2\t0x0002\n"));
    EXPECT_EQ(run({"peek", "--port", "1", "zz"}), Krvctl::UsageError);

    EXPECT_EQ(run({"reset", "--port", "1"}), Krvctl::NotConfirmed);
    EXPECT_EQ(run({"reset", "--port", "1", "--yes"}), Krvctl::Success);
    EXPECT_TRUE(errText.contains(QStringLiteral("Switch OFF and then switch ON power supply!")));
}

TEST_F(KrvctlTest, KeyWriteReadAndLock)
{
    EXPECT_EQ(run({"key", "--port", "1", "write", "0x1A2B3C4D"}), Krvctl::NotConfirmed);
    EXPECT_EQ(run({"key", "--port", "1", "write", "0x1A2B3C4", "--yes"}), Krvctl::UsageError);
    EXPECT_EQ(run({"key", "--port", "1", "write", "0x1A2B3C4D", "--yes"}), Krvctl::Success) << errText.toStdString();
    EXPECT_EQ(run({"key", "--port", "1", "read"}), Krvctl::Success);
    EXPECT_EQ(outText, QStringLiteral("Production number\t0x24150317\nKey\t0x1A2B3C4D\n"));
    EXPECT_EQ(run({"key", "--port", "1", "lock"}), Krvctl::NotConfirmed);
    EXPECT_EQ(run({"key", "--port", "1", "lock", "--yes"}), Krvctl::Success);
    EXPECT_TRUE(errText.contains(QStringLiteral("Control unit Locked!")));
    EXPECT_EQ(run({"key", "--port", "1", "read"}), Krvctl::Success);
    EXPECT_TRUE(outText.endsWith(QStringLiteral("Key\t0x0\n"))) << outText.toStdString();
    EXPECT_EQ(run({"key", "--port", "1", "open"}), Krvctl::UsageError);
}

TEST_F(KrvctlTest, MonitorWritesTimeStampedRowsOfTheLiveValues)
{
    sim.set(QStringLiteral("joy.0"), QStringLiteral("75"));
    EXPECT_EQ(run({"monitor", "--port", "1", "--interval", "10", "--count", "3", "-o", path("log.csv")}),
              Krvctl::Success) << errText.toStdString();
    const QStringList rows = QString::fromLatin1(readBytes(path("log.csv"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 4);
    const QStringList header = rows[0].split(QLatin1Char(','));
    EXPECT_EQ(header.size(), 13);
    EXPECT_EQ(header[0], QStringLiteral("time"));
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z$"));
    for (int r = 1; r < 4; ++r) {
        const QStringList fields = rows[r].split(QLatin1Char(','));
        ASSERT_EQ(fields.size(), 13);
        EXPECT_TRUE(stamp.match(fields[0]).hasMatch()) << fields[0].toStdString();
    }
    // the trend window's file: the same header, the same kind of row
    ASSERT_TRUE(session.catalogue.LoadRamList(ramList.isEmpty() ? Catalogue::defaultRamListPath() : ramList));
    TrendRecorder trend{LiveColumns(session.catalogue)};
    trend.append(trend.emptySample(QDateTime::currentMSecsSinceEpoch()));
    const QStringList trendRows = QString::fromUtf8(trend.csv()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(trendRows.size(), 2);
    EXPECT_EQ(trendRows[0], rows[0]);
    const QStringList trendFields = trendRows[1].split(QLatin1Char(','));
    EXPECT_EQ(trendFields.size(), 13);
    EXPECT_TRUE(stamp.match(trendFields[0]).hasMatch()) << trendFields[0].toStdString();
    EXPECT_EQ(run({"monitor", "--port", "1", "--count", "x", "-o", path("log.csv")}), Krvctl::UsageError);
}

TEST_F(KrvctlTest, ListAndEvalWorkWithoutAUnit)
{
    sim.stop();
    EXPECT_EQ(run({"list"}), Krvctl::Success);
    EXPECT_TRUE(outText.contains(QStringLiteral("2\tNUM_PROP_SECTIONS\t0020.02\t1..4\t"))) << outText.left(300).toStdString();
    EXPECT_EQ(run({"eval", "x*2+1", "5"}), Krvctl::Success);
    EXPECT_EQ(outText, QStringLiteral("11\n"));
    EXPECT_EQ(run({"eval", "x*2", "-5"}), Krvctl::Success) << "a negative number is a value, not an option";
    EXPECT_EQ(outText, QStringLiteral("-10\n"));
    EXPECT_EQ(run({"eval", "x", "five"}), Krvctl::UsageError);
    EXPECT_EQ(run({"eval", "x", "-q"}), Krvctl::UsageError) << "an unknown option is still refused";
    EXPECT_EQ(run({"write", "--help"}), Krvctl::Success);
    EXPECT_TRUE(outText.startsWith(QStringLiteral("Usage: krvctl write [options] FILE\n"))) << outText.toStdString();
    EXPECT_TRUE(outText.contains(QStringLiteral("--verify")));
}

TEST_F(KrvctlTest, WriteThatFailsMidwaySaysTheUnitHoldsAMix)
{
    const QList<int> sent = writeChangedFile(path("changed.txt"));
    const long reads = readRequests();
    sim.set(QStringLiteral("disconnect-after"), QString::number(reads + 10));
    EXPECT_EQ(run({"write", "--port", "1", path("changed.txt")}), Krvctl::NoAnswer);
    const QRegularExpressionMatch stop = WriteStopped.match(errText);
    EXPECT_EQ(stop.captured(2).toInt(), 10) << errText.toStdString();
    EXPECT_TRUE(errText.contains(QStringLiteral("krvctl: write failed (FAILED!): the line to the control unit is lost\n")))
        << errText.toStdString();
    // the history: what arrived as done, the run in flight as failed, then the command
    const QList<QStringList> rows = historyRows();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows[0].mid(6), QStringList({"Write All", "", "", QStringLiteral("10 of %1 entries").arg(sent.size()),
                                           path("changed.txt"), "failed"}));
    int done = 0;
    int failed = 0;
    for (const QStringList &row : rows.mid(1)) {
        done += row[11] == QLatin1String("done") ? 1 : 0;
        failed += row[11] == QLatin1String("failed") ? 1 : 0;
    }
    // every entry sent changed but the section count, which goes out first
    EXPECT_EQ(done, 9);
    EXPECT_GE(failed, 1);
    EXPECT_EQ(done + failed + 1, rows.size());

    EXPECT_TRUE(sim.waitForExit(3000));
    sim.clearSettings();
    ASSERT_TRUE(sim.restart()) << sim.errorText().toStdString();
    expectUnitHoldsTheMix(sent, stop, true);
}

TEST_F(KrvctlTest, SigintDuringAWriteEndsItAfterTheAccessInFlight)
{
    const QList<int> sent = writeChangedFile(path("changed.txt"));
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/krvctl");
    // the requests of the program's own read, which the write begins with
    // (the program's link groups entries into blocks)
    SimProcess::Counts counts;
    ASSERT_TRUE(sim.counts(counts));
    const long base = counts.requests;
    QProcess reader;
    reader.start(program, {QStringLiteral("read"), QStringLiteral("--port"), sim.devicePath(), QStringLiteral("-o"),
                           path("unit.txt")});
    ASSERT_TRUE(reader.waitForFinished(30000));
    ASSERT_TRUE(sim.counts(counts));
    const long reads = counts.requests - base;
    sim.set(QStringLiteral("delay"), QStringLiteral("50"));

    QProcess ctl;
    ctl.start(program, {QStringLiteral("write"), QStringLiteral("--port"), sim.devicePath(), path("changed.txt")});
    ASSERT_TRUE(ctl.waitForStarted(5000));
    // the write's own read-all, then two runs of entries written
    const long target = base + reads + reads + 2;
    bool writing = false;
    for (QDeadlineTimer deadline(30000); !writing && !deadline.hasExpired() && ctl.state() == QProcess::Running;) {
        writing = sim.counts(counts) && counts.requests >= target;
        if (!writing)
            QThread::msleep(20);
    }
    ASSERT_TRUE(writing) << ctl.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(ctl.processId()), SIGINT);
    ASSERT_TRUE(ctl.waitForFinished(10000));
    errText = QString::fromLocal8Bit(ctl.readAllStandardError());
    EXPECT_EQ(ctl.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ctl.exitCode(), 130) << errText.toStdString();
    EXPECT_TRUE(errText.contains(QStringLiteral("krvctl: stopped by signal 2\n"))) << errText.toStdString();
    const QRegularExpressionMatch stop = WriteStopped.match(errText);
    EXPECT_GT(stop.captured(2).toInt(), 2) << "whole runs were written before the stop";
    EXPECT_LT(stop.captured(2).toInt(), sent.size());
    const QList<QStringList> rows = historyRows();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows[0].mid(9), QStringList({QStringLiteral("%1 of %2 entries").arg(stop.captured(2)).arg(sent.size()),
                                           path("changed.txt"), "stopped midway"}));

    sim.clearSettings();
    expectUnitHoldsTheMix(sent, stop, false);
}

TEST_F(KrvctlTest, MissingOrCorruptListIsNamedAndNothingIsSaved)
{
    ramList = folder.write(QStringLiteral("Ramlist.ini"), "Header\r\nA\t00\t10\r\nB\t00\tZZ\r\n");
    EXPECT_EQ(run({"read", "--port", "1", "-o", path("out.txt")}), Krvctl::NoCatalogue);
    EXPECT_TRUE(errText.contains(QStringLiteral("krvctl: Variable list missing or corrupt: ") + ramList
                                 + QStringLiteral(", line 3: column 3 is not a hexadecimal address\n")))
        << errText.toStdString();
    EXPECT_FALSE(QFile::exists(path("out.txt")));

    ramList = path("none.ini");
    EXPECT_EQ(run({"list"}), Krvctl::NoCatalogue);
    EXPECT_TRUE(errText.contains(ramList + QStringLiteral(": not found"))) << errText.toStdString();
    ramList = folder.write(QStringLiteral("header.ini"), "Header\r\n");
    EXPECT_EQ(run({"read", "--port", "1", "-o", path("out.txt")}), Krvctl::NoCatalogue);
    EXPECT_TRUE(errText.contains(ramList + QStringLiteral(": no variables"))) << errText.toStdString();
    EXPECT_FALSE(QFile::exists(path("out.txt")));
}

} // namespace

namespace {

TEST_F(KrvctlTest, HistoryRecordsEveryWriteAndPrintsItFiltered)
{
    ASSERT_EQ(run({"read", "--port", "1", "-o", path("unit.txt")}), Krvctl::Success);
    writeBytes(path("changed.txt"), withValue(readBytes(path("unit.txt")), "0020.04", "00001"));
    ASSERT_EQ(run({"write", "--port", "1", path("changed.txt")}), Krvctl::Success) << errText.toStdString();
    ASSERT_EQ(run({"poke", "--port", "1", "0x2004", "2", "--yes"}), Krvctl::Success);
    ASSERT_EQ(run({"key", "--port", "1", "write", "0x1A2B3C4D", "--yes"}), Krvctl::Success);
    ASSERT_EQ(run({"key", "--port", "1", "lock", "--yes"}), Krvctl::Success);
    ASSERT_EQ(run({"reset", "--port", "1", "--yes"}), Krvctl::Success);

    const QList<QStringList> rows = historyRows();
    ASSERT_EQ(rows.size(), 6);
    const QStringList expected[] = {
        {"Reset", "", "", "LOAD (defaults at the next power-up)", "", "done"},
        {"Lock", "Key", "", "0x0", "", "done"},
        {"Key Write", "Key", "", "0x1A2B3C4D", "", "done"},
        {"Poke", "NUM_ONOFF_SECTIONS", "", "2", "", "done"},
        {"Write All", "", "", "109 of 109 entries", path("changed.txt"), "done"},
        {"Write All", "NUM_ONOFF_SECTIONS", "0", "1", path("changed.txt"), "done"},
    };
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(rows[r].mid(1, 5), QStringList({"krvctl", ServiceHistory::userName(), "COM 1", "0x24150317", "0"}))
            << r;
        EXPECT_EQ(rows[r].mid(6), expected[r]) << r;
    }

    // by unit (serial, production with or without 0x), by day, and a bad date
    EXPECT_EQ(historyRows({"--unit", "24150317"}).size(), 6);
    EXPECT_EQ(historyRows({"--unit", "0"}).size(), 6);
    EXPECT_EQ(historyRows({"--unit", "0x24150318"}).size(), 0);
    const QDate today = QDateTime::currentDateTimeUtc().date();
    EXPECT_EQ(historyRows({"--since", today.toString(Qt::ISODate)}).size(), 6);
    EXPECT_EQ(historyRows({"--since", today.addDays(1).toString(Qt::ISODate)}).size(), 0);
    EXPECT_EQ(run({"history", "--since", "2026-02-30"}), Krvctl::UsageError);
    EXPECT_EQ(errText, "krvctl: bad date 2026-02-30 (use YYYY-MM-DD)\n");
    EXPECT_EQ(run({"history", "--unit", "24150317"}), Krvctl::Success);
    const QStringList table = outText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(table.size(), 7);
    EXPECT_TRUE(table[0].startsWith(QStringLiteral("Time (UTC)  ")));
    EXPECT_EQ(table[1].indexOf(QStringLiteral("krvctl")), table[0].indexOf(QStringLiteral("Program")));

    // a damaged file: the word still reaches the unit, and krvctl says it once
    writeBytes(ServiceHistory::defaultPath(), QByteArray(4096, 'Z'));
    ASSERT_EQ(run({"poke", "--port", "1", "0x2004", "3", "--yes"}), Krvctl::Success);
    EXPECT_EQ(errText, "krvctl: Service history is off: file is not a database (" + ServiceHistory::defaultPath()
                           + "); writes go on without being recorded\n");
    EXPECT_EQ(run({"peek", "--port", "1", "0x2004"}), Krvctl::Success);
    EXPECT_EQ(outText, QStringLiteral("3\t0x0003\n"));
    EXPECT_EQ(run({"history"}), Krvctl::FileError);
}

// Started twice at once by the test below: appends its rows one transaction at a time.
TEST(HistoryChild, AppendsRowsWhenStartedByTheConcurrencyTest)
{
    const QString path = qEnvironmentVariable("KRV_HISTORY_CHILD");
    if (path.isEmpty())
        GTEST_SKIP() << "only as a child of TwoProcessesAppendAtOnce";
    ServiceHistory store(path);
    for (int i = 0; i < 200; ++i) {
        ServiceHistory::Row row;
        row.time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
        row.program = qEnvironmentVariable("KRV_HISTORY_CHILD_NAME");
        row.parameter = QString::number(i);
        ASSERT_TRUE(store.append({row})) << store.offText().toStdString();
    }
}

TEST(ServiceHistoryFile, TwoProcessesAppendAtOnce)
{
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("history.sqlite"));
    QProcess children[2];
    for (int c = 0; c < 2; ++c) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KRV_HISTORY_CHILD"), path);
        env.insert(QStringLiteral("KRV_HISTORY_CHILD_NAME"), QStringLiteral("child%1").arg(c));
        children[c].setProcessEnvironment(env);
        children[c].start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--gtest_filter=HistoryChild.*")});
    }
    for (QProcess &child : children) {
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    }
    ServiceHistory store(path);
    const QList<ServiceHistory::Row> rows = store.rows();
    EXPECT_FALSE(store.isOff()) << store.offText().toStdString();
    ASSERT_EQ(rows.size(), 400);
    QMap<QString, int> perChild;
    for (const ServiceHistory::Row &row : rows)
        ++perChild[row.program];
    EXPECT_EQ(perChild.value(QStringLiteral("child0")), 200);
    EXPECT_EQ(perChild.value(QStringLiteral("child1")), 200);
}

} // namespace
