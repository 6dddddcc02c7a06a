#pragma once

// The real main window with scripted message boxes, file dialogs, manual
// viewer and launcher, in a program folder of its own.
#include "fakemessageservice.h"
#include "shellfakes.h"
#include "tempfile.h"
#include "watchedlink.h"

#include "componentfactory.h"
#include "frmconfig.h"
#include "frmmain.h"
#include "frmmonitor.h"
#include "maincommands.h"
#include "maindrawing.h"
#include "pagefactory.h"
#include "respaths.h"
#include "session.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A configuration page whose check objects to a write, and a monitor whose
// poll can be held busy: stand-ins the main window cannot tell from the real ones.
class CheckingConfig : public FrmConfig
{
public:
    using FrmConfig::FrmConfig;
    QString CheckDataToWrite() override { return problems; }
    QString problems;
};

class BusyMonitor : public FrmMonitor
{
public:
    using FrmMonitor::FrmMonitor;
    bool StatusTimerForm() const override { return busy; }
    void DisableTimer() override { ++disableCalls; }
    bool busy = false;
    int disableCalls = 0;
};

class TestPages : public PageFactory
{
public:
    PageBase *create(Kind kind, const PageContext &context, QWidget *parent) override
    {
        if (!standIns)
            return PageFactory::create(kind, context, parent);
        if (kind == Kind::Config)
            return config = new CheckingConfig(context, parent);
        if (kind == Kind::Monitor)
            return monitor = new BusyMonitor(context, parent);
        return PageFactory::create(kind, context, parent);
    }
    CheckingConfig *config = nullptr;
    BusyMonitor *monitor = nullptr;
    bool standIns = true; // false: every page is the program's own
};

// A program folder of its own: the shipped res/ plus, when asked, a manual.
class ProgramFolder
{
public:
    ProgramFolder()
    {
        QFile::link(ResPaths::programFolder() + QStringLiteral("/res"), m_dir.path(QStringLiteral("res")));
    }
    QString path() const { return m_dir.path(QString()); }
    void addManual() { m_dir.write(QStringLiteral("HX0MAN01E.pdf"), "%PDF-1.4\n"); }
    QString file(const QString &name) const { return m_dir.path(name); }

private:
    TempFolder m_dir;
};

class ShellTest : public ::testing::Test
{
protected:
    ShellServices services()
    {
        ShellServices s;
        s.messages = &messages;
        s.dialogs = &dialogs;
        s.viewer = &viewer;
        s.launcher = &launcher;
        s.pages = &pages;
        s.writePreview = &preview;
        s.keyStorePath = folder.file(QStringLiteral("keystore.ini"));
        s.searchPath = folder.file(QStringLiteral("nobin"));
        s.programFolder = folder.path();
        s.endProgram = [this](int code) { endCodes << code; };
        return s;
    }

    void openWindow()
    {
        window = std::make_unique<FrmMain>(session, services());
        window->Load();
        window->show();
        window->selectTab(1);
    }

    void SetUp() override
    {
        QApplication::setQuitOnLastWindowClosed(false);
        openWindow();
    }

    void TearDown() override { window.reset(); }

    MainCommands &commands() { return window->commands(); }
    void tick() { window->drawing().tick(); }
    int16_t state() const { return session.IsConnectObj.value(); }
    QString fileBox() const { return window->txtFileTosave()->text(); }
    CVarDataS &var(KrvId id) { return *session.catalogue.data(id); }
    int messageCount(const QString &text) const
    {
        int n = 0;
        for (const auto &m : messages.shown)
            n += m.text == text ? 1 : 0;
        return n;
    }

    ProgramFolder folder;
    FakeMessageService messages;
    ScriptedFileDialogs dialogs;
    RecordingViewer viewer;
    RecordingLauncher launcher;
    ScriptedWritePreview preview;
    TestPages pages;
    WatchedLinkFactory components; // the real component, its accesses counted
    Session session{&components, &messages};
    std::unique_ptr<FrmMain> window;
    QList<int> endCodes;
};

} // namespace
