// Help on a real desktop: the manual goes to the desktop's default PDF
// application, else the first PDF viewer found on PATH, at the window's page
// where the viewer takes one, and the user is told when there is none.
#include "fakemessageservice.h"
#include "tempfile.h"

#include "devlink.h"
#include "documentopener.h"
#include "manualhelp.h"
#include "manualviewer.h"
#include "respaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// PATH holding only the given stub programs, each recording its arguments
// one per line; the old PATH comes back at the end of the test.
class StubPath
{
public:
    explicit StubPath(const QStringList &programs)
    {
        for (const QString &name : programs) {
            // shell built-ins only: PATH holds nothing else
            const QString script = m_dir.write(
                name, QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"%1\"\necho > \"%1.done\"\n")
                          .arg(log(name))
                          .toUtf8());
            QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_dir.path(QString()).toLocal8Bit());
    }
    ~StubPath() { qputenv("PATH", m_oldPath); }

    QString program(const QString &name) const { return m_dir.path(name); }
    // A stub with its own shell text.
    void addScript(const QString &name, const QString &text)
    {
        const QString script = m_dir.write(name, (QStringLiteral("#!/bin/sh\n") + text).toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString log(const QString &name) const { return m_dir.path(name + QStringLiteral(".args")); }

    // The arguments a started stub recorded, waiting a little for it to run.
    QStringList arguments(const QString &name) const
    {
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists(log(name) + QStringLiteral(".done")) && clock.elapsed() < 5000)
            DevLink::WaitMs(20);
        QFile f(log(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    TempFolder m_dir;
    QByteArray m_oldPath;
};

// The desktop's own choice of PDF application: `xdg-mime` on PATH naming a
// desktop entry in a private applications folder; the old XDG_DATA_HOME comes
// back at the end of the test.
class DesktopDefault
{
public:
    DesktopDefault(StubPath &path, const QString &exec)
    {
        path.addScript(QStringLiteral("xdg-mime"), QStringLiteral("echo reader.desktop\n"));
        QDir().mkpath(m_dir.path(QStringLiteral("applications")));
        m_dir.write(QStringLiteral("applications/reader.desktop"),
                    QStringLiteral("[Desktop Entry]\nType=Application\nName=Reader\nExec=%1\n\n[Desktop Action new]\nExec=other\n")
                        .arg(exec)
                        .toUtf8());
        m_oldHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_dir.path(QString()).toLocal8Bit());
    }
    ~DesktopDefault() { qputenv("XDG_DATA_HOME", m_oldHome); }

private:
    TempFolder m_dir;
    QByteArray m_oldHome;
};

// A program folder with a manual in it.
struct ManualFolder
{
    ManualFolder()
    {
        QDir().mkpath(path());
        dir.write(QStringLiteral("prog/HX0MAN01E.pdf"), "%PDF-1.4\n");
    }
    QString path() const { return dir.path(QStringLiteral("prog")); }
    QString manual() const { return path() + QStringLiteral("/HX0MAN01E.pdf"); }
    TempFolder dir;
};

class FailingViewer : public ManualViewer
{
public:
    bool open(const QString &, const QString &) override
    {
        ++calls;
        return false;
    }
    int calls = 0;
};

TEST(HelpViewer, MonitorPageOpensInTheViewerFoundOnPath)
{
    ManualFolder prog;
    StubPath path({QStringLiteral("okular")});
    FakeMessageService messages;
    SystemManualViewer viewer;
    ManualHelp help(&viewer, &messages, prog.path());
    help.open(26);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.lastText().toStdString();
    EXPECT_EQ(path.arguments(QStringLiteral("okular")), (QStringList{"-p", "26", prog.manual()}));
}

TEST(HelpViewer, NoViewerAndNoOpenerIsSaidClearly)
{
    ManualFolder prog;
    StubPath empty({});
    FakeMessageService messages;
    SystemManualViewer viewer;
    ManualHelp help(&viewer, &messages, prog.path());
    help.open(26);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, ManualHelp::noViewerText(prog.manual()));
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("No PDF viewer found to open the user manual.")));
    EXPECT_TRUE(messages.shown[0].text.endsWith(prog.manual())) << "the user can still find the manual";
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Warning);

    // PATH not empty but with nothing that opens a PDF
    StubPath unrelated({QStringLiteral("ls")});
    help.open(1);
    EXPECT_EQ(messages.shown.size(), 2);
}

TEST(HelpViewer, ViewerThatCannotStartIsReportedOnceAndMissingManualComesFirst)
{
    ManualFolder prog;
    FakeMessageService messages;
    FailingViewer viewer;
    ManualHelp help(&viewer, &messages, prog.path());
    help.open(10);
    EXPECT_EQ(viewer.calls, 1);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), ManualHelp::noViewerText(prog.manual()));

    QFile::remove(prog.manual());
    help.open(10);
    EXPECT_EQ(viewer.calls, 1) << "no viewer is started for a manual that is not there";
    EXPECT_TRUE(messages.lastText().startsWith(QStringLiteral("User Manual Not Found")));
}

TEST(HelpViewer, EachViewerIsToldThePageItsOwnWay)
{
    const QString params = ManualHelp::parameterText(26, QStringLiteral("/opt/krv"));
    const QString doc = QStringLiteral("/opt/krv/HX0MAN01E.pdf");
    struct Case
    {
        const char *viewer;
        QStringList arguments;
    };
    const Case cases[] = {
        {"evince", {"-p", "26", doc}},   {"atril", {"-p", "26", doc}},   {"xreader", {"-p", "26", doc}},
        {"zathura", {"-P", "26", doc}},  {"qpdfview", {doc + "#26"}},    {"mupdf", {doc, "26"}},
    };
    for (const Case &c : cases) {
        StubPath path({QString::fromLatin1(c.viewer)});
        const DocumentOpener::Launch launch = DocumentOpener::plan(QStringLiteral("AcroRd32.exe"), params);
        EXPECT_EQ(launch.program, path.program(QString::fromLatin1(c.viewer))) << c.viewer;
        EXPECT_EQ(launch.arguments, c.arguments) << c.viewer;
    }
}

TEST(HelpViewer, PreferredViewerWinsAndTheOpenerIsTheLastResort)
{
    const QString params = ManualHelp::parameterText(33, QStringLiteral("/opt/krv"));
    {
        StubPath path({QStringLiteral("mupdf"), QStringLiteral("okular"), QStringLiteral("evince")});
        EXPECT_EQ(DocumentOpener::plan(QString(), params).program, path.program(QStringLiteral("evince")));
    }
    {
        StubPath path({QStringLiteral("xdg-open"), QStringLiteral("mupdf")});
        EXPECT_EQ(DocumentOpener::plan(QString(), params).program, path.program(QStringLiteral("mupdf")));
    }
    {
        // the opener cannot be given a page, so it comes after every viewer
        StubPath path({QStringLiteral("xdg-open")});
        const DocumentOpener::Launch launch = DocumentOpener::plan(QString(), params);
        EXPECT_EQ(launch.program, path.program(QStringLiteral("xdg-open")));
        EXPECT_EQ(launch.arguments, QStringList{QStringLiteral("/opt/krv/HX0MAN01E.pdf")});
    }
}

TEST(HelpViewer, DesktopDefaultComesFirstAtThePageWhereItTakesOne)
{
    const QString params = ManualHelp::parameterText(33, QStringLiteral("/opt/krv"));
    const QString doc = QStringLiteral("/opt/krv/HX0MAN01E.pdf");
    struct Case
    {
        const char *exec;      // the default application's Exec line
        const char *program;   // the stub that must be started
        QStringList arguments;
    };
    const Case cases[] = {
        // a viewer that takes a page gets it, ahead of the first one on the list
        {"okular %U", "okular", {"-p", "33", doc}},
        // any other application gets its own command line, field codes filled in
        {"reader --new-window --icon=%i %f", "reader", {"--new-window", "--icon=", doc}},
        {"\"reader\" --single", "reader", {"--single", doc}},
        // a default whose program is not installed is passed over
        {"missing-reader %U", "evince", {"-p", "33", doc}},
    };
    for (const Case &c : cases) {
        StubPath path({QStringLiteral("evince"), QStringLiteral("okular"), QStringLiteral("reader")});
        DesktopDefault desktop(path, QString::fromLatin1(c.exec));
        const DocumentOpener::Launch launch = DocumentOpener::plan(QString(), params);
        EXPECT_EQ(launch.program, path.program(QString::fromLatin1(c.program))) << c.exec;
        EXPECT_EQ(launch.arguments, c.arguments) << c.exec;
    }
}

TEST(HelpViewer, HelpStartsTheDesktopDefaultThroughTheRealPath)
{
    ManualFolder prog;
    StubPath path({QStringLiteral("evince"), QStringLiteral("reader")});
    DesktopDefault desktop(path, QStringLiteral("reader %u"));
    FakeMessageService messages;
    SystemManualViewer viewer;
    ManualHelp help(&viewer, &messages, prog.path());
    help.open(18);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.lastText().toStdString();
    EXPECT_EQ(path.arguments(QStringLiteral("reader")), QStringList{prog.manual()});
}

TEST(HelpViewer, AnInstalledCopyFindsItsDataAndItsManualInTheirOwnFolders)
{
    // <prefix>/lib/krvstudio holds the programs, <prefix>/share/krvstudio res/
    // and installed.ini, <prefix>/share/doc/krvstudio the manual
    TempFolder prefix;
    for (const char *folder : {"lib/krvstudio", "share/krvstudio/res/ini", "share/doc/krvstudio"})
        QDir().mkpath(prefix.path(QString::fromLatin1(folder)));
    const QString binaries = prefix.path(QStringLiteral("lib/krvstudio"));
    const QString data = prefix.path(QStringLiteral("share/krvstudio"));
    const QString manual = prefix.path(QStringLiteral("share/doc/krvstudio/HX0MAN01E.pdf"));
    prefix.write(QStringLiteral("share/krvstudio/installed.ini"), "[Install]\nUserFolders=1\nManualFolder=../doc/krvstudio\n");
    EXPECT_EQ(ResPaths::programFolderFor(binaries), data);
    EXPECT_EQ(ResPaths::manualFolder(data), prefix.path(QStringLiteral("share/doc/krvstudio")));

    StubPath path({QStringLiteral("evince")});
    FakeMessageService messages;
    SystemManualViewer viewer;
    ManualHelp help(&viewer, &messages, data);
    help.open(26);
    ASSERT_EQ(messages.shown.size(), 1) << "no manual yet";
    EXPECT_EQ(messages.lastText(), QStringLiteral("User Manual Not Found : ") + manual);
    prefix.write(QStringLiteral("share/doc/krvstudio/HX0MAN01E.pdf"), "%PDF-1.4\n");
    help.open(26);
    EXPECT_EQ(messages.shown.size(), 1) << messages.lastText().toStdString();
    EXPECT_EQ(path.arguments(QStringLiteral("evince")), (QStringList{"-p", "26", manual}));

    // res/ beside the programs (a build or a copied folder) wins, with the manual beside it
    QDir().mkpath(prefix.path(QStringLiteral("lib/krvstudio/res")));
    EXPECT_EQ(ResPaths::programFolderFor(binaries), binaries);
    EXPECT_EQ(ResPaths::manualFolder(binaries), binaries);
}

} // namespace
