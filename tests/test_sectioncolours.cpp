#include "sectioncolours.h"
#include "tempfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <limits>

namespace {

using LoadResult = SectionColours::LoadResult;

constexpr int32_t kWindowBackground = -2147483643; // 0x80000005
constexpr int32_t kWindowText = -2147483640;       // 0x80000008

// Preset 0 and preset 4 as colour.ini holds them.
const QByteArray kPreset0File = " 128 \r\n 8421504 \r\n-2147483643 \r\n 0 \r\n"
                                " 16777215 \r\n 16777215 \r\n-2147483640 \r\n-2147483643 \r\n";
const QByteArray kPreset4File = " 255 \r\n 49152 \r\n 12582912 \r\n 65535 \r\n"
                                " 16777215 \r\n 16777215 \r\n 16777215 \r\n 0 \r\n";

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Colours no preset has, to see whether a load changed anything.
SectionColours marked()
{
    SectionColours c;
    for (int k = 0; k < SectionColours::Slots; ++k) {
        c.SectionBackColour[k] = 1000 + k;
        c.SectionTextColour[k] = 2000 + k;
    }
    return c;
}

} // namespace

TEST(SectionColoursTest, StartsWithPresetZero)
{
    const SectionColours c;
    EXPECT_EQ(c.SectionBackColour[0], 0x00000080);
    EXPECT_EQ(c.SectionTextColour[0], 0x00FFFFFF);
    EXPECT_EQ(c.SectionBackColour[2], kWindowBackground);
    EXPECT_EQ(c.SectionTextColour[2], kWindowText);
    EXPECT_EQ(c.fileBytes(), kPreset0File);
}

TEST(SectionColoursTest, PresetsAsTheirSampleLabelsShowThem)
{
    SectionColours c;
    c.ApplyPalette(4);
    EXPECT_EQ(c.fileBytes(), kPreset4File);
    c.ApplyPalette(1);
    EXPECT_EQ(c.SectionBackColour[1], 0x0000FFFF);
    EXPECT_EQ(c.SectionTextColour[1], kWindowText);
    EXPECT_EQ(c.SectionBackColour[3], 0x00FF8080);
    c.ApplyPalette(2);
    EXPECT_EQ(c.SectionBackColour[0], 0x00004080);
    EXPECT_EQ(c.SectionTextColour[1], 0x00000000);
    EXPECT_EQ(c.SectionTextColour[3], kWindowText);
    c.ApplyPalette(3);
    EXPECT_EQ(c.SectionBackColour[0], 0x00800080);
    EXPECT_EQ(c.SectionBackColour[2], 0x000080FF);
    c.ApplyPalette(5);
    EXPECT_EQ(c.SectionBackColour[1], 0x00C0C0FF);
    EXPECT_EQ(c.SectionBackColour[3], 0x00C00000);
    EXPECT_EQ(c.SectionTextColour[3], 0x00FFFFFF);
    for (int k = 0; k < SectionColours::Sections; ++k) {
        EXPECT_EQ(c.SectionBackColour[k], SectionColours::presetBackColour(5, k));
        EXPECT_EQ(c.SectionTextColour[k], SectionColours::presetTextColour(5, k));
    }
}

TEST(SectionColoursTest, UnknownPresetAndUnusedSlotAreLeftAlone)
{
    SectionColours c = marked();
    c.ApplyPalette(-1);
    c.ApplyPalette(6);
    EXPECT_EQ(c, marked());
    c.ApplyPalette(0);
    EXPECT_EQ(c.SectionBackColour[4], 1004); // slot 4 belongs to no section
    EXPECT_EQ(SectionColours::presetBackColour(6, 0), 0);
    EXPECT_EQ(SectionColours::presetTextColour(0, 4), 0);
}

TEST(SectionColoursTest, SaveWritesTheExactBytes)
{
    TempFolder folder;
    const QString path = folder.path("colour.ini");
    SectionColours c;
    c.ApplyPalette(4);
    ASSERT_TRUE(c.SaveFileColour(path));
    EXPECT_EQ(readAll(path), kPreset4File);

    // saving again replaces the whole file and leaves nothing else behind
    c.ApplyPalette(0);
    ASSERT_TRUE(c.SaveFileColour(path));
    EXPECT_EQ(readAll(path), kPreset0File);
    EXPECT_EQ(QDir(folder.path(".")).entryList(QDir::Files), QStringList{"colour.ini"});
}

TEST(SectionColoursTest, ExtremeValuesRoundTrip)
{
    TempFolder folder;
    const QString path = folder.path("colour.ini");
    SectionColours c;
    const int32_t values[] = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), -1, 0,
                              1, 0x00C0E0FF, kWindowText, -2147483633};
    for (int k = 0; k < 4; ++k) {
        c.SectionBackColour[k] = values[k];
        c.SectionTextColour[k] = values[k + 4];
    }
    ASSERT_TRUE(c.SaveFileColour(path));
    EXPECT_TRUE(readAll(path).startsWith("-2147483648 \r\n 2147483647 \r\n-1 \r\n 0 \r\n 1 \r\n"));
    SectionColours back = marked();
    EXPECT_EQ(back.LoadColorFromFile(path), LoadResult::Loaded);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(back.SectionBackColour[k], values[k]);
        EXPECT_EQ(back.SectionTextColour[k], values[k + 4]);
    }
    EXPECT_EQ(back.SectionBackColour[4], 1004);
}

TEST(SectionColoursTest, MissingFileFallsBackToPresetZero)
{
    TempFolder folder;
    const QString path = folder.path("colour.ini");
    SectionColours c = marked();
    EXPECT_EQ(c.LoadColorFromFile(path), LoadResult::NotFound);
    EXPECT_EQ(c, marked());
    EXPECT_EQ(c.frmSectionColourInit(path), LoadResult::NotFound);
    EXPECT_EQ(c.fileBytes(), kPreset0File);
    EXPECT_FALSE(QFile::exists(path)); // nothing is written until OK
}

TEST(SectionColoursTest, ReaderIgnoresSpacesAndLineEndStyle)
{
    TempFolder folder;
    const QByteArray variants[] = {
        "255\n49152\n12582912\n65535\n16777215\n16777215\n16777215\n0",   // LF, no final line end
        "  255\t\r\n 49152 \r\n+12582912\r\n65535\r\n16777215\r\n16777215\r\n16777215\r\n 0 \r\n"
        "extra lines\r\nafter the eighth\r\n",                               // spaces, sign, trailing lines
        " 255 \r 49152 \r 12582912 \r 65535 \r 16777215 \r 16777215 \r 16777215 \r 0 \r", // bare CR
    };
    for (const QByteArray &bytes : variants) {
        SCOPED_TRACE(bytes.toStdString());
        SectionColours c = marked();
        EXPECT_EQ(c.LoadColorFromFile(folder.write("colour.ini", bytes)), LoadResult::Loaded);
        EXPECT_EQ(c.fileBytes(), kPreset4File);
    }
}

TEST(SectionColoursTest, DamagedFileIsReportedAndLeftAlone)
{
    TempFolder folder;
    const QByteArray sevenLines = " 255 \r\n 49152 \r\n 12582912 \r\n 65535 \r\n 16777215 \r\n 16777215 \r\n 16777215 \r\n";
    const QByteArray damaged[] = {
        "",
        sevenLines,
        sevenLines + "red\r\n",
        sevenLines + "2147483648\r\n",
        sevenLines + "-2147483649\r\n",
        sevenLines + "12 34\r\n",
        sevenLines + "\xb2\xb5\r\n",
        " 255 \r\n\r\n 12582912 \r\n 65535 \r\n 16777215 \r\n 16777215 \r\n 16777215 \r\n 0 \r\n",
        QByteArray(100000, '7') + "\r\n" + sevenLines,
    };
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(bytes.left(60).toStdString());
        const QString path = folder.write("colour.ini", bytes);
        SectionColours c = marked();
        EXPECT_EQ(c.LoadColorFromFile(path), LoadResult::Damaged);
        EXPECT_EQ(c, marked()); // no half-loaded tables
        EXPECT_EQ(c.frmSectionColourInit(path), LoadResult::Damaged);
        EXPECT_EQ(c.fileBytes(), kPreset0File);
        EXPECT_EQ(readAll(path), bytes); // kept until the user confirms new colours
    }
}

TEST(SectionColoursTest, FolderInPlaceOfTheFile)
{
    TempFolder folder;
    const QString path = folder.path("colour.ini");
    ASSERT_TRUE(QDir().mkpath(path));
    SectionColours c = marked();
    EXPECT_EQ(c.LoadColorFromFile(path), LoadResult::Damaged);
    EXPECT_EQ(c, marked());
    EXPECT_FALSE(c.SaveFileColour(path));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_FALSE(c.SaveFileColour(folder.path("no-such-folder/colour.ini")));
}
