// Where the files the program writes go: the program folder of a copy run
// from its build folder, the user's folders for an installed copy; and the
// main window using those places for colour.ini and saved configurations.
#include "shellfixture.h"

#include "frmsectioncolour.h"
#include "writablepaths.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A program folder with res/ini, and user folders that do not exist yet.
struct Folders
{
    Folders()
    {
        QDir().mkpath(program() + QStringLiteral("/res/ini"));
        user.config = dir.path(QStringLiteral("home/.config/krvstudio"));
        user.documents = dir.path(QStringLiteral("home/Documents/KRV Studio"));
    }
    QString program() const { return dir.path(QStringLiteral("prog")); }
    void markInstalled() const { dir.write(QStringLiteral("prog/") + WritablePaths::installMarkerName(), "; installed\n"); }

    TempFolder dir;
    WritablePaths::UserFolders user;
};

TEST(WritablePaths, BuildFolderCopyWritesBesideItself)
{
    Folders f;
    EXPECT_TRUE(WritablePaths::programFolderWritable(f.program()));
    const WritablePaths paths(f.program(), f.user);
    EXPECT_TRUE(paths.usesProgramFolder());
    EXPECT_EQ(paths.colourFile(), f.program() + QStringLiteral("/res/ini/colour.ini"));
    EXPECT_EQ(paths.colourFileToRead(), paths.colourFile());
    EXPECT_EQ(paths.configurationFolder(), f.program() + QStringLiteral("/res/txt"));
    EXPECT_TRUE(QFileInfo(f.program() + QStringLiteral("/res/txt")).isDir()) << "made on demand";
    EXPECT_FALSE(QFileInfo::exists(f.user.config)) << "the user's folders are left alone";
    EXPECT_FALSE(QFileInfo::exists(f.user.documents));
}

TEST(WritablePaths, InstalledCopyWritesToTheUsersFoldersMadeOnDemand)
{
    Folders f;
    f.markInstalled();
    // the marker decides even where the folder is writable (root, a private prefix)
    EXPECT_FALSE(WritablePaths::programFolderWritable(f.program()));
    const WritablePaths paths(f.program(), f.user);
    EXPECT_FALSE(paths.usesProgramFolder());
    EXPECT_FALSE(QFileInfo::exists(f.user.config));
    EXPECT_EQ(paths.colourFile(), f.user.config + QStringLiteral("/colour.ini"));
    EXPECT_TRUE(QFileInfo(f.user.config).isDir());
    EXPECT_EQ(paths.configurationFolder(), f.user.documents);
    EXPECT_TRUE(QFileInfo(f.user.documents).isDir());
    EXPECT_EQ(paths.shippedColourFile(), f.program() + QStringLiteral("/res/ini/colour.ini"));
}

TEST(WritablePaths, ReadOnlyProgramFolderIsDetected)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes through any permission; the install marker covers that case";
    Folders f;
    const QString ini = f.program() + QStringLiteral("/res/ini");
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(WritablePaths::programFolderWritable(f.program())) << "res/ini read-only";
    EXPECT_FALSE(WritablePaths(f.program(), f.user).usesProgramFolder());
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(f.program(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(WritablePaths::programFolderWritable(f.program())) << "program folder read-only";
    QFile::setPermissions(f.program(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(WritablePaths::programFolderWritable(f.program()));
}

TEST(WritablePaths, MissingOrUnnamedProgramFolderIsNotWritten)
{
    Folders f;
    EXPECT_FALSE(WritablePaths::programFolderWritable(QString()));
    EXPECT_FALSE(WritablePaths::programFolderWritable(f.dir.path(QStringLiteral("absent"))));
    // a program folder without res/ini (krvctl copied alone) is still its own
    const QString bare = f.dir.path(QStringLiteral("bare"));
    QDir().mkpath(bare);
    EXPECT_TRUE(WritablePaths::programFolderWritable(bare));
}

TEST(WritablePaths, UsersColourFileIsReadFirstThenTheShippedOne)
{
    Folders f;
    const WritablePaths installed(f.program(), f.user, WritablePaths::Target::UserFolders);
    EXPECT_EQ(installed.colourFileToRead(), installed.shippedColourFile()) << "no copy of the user's yet";
    EXPECT_FALSE(QFileInfo::exists(f.user.config)) << "reading makes no folder";
    QDir().mkpath(f.user.config);
    f.dir.write(QStringLiteral("home/.config/krvstudio/colour.ini"), " 255 \r\n");
    EXPECT_EQ(installed.colourFileToRead(), f.user.config + QStringLiteral("/colour.ini"));

    // a copy that writes beside itself reads what it writes, never another
    // installation's user copy, so a saved choice is what comes back
    const WritablePaths own(f.program(), f.user, WritablePaths::Target::ProgramFolder);
    EXPECT_EQ(own.colourFileToRead(), f.program() + QStringLiteral("/res/ini/colour.ini"));
}

TEST(WritablePaths, UnmakeableDocumentsFolderFallsBackToHome)
{
    Folders f;
    f.dir.write(QStringLiteral("file"), "not a folder");
    f.user.documents = f.dir.path(QStringLiteral("file/KRV Studio"));
    const WritablePaths paths(f.program(), f.user, WritablePaths::Target::UserFolders);
    EXPECT_EQ(paths.configurationFolder(), QDir::homePath());
}

TEST(WritablePaths, StandardPlacesFollowTheXdgEnvironment)
{
    TempFolder dir;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", dir.path(QStringLiteral("home")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.path(QStringLiteral("cfg")).toLocal8Bit());
    const WritablePaths paths(dir.path(QStringLiteral("prog")), {}, WritablePaths::Target::UserFolders);
    const WritablePaths::UserFolders user = paths.userFolders();
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_EQ(user.config, dir.path(QStringLiteral("cfg/krvstudio")));
    EXPECT_EQ(user.documents, dir.path(QStringLiteral("home/Documents/KRV Studio")));
}

// The real main window of an installed copy: its program folder is shared
// (here: marked installed), its user folders are temporary.
class InstalledMainWindow : public ShellTest
{
protected:
    void SetUp() override
    {
        QApplication::setQuitOnLastWindowClosed(false);
        user.config = home.path(QStringLiteral("config/krvstudio"));
        user.documents = home.path(QStringLiteral("Documents/KRV Studio"));
    }
    void open(WritablePaths::Target target)
    {
        ShellServices s = services();
        s.userFolders = user;
        s.writeTarget = target;
        window = std::make_unique<FrmMain>(session, s);
        window->Load();
        window->show();
        window->selectTab(1);
    }
    void click(const QString &name)
    {
        auto *button = window->paletteWindow()->findChild<QAbstractButton *>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    TempFolder home;
    WritablePaths::UserFolders user;
};

TEST_F(InstalledMainWindow, PaletteReadsAndWritesTheUsersColourFile)
{
    open(WritablePaths::Target::UserFolders);
    const QString shipped = folder.file(QStringLiteral("res/ini/colour.ini"));
    const QByteArray shippedBefore = readAll(shipped);
    const QString mine = user.config + QStringLiteral("/colour.ini");

    FrmSectionColour *palette = window->paletteWindow();
    palette->frmSectionColourInit();
    window->menuItem(QStringLiteral("mnuSet_Palette"))->trigger();
    click(QStringLiteral("optSectionColour_4"));
    click(QStringLiteral("CmdOk"));
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.lastText().toStdString();
    SectionColours preset4;
    preset4.ApplyPalette(4);
    EXPECT_EQ(readAll(mine), preset4.fileBytes());
    EXPECT_EQ(readAll(shipped), shippedBefore) << "the shared folder is not written";

    // the next start reads the user's copy before the shipped one
    window.reset();
    open(WritablePaths::Target::UserFolders);
    window->paletteWindow()->frmSectionColourInit();
    EXPECT_EQ(window->sectionColours(), preset4);
}

TEST_F(InstalledMainWindow, ConfigurationDialogsStartInTheUsersFolder)
{
    open(WritablePaths::Target::UserFolders);
    commands().Save();
    commands().Load();
    ASSERT_EQ(dialogs.requests.size(), 2);
    EXPECT_EQ(dialogs.requests[0].folder, user.documents);
    EXPECT_EQ(dialogs.requests[1].folder, user.documents);
    EXPECT_TRUE(QFileInfo(user.documents).isDir());

    // saving there works without any folder made by hand
    const QString file = user.documents + QStringLiteral("/unit.txt");
    dialogs.answers.push_back(file);
    commands().Save();
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(messages.lastText(), QStringLiteral(" Configuration SAVED "));
}

TEST_F(InstalledMainWindow, BuildFolderCopyKeepsItsOwnFolders)
{
    open(WritablePaths::Target::ProgramFolder);
    commands().Save();
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].folder, folder.path() + QStringLiteral("/res/txt"));
    EXPECT_FALSE(QFileInfo::exists(user.documents));
    EXPECT_FALSE(QFileInfo::exists(user.config));
}

} // namespace
