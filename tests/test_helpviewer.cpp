// Help on a real desktop: the manual goes to the first PDF viewer found on
// PATH at the window's page, and the user is told when there is none.
#include "fakemessageservice.h"
#include "tempfile.h"

#include "devlink.h"
#include "documentopener.h"
#include "manualhelp.h"
#include "manualviewer.h"

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

} // namespace
