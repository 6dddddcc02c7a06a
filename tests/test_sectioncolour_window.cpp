// The palette window driven as a user would: preset buttons, the colour
// dialog answered by a fake, OK and Cancel, and the bytes of colour.ini.

#include "filedialogservice.h"
#include "filesizelimit.h"
#include "frmsectioncolour.h"
#include "pagetestbed.h"
#include "readonlyfolder.h"
#include "vbcolor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <deque>

namespace {

constexpr int32_t WindowBackground = static_cast<int32_t>(0x80000005u);
constexpr int32_t WindowText = static_cast<int32_t>(0x80000008u);

// Answers the colour dialog from a script; nullopt is the user's Cancel.
class FakeColourDialog : public FileDialogService
{
public:
    std::optional<QString> openFile(const Request &) override { return std::nullopt; }
    std::optional<QString> saveFile(const Request &) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor &initial) override
    {
        initials.append(initial);
        if (answers.empty())
            return std::nullopt;
        const std::optional<QColor> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QList<QColor> initials;
    std::deque<std::optional<QColor>> answers;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QByteArray> fileLines(const QString &path)
{
    QList<QByteArray> lines = readAll(path).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class PaletteWindow : public ::testing::Test
{
protected:
    void SetUp() override { colourPath = folder.path(QStringLiteral("colour.ini")); }

    void create()
    {
        FrmSectionColour::Services services;
        services.dialogs = &dialogs;
        services.messages = &bed.messages;
        services.help = &bed.help;
        window = std::make_unique<FrmSectionColour>(colours, colourPath, services);
        window->setColourRefreshes([this] { ++configRefreshes; }, [this] { ++monitorRefreshes; });
    }

    template <typename T> T *widget(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }

    void click(const QString &name) { QTest::mouseClick(widget<QAbstractButton>(name), Qt::LeftButton); }

    QColor background(const QString &label) const
    {
        return widget<QLabel>(label)->palette().color(QPalette::Window);
    }
    QColor foreground(const QString &label) const
    {
        return widget<QLabel>(label)->palette().color(QPalette::WindowText);
    }

    void expectPreset(int preset) const
    {
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(colours.SectionBackColour[k], SectionColours::presetBackColour(preset, k)) << "section " << k;
            EXPECT_EQ(colours.SectionTextColour[k], SectionColours::presetTextColour(preset, k)) << "section " << k;
        }
    }

    TempFolder folder;
    QString colourPath;
    SectionColours colours;
    FakeColourDialog dialogs;
    PageTestBed bed; // messages and the manual
    std::unique_ptr<FrmSectionColour> window;
    int configRefreshes = 0;
    int monitorRefreshes = 0;
};

TEST_F(PaletteWindow, StartsWithPresetZeroWithoutFileAndWritesNothing)
{
    colours.ApplyPalette(3);
    create();
    EXPECT_EQ(window->frmSectionColourInit(), SectionColours::LoadResult::NotFound);
    expectPreset(0);
    EXPECT_EQ(configRefreshes, 1);
    EXPECT_EQ(monitorRefreshes, 1);
    EXPECT_FALSE(QFile::exists(colourPath));

    // section 1 dark red with white text, section 3 in the system window colours
    EXPECT_EQ(background(QStringLiteral("lblSec_0")), QColor(0x80, 0, 0));
    EXPECT_EQ(foreground(QStringLiteral("lblSec_0")), QColor(Qt::white));
    EXPECT_EQ(background(QStringLiteral("lblSec_2")), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(foreground(QStringLiteral("lblSec_2")), QApplication::palette().color(QPalette::Text));
}

TEST_F(PaletteWindow, ReadsTheColoursOfTheFileAtStart)
{
    folder.write(QStringLiteral("colour.ini"),
                 " 255 \r\n 65280 \r\n-2147483643 \r\n 0 \r\n 16777215 \r\n 0 \r\n-2147483640 \r\n 123 \r\n");
    create();
    EXPECT_EQ(window->frmSectionColourInit(), SectionColours::LoadResult::Loaded);
    EXPECT_EQ(colours.SectionBackColour[0], 255);
    EXPECT_EQ(colours.SectionBackColour[1], 65280);
    EXPECT_EQ(colours.SectionBackColour[2], WindowBackground);
    EXPECT_EQ(colours.SectionTextColour[2], WindowText);
    EXPECT_EQ(colours.SectionTextColour[3], 123);
    EXPECT_EQ(background(QStringLiteral("lblSec_1")), QColor(0, 0xFF, 0));
    EXPECT_EQ(configRefreshes, 1);
    EXPECT_EQ(monitorRefreshes, 1);
}

TEST_F(PaletteWindow, DamagedOrShortFileFallsBackToPresetZeroAndIsKeptUntilOk)
{
    const QList<QByteArray> damaged = {
        " 255 \r\n 65280 \r\n 0 \r\n",                                           // short
        " 255 \r\n red \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n",          // not a number
        " 255 \r\n 99999999999 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n",  // beyond 32 bits
        QByteArray(),                                                            // empty
    };
    for (const QByteArray &bytes : damaged) {
        folder.write(QStringLiteral("colour.ini"), bytes);
        colours.ApplyPalette(5);
        create();
        EXPECT_EQ(window->frmSectionColourInit(), SectionColours::LoadResult::Damaged) << bytes.constData();
        expectPreset(0);
        EXPECT_EQ(readAll(colourPath), bytes);

        // neither a preset click nor Cancel touches it; OK replaces it
        window->open();
        click(QStringLiteral("optSectionColour_1"));
        click(QStringLiteral("CmdCancel"));
        EXPECT_EQ(readAll(colourPath), bytes);
        window->open();
        click(QStringLiteral("CmdOk"));
        EXPECT_EQ(readAll(colourPath), SectionColours().fileBytes());
    }
}

TEST_F(PaletteWindow, PresetClickRepaintsAndOkWritesTheExactFile)
{
    create();
    window->frmSectionColourInit();
    window->open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("KRV Studio - Palette"));

    // the sample labels show the presets they stand for
    EXPECT_EQ(widget<QLabel>(QStringLiteral("lblSectionColour3_2"))->text(), QStringLiteral("section 3"));
    EXPECT_EQ(background(QStringLiteral("lblSectionColour1_4")), QColor(0xFF, 0, 0));
    EXPECT_EQ(background(QStringLiteral("lblSectionColour2_4")), QColor(0, 0xC0, 0));
    EXPECT_EQ(foreground(QStringLiteral("lblSectionColour4_4")), QColor(0, 0, 0));

    const int before = configRefreshes;
    click(QStringLiteral("optSectionColour_4"));
    expectPreset(4);
    EXPECT_EQ(configRefreshes, before + 1);
    EXPECT_EQ(monitorRefreshes, before + 1);
    EXPECT_EQ(background(QStringLiteral("lblSec_3")), QColor(0xFF, 0xFF, 0));
    EXPECT_FALSE(QFile::exists(colourPath));

    click(QStringLiteral("CmdOk"));
    EXPECT_FALSE(window->isVisible());
    const QList<QByteArray> lines = fileLines(colourPath);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], " 255 \r");
    EXPECT_EQ(lines[4], " 16777215 \r");
    EXPECT_EQ(readAll(colourPath),
              " 255 \r\n 49152 \r\n 12582912 \r\n 65535 \r\n 16777215 \r\n 16777215 \r\n 16777215 \r\n 0 \r\n");
}

TEST_F(PaletteWindow, SystemColoursAreWrittenAsNegativeNumbers)
{
    create();
    window->frmSectionColourInit();
    window->open();
    click(QStringLiteral("optSectionColour_0"));
    click(QStringLiteral("CmdOk"));
    const QList<QByteArray> lines = fileLines(colourPath);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[2], "-2147483643 \r");
    EXPECT_EQ(lines[6], "-2147483640 \r");
    EXPECT_EQ(lines[7], "-2147483643 \r");
}

TEST_F(PaletteWindow, CancelUndoesEveryChangeSinceTheWindowWasShown)
{
    folder.write(QStringLiteral("colour.ini"), SectionColours().fileBytes());
    const QByteArray fileBefore = readAll(colourPath);
    create();
    window->frmSectionColourInit();
    colours.ApplyPalette(3); // what the pages show when the window opens
    window->open();

    click(QStringLiteral("optSectionColour_2"));
    dialogs.answers.push_back(QColor(1, 2, 3));
    click(QStringLiteral("SecText_0"));
    EXPECT_EQ(colours.SectionTextColour[0], 0x030201);
    const int before = configRefreshes;
    click(QStringLiteral("CmdCancel"));
    expectPreset(3);
    EXPECT_EQ(configRefreshes, before + 1);
    EXPECT_EQ(monitorRefreshes, before + 1);
    EXPECT_EQ(background(QStringLiteral("lblSec_0")), QColor(0x80, 0, 0x80));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readAll(colourPath), fileBefore);

    // closing the window (Esc) undoes the same way
    window->open();
    click(QStringLiteral("optSectionColour_1"));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    expectPreset(3);
}

TEST_F(PaletteWindow, ShowingAgainAfterOkKeepsTheNewColoursForCancel)
{
    create();
    window->frmSectionColourInit();
    window->open();
    click(QStringLiteral("optSectionColour_4"));
    click(QStringLiteral("CmdOk"));
    window->open();
    click(QStringLiteral("optSectionColour_1"));
    click(QStringLiteral("CmdCancel"));
    expectPreset(4);
}

TEST_F(PaletteWindow, ColourDialogSetsOneSectionAndItsCancelChangesNothing)
{
    create();
    window->frmSectionColourInit();
    window->open();

    // the dialog starts on the label's colour and its choice lands in the table
    dialogs.answers.push_back(QColor(0x12, 0x34, 0x56));
    const int before = configRefreshes;
    click(QStringLiteral("SecBack_1"));
    ASSERT_EQ(dialogs.initials.size(), 1);
    EXPECT_EQ(dialogs.initials[0], QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(colours.SectionBackColour[1], 0x563412);
    EXPECT_EQ(colours.SectionTextColour[1], 0x00FFFFFF);
    EXPECT_EQ(background(QStringLiteral("lblSec_1")), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(configRefreshes, before + 1);
    EXPECT_EQ(monitorRefreshes, before + 1);

    dialogs.answers.push_back(QColor(0xAB, 0xCD, 0xEF));
    click(QStringLiteral("SecText_3"));
    EXPECT_EQ(colours.SectionTextColour[3], 0xEFCDAB);
    EXPECT_EQ(foreground(QStringLiteral("lblSec_3")), QColor(0xAB, 0xCD, 0xEF));

    // cancelled: section 3 keeps its system colours, not their current RGB
    dialogs.answers.push_back(std::nullopt);
    click(QStringLiteral("SecBack_2"));
    dialogs.answers.push_back(std::nullopt);
    click(QStringLiteral("SecText_2"));
    EXPECT_EQ(colours.SectionBackColour[2], WindowBackground);
    EXPECT_EQ(colours.SectionTextColour[2], WindowText);
    EXPECT_EQ(dialogs.initials[2], QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(dialogs.initials[3], QApplication::palette().color(QPalette::Text));

    click(QStringLiteral("CmdOk"));
    EXPECT_EQ(fileLines(colourPath).value(1), " 5649426 \r");
}

TEST_F(PaletteWindow, PaletteMenuOpensWithNoPresetChosen)
{
    create();
    window->frmSectionColourInit();
    window->open();
    click(QStringLiteral("optSectionColour_5"));
    EXPECT_TRUE(widget<QRadioButton>(QStringLiteral("optSectionColour_5"))->isChecked());
    click(QStringLiteral("CmdOk"));

    window->clearPresetChoice();
    window->open();
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(widget<QRadioButton>(QStringLiteral("optSectionColour_%1").arg(i))->isChecked()) << i;
    expectPreset(5);
    // the buttons still choose one at a time afterwards
    click(QStringLiteral("optSectionColour_2"));
    click(QStringLiteral("optSectionColour_3"));
    EXPECT_FALSE(widget<QRadioButton>(QStringLiteral("optSectionColour_2"))->isChecked());
    EXPECT_TRUE(widget<QRadioButton>(QStringLiteral("optSectionColour_3"))->isChecked());
}

TEST_F(PaletteWindow, FileThatCannotBeWrittenIsReportedAndTheWindowStays)
{
    colourPath = folder.path(QStringLiteral("missing-folder/colour.ini"));
    create();
    window->frmSectionColourInit();
    window->open();
    click(QStringLiteral("optSectionColour_1"));
    click(QStringLiteral("CmdOk"));
    ASSERT_EQ(bed.messages.shown.size(), 1);
    EXPECT_EQ(bed.messages.lastText(), QStringLiteral("'colour.ini' file NOT SAVED"));
    EXPECT_TRUE(window->isVisible());
    expectPreset(1);
}

// OK when colour.ini cannot be replaced: the old file stays byte for byte,
// the user is told, and the window stays open with the new colours, so that a
// second OK saves them once the cause is gone.
class PaletteSaveFailure : public PaletteWindow
{
protected:
    void SetUp() override
    {
        QDir().mkpath(folder.path(QStringLiteral("ini")));
        colourPath = folder.write(QStringLiteral("ini/colour.ini"), previous);
        create();
        ASSERT_EQ(window->frmSectionColourInit(), SectionColours::LoadResult::Loaded);
        window->open();
        click(QStringLiteral("optSectionColour_4"));
    }

    void expectNotSavedAndKept()
    {
        ASSERT_EQ(bed.messages.shown.size(), 1);
        EXPECT_EQ(bed.messages.lastText(), QStringLiteral("'colour.ini' file NOT SAVED"));
        EXPECT_EQ(bed.messages.shown[0].icon, MessageService::Icon::Critical);
        EXPECT_EQ(readAll(colourPath), previous);
        EXPECT_EQ(QDir(folder.path(QStringLiteral("ini"))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"colour.ini"}) << "no half-written file left behind";
        EXPECT_TRUE(window->isVisible());
        expectPreset(4);
    }

    void expectSecondOkSaves()
    {
        bed.messages.shown.clear();
        click(QStringLiteral("CmdOk"));
        EXPECT_TRUE(bed.messages.shown.isEmpty()) << bed.messages.lastText().toStdString();
        EXPECT_FALSE(window->isVisible());
        ASSERT_FALSE(fileLines(colourPath).isEmpty());
        EXPECT_EQ(fileLines(colourPath)[0], " 255 \r");
    }

    const QByteArray previous = SectionColours().fileBytes(); // preset 0, as saved earlier
};

TEST_F(PaletteSaveFailure, FullDisk)
{
    {
        FileSizeLimit full(16);
        ASSERT_TRUE(full.active());
        click(QStringLiteral("CmdOk"));
    }
    expectNotSavedAndKept();
    expectSecondOkSaves();
}

TEST_F(PaletteSaveFailure, FolderThatRefusesNewFiles)
{
    {
        ReadOnlyFolder readOnly(folder.path(QStringLiteral("ini")));
        if (!readOnly.ready())
            GTEST_SKIP() << readOnly.why().toStdString();
        click(QStringLiteral("CmdOk"));
    }
    expectNotSavedAndKept();
    expectSecondOkSaves();
}

TEST_F(PaletteWindow, F1OpensTheManualAtPage36)
{
    create();
    window->open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(widget<QPushButton>(QStringLiteral("SecBack_0")), Qt::Key_F1);
    ASSERT_EQ(bed.viewer.calls.size(), 1);
    EXPECT_EQ(bed.viewer.calls[0].first, QStringLiteral("AcroRd32.exe"));
    EXPECT_TRUE(bed.viewer.calls[0].second.startsWith(QStringLiteral("/A \"page=36&pagemode=bookmarks&zoom=100\"")))
        << bed.viewer.calls[0].second.toStdString();
}

} // namespace
