#include "ansitext.h"
#include "commentinfo.h"
#include "transferfixture.h"

#include "filesizelimit.h"
#include "readonlyfolder.h"

#include <QDir>
#include <QFile>

namespace {

// 1 Version (read only), 2 Sections, 3 Offset (negative default), 4 I0Min,
// 5 I2Min (section 1), 6 I4Min (section 2), 7 Joy (live value, on no open page),
// 8 Serial (key page).
const QStringList List = {
    "Version\t0x0020\t0x00\tKRV_PROG_VERS\tSoftware version\t10203\t0\t10\t0\t32767",
    "Sections\t0x0020\t0x02\tKRV_NUM_PROP_REG\tNumber of sections\t2\t0\t11\t1\t4",
    "Offset\t0x0012\t0x34\t\tZero offset\t-12\t0\t11\t-100\t100",
    "I0Min\t0x0020\t0x40\tKRV_I0_MIN\tCoil 1A minimum current\t400\t0\t11\t0\t2000",
    "I2Min\t0x0020\t0x48\tKRV_I2_MIN\tCoil 2A minimum current\t123\t1\t11\t0\t2000",
    "I4Min\t0x0020\t0x50\tKRV_I4_MIN\tCoil 3A minimum current\t400\t2\t11\t0\t2000",
    "Joy\t0x0040\t0x40\tKRV_JOY0_VALUE\tJoystick 1 position\t0\t0\t4\t0\t65535",
    "Serial\t0x0020\t0x20\tKRV_SERIAL_NUMBER\tSerial number\t31234\t0\t10001\t0\t32767",
};

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString golden(const char *name)
{
    return QStringLiteral(KRV_TEST_DATA "/") + QLatin1String(name);
}

// A configuration file from its value lines, with an empty comment block.
QByteArray configText(const QString &valueLines)
{
    return AnsiText::encode(CommentInfo().BuildInfoStr() + "Variable Name\tAddress\tValue\r" + valueLines
                            + "\r\n");
}

class ConfigFileTest : public TransferFixture
{
protected:
    void SetUp() override { loadList(List); }

    // "" when the bytes loaded, else why not; the file holding them reads alike.
    QString load(const QByteArray &bytes)
    {
        StagedConfig staged;
        const QString fromFile = session.file.ReadConfig(folder.write(QStringLiteral("in.txt"), bytes), staged).reason;
        const QString reason = session.file.LoadConfigBytes(bytes, QStringLiteral("in.txt")).reason;
        EXPECT_EQ(reason, fromFile);
        return reason;
    }

    // An earlier save in a folder of its own.
    QString previousSave()
    {
        QDir().mkpath(folder.path(QStringLiteral("saves")));
        return folder.write(QStringLiteral("saves/keep.txt"), "previous contents\r\n");
    }

    // What the folder of previousSave() holds, hidden files included.
    QStringList savesEntries() const
    {
        return QDir(folder.path(QStringLiteral("saves")))
            .entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST(CommentInfo, BlockRoundTripsEveryField)
{
    CommentInfo info{"Ann", "9 Dec", "r2", "Works, Ltd", "one\r\ntwo, three\r\n\r\nfour"};
    const QString block = info.BuildInfoStr();
    EXPECT_TRUE(block.contains("\tone\r\n\ttwo, three\r\n\t\r\n\tfour\r"));
    // lines as the loader hands them over: leading blanks gone, each followed by CR LF
    const QString aux = "Author:\tAnn\t\r\nDate:\t9 Dec\t\r\nRevision:\tr2\t\r\nCompany:\tWorks, Ltd\t\r\n"
                        "Additional Comments:\t\r\none\r\ntwo, three\r\n\r\nfour\r\n";
    EXPECT_EQ(CommentInfo::ExtractInfo(aux), info);
    // a bare LF from a text box is stored as a line break too
    const CommentInfo bare{"", "", "", "", "a\nb"};
    EXPECT_TRUE(bare.BuildInfoStr().contains("\ta\r\n\tb\r"));
    // a field is one line of the block: a TAB in it stays, a line break becomes a blank
    const CommentInfo field{"A\tB", "d\r\ne", "", "", ""};
    EXPECT_TRUE(field.BuildInfoStr().contains("\rAuthor:\tA\tB\t\rDate:\td e\t\r"));
    EXPECT_EQ(CommentInfo::ExtractInfo("Author:\tA\tB\t\r\nDate:\td e\t\r\n").author, "A\tB");
}

TEST_F(ConfigFileTest, SaveWritesTheByteExactFormat)
{
    comment.info = {"Ann Example", "2026-12-09", "3", QString::fromUtf8("Z\u00fcrich Valve Works"),
                    "First line\r\nSecond, with comma"};
    const QString path = folder.path("out.txt");
    ASSERT_TRUE(session.file.SaveConfig(path));
    EXPECT_EQ(readBytes(path), readBytes(golden("config_golden.txt")));

    // empty comments still give TAB CR; the edited count of 3 saves section 2
    comment.info = CommentInfo();
    session.catalogue.entry(2)->KRVSetVar(3);
    ASSERT_TRUE(session.file.SaveConfig(path));
    EXPECT_EQ(readBytes(path), readBytes(golden("config_golden_empty.txt")));
}

TEST_F(ConfigFileTest, ValueLineFormat)
{
    EXPECT_EQ(session.file.FormatConfigLine(3), "Zero offset\t0012.34\t-00012\r");
    var(4).KrvDownloadValueE2 = 123456;
    EXPECT_EQ(session.file.FormatConfigLine(4), "Coil 1A minimum current\t0020.40\t123456\r");
    EXPECT_EQ(File::formatAddress(0xFDEA00), "FDEA.00");
    EXPECT_EQ(File::formatAddress(7), "0000.07");
}

TEST_F(ConfigFileTest, SaveThenLoadRestoresValuesAndComments)
{
    // comments lines keep their leading blanks, and one that reads like the
    // separator is still a comment
    const QString comments = "line one\r\n  line two, indented\r\n" + CommentInfo::Separator
                             + "\r\n\ttabbed\r\n Author:\tx\r\n";
    comment.info = {"Bo", "today", "7", "Acme, Inc.", comments};
    const int32_t values[] = {0, 3, -57, 1999, 0, 77, 0, 4242};
    for (int i = 2; i <= 8; ++i) {
        if (i != 7)
            var(i).KrvDownloadValueE2 = values[i - 1];
    }
    const QString path = folder.path("cfg.txt");
    ASSERT_TRUE(session.file.SaveConfig(path));
    const CommentInfo saved = comment.info;

    for (int i = 1; i < session.catalogue.VarCount; ++i)
        session.catalogue.entry(i)->ReadE2FromQEL(1);
    comment.info = CommentInfo();
    EXPECT_EQ(session.file.LoadConfig(path, "cfg.txt").reason, QString());
    for (int i = 2; i <= 8; ++i) {
        if (i == 7)
            continue;
        EXPECT_EQ(var(i).KrvDownloadValueE2, values[i - 1]) << i;
        EXPECT_EQ(var(i).QelValueE2, values[i - 1]) << i;
        EXPECT_EQ(var(i).KrvDisplayValueE2, values[i - 1]) << i;
    }
    EXPECT_EQ(var(1).KrvDownloadValueE2, 10203);
    EXPECT_EQ(var(7).KrvDownloadValueE2, 1);   // not in the file
    EXPECT_EQ(comment.info, saved);
    EXPECT_EQ(comment.fileName, "cfg.txt");
    // saved again, the file is the same
    ASSERT_TRUE(session.file.SaveConfig(folder.path("again.txt")));
    EXPECT_EQ(readBytes(folder.path("again.txt")), readBytes(path));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ConfigFileTest, SectionTwoIsSavedOnlyWithAnEditedCountOfThree)
{
    EXPECT_FALSE(session.file.isSaved(6));
    var(2).QelValueE2 = 4; // the controller's count does not matter
    EXPECT_FALSE(session.file.isSaved(6));
    var(2).KrvDownloadValueE2 = 3;
    EXPECT_TRUE(session.file.isSaved(6));
    EXPECT_FALSE(session.file.isSaved(7)); // on no open page
}

TEST_F(ConfigFileTest, PlaceholderEmptyAndCommaLinesLoadAsTheWriterMeantThem)
{
    // a placeholder and an empty description carry no value; a comma is part of the description
    EXPECT_EQ(load(configText("---\t0020.40\t00999\r\t0020.40\t00998\rCoil, 1A\t0020.40\t00500\r"
                              "Has --- inside\t0012.34\t00001\rOffset\t0012.34\t-0007\r")),
              QString());
    EXPECT_EQ(var(4).KrvDownloadValueE2, 500);
    EXPECT_EQ(var(3).KrvDownloadValueE2, -7);
}

TEST_F(ConfigFileTest, SavedFilesLoadWithTheirLineEndsConvertedButNotCutOff)
{
    const QByteArray saved = configText("Coil 1A\t0020.40\t00500\r");
    QByteArray crlf = saved;
    crlf.replace("\r\n", "\r").replace("\r", "\r\n");
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    // losing only the final LF loses nothing
    for (const QByteArray &good : {saved, crlf, lf, saved.chopped(1)}) {
        var(4).KrvDownloadValueE2 = 1;
        EXPECT_EQ(load(good), QString()) << good.toStdString();
        EXPECT_EQ(var(4).KrvDownloadValueE2, 500);
    }
    // cut after the last value line, in any of these forms
    for (const QByteArray &cut : {saved.chopped(2), crlf.chopped(2), lf.chopped(1)})
        EXPECT_EQ(load(cut), "line 10: the file ends after this line (cut off)") << cut.toStdString();
    EXPECT_EQ(load(saved.chopped(3)), "line 10: the file ends inside this line (cut off)");
}

TEST_F(ConfigFileTest, ValuesMustBeWholeNumbersThatFit)
{
    const struct { const char *value; const char *reason; } cases[] = {
        {"12abc", "line 10: value '12abc' for 'Coil' is not a whole number"},
        {"1.5", "line 10: value '1.5' for 'Coil' is not a whole number"},
        {"-", "line 10: value '-' for 'Coil' is not a whole number"},
        {"2147483648", "line 10: value '2147483648' for 'Coil' does not fit 32 bits"},
        {"00500\tmore", "line 10: more than a value for 'Coil'"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(load(configText(QStringLiteral("Coil\t0020.40\t%1\r").arg(c.value))), c.reason) << c.value;
    EXPECT_EQ(var(4).KrvDownloadValueE2, 400);
    EXPECT_EQ(load(configText("Coil\t0020.40\t-2147483648 \r")), QString());
    EXPECT_EQ(var(4).KrvDownloadValueE2, 400) << "out of range: the default is put in";
    EXPECT_EQ(load(configText("Coil\t00zz.40\t1\r")), "line 10: bad address '00zz.40' for 'Coil'");
}

TEST_F(ConfigFileTest, OnlyARegularFileOfAtMost16MBIsRead)
{
    const auto status = [this](const QString &path) {
        StagedConfig staged;
        const auto result = session.file.ReadConfig(path, staged);
        EXPECT_TRUE(staged.values.isEmpty());
        return std::make_pair(result.status, result.reason);
    };
    using S = ConfigFileReader::Status;
    EXPECT_EQ(status(folder.path("missing.txt")), std::make_pair(S::Unreadable, QStringLiteral("no such file")));
    EXPECT_EQ(status(folder.path(QString())), std::make_pair(S::Unreadable, QStringLiteral("not a regular file")));
    EXPECT_EQ(status("/dev/zero"), std::make_pair(S::Unreadable, QStringLiteral("not a regular file")));
    QFile big(folder.path("big.txt"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(ConfigFileReader::MaxFileSize + 1));
    big.close();
    EXPECT_EQ(status(big.fileName()), std::make_pair(S::Unreadable, QStringLiteral("larger than 16 MB")));
}

TEST_F(ConfigFileTest, LoadedValuesGoThroughTheRangeCheck)
{
    // 9 sections and a current of 5000 are out of range; the joystick value (max 65535) silently
    const QString lines = "Coil\t0020.40\t05000\rSections\t0020.02\t00009\rJoy\t0040.40\t-0005\r"
                          "Offset\t0012.34\t00050\r";
    EXPECT_EQ(load(configText(lines)), QString());
    EXPECT_EQ(var(4).KrvDownloadValueE2, 400);
    EXPECT_EQ(var(4).QelValueE2, 400);
    EXPECT_EQ(var(2).KrvDownloadValueE2, 2);
    EXPECT_EQ(var(7).KrvDownloadValueE2, 0);
    EXPECT_EQ(var(3).KrvDownloadValueE2, 50);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), "READ FAULT:\r - I0Min\r - Sections\r");
}

TEST_F(ConfigFileTest, FailedSaveKeepsThePreviousFile)
{
    const QString path = previousSave();
    bool ok = true;
    {
        // the disk fills up half-way through the new file
        FileSizeLimit full(64);
        ASSERT_TRUE(full.active());
        ok = session.file.SaveConfig(path);
    }

    EXPECT_FALSE(ok);
    EXPECT_EQ(readBytes(path), "previous contents\r\n") << readBytes(path).size();
    EXPECT_EQ(savesEntries(), QStringList{"keep.txt"}) << "no half-written file left behind";
    EXPECT_FALSE(session.file.SaveConfig(folder.path("no/such/folder/x.txt")));
    EXPECT_EQ(File::FileExists(path), 1);
    EXPECT_EQ(File::FileExists(folder.path("none.txt")), 0);
}

TEST_F(ConfigFileTest, SaveIntoAFolderThatRefusesNewFilesKeepsThePreviousFile)
{
    const QString path = previousSave();
    bool ok = true;
    {
        ReadOnlyFolder readOnly(folder.path(QStringLiteral("saves")));
        if (!readOnly.ready())
            GTEST_SKIP() << readOnly.why().toStdString();
        ok = session.file.SaveConfig(path);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(readBytes(path), "previous contents\r\n");
    EXPECT_EQ(savesEntries(), QStringList{"keep.txt"});

    // the same save goes through once the folder takes files again
    EXPECT_TRUE(session.file.SaveConfig(path));
    EXPECT_TRUE(readBytes(path).startsWith(";---")) << readBytes(path).left(40).toStdString();
}
