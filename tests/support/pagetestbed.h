#pragma once

#include "fakedevicelink.h"
#include "fakemessageservice.h"
#include "fakewindows.h"
#include "tempfile.h"

#include "catalogue.h"
#include "componentfactory.h"
#include "manualhelp.h"
#include "manualviewer.h"
#include "pagecontext.h"
#include "session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QPair>

// Records what the help key hands to the manual viewer.
class RecordingViewer : public ManualViewer
{
public:
    bool open(const QString &program, const QString &parameters) override
    {
        calls.append({program, parameters});
        return true;
    }
    QList<QPair<QString, QString>> calls;
};

// What a page needs around it in a test: a session on the shipped variable
// list with a fake controller behind the link (COM 1) or, with realLink, the
// device-link component (to talk to krv-sim), a recording main window,
// scripted message boxes, the login flag and a manual to open.
struct PageTestBed
{
    FakeDeviceLinkFactory links;
    ComponentFactory components;
    FakeMessageService messages;
    Session session;
    FakeMainWindow mainWindow;
    TempFolder folder;
    RecordingViewer viewer;
    ManualHelp help{&viewer, &messages, folder.path(QString())};
    bool loggedIn = true;

    explicit PageTestBed(bool realLink = false)
        : session(realLink ? static_cast<IDeviceLinkFactory *>(&components) : &links, &messages)
    {
        session.catalogue.LoadRamList(Catalogue::defaultRamListPath());
        session.mainWindow = &mainWindow;
        session.devLink.ComPort = 1;
        folder.write(ManualHelp::manualFileName(), "%PDF-1.4\n");
    }

    PageContext context()
    {
        PageContext c;
        c.session = &session;
        c.mainWindow = &mainWindow;
        c.help = &help;
        c.loggedIn = [this] { return loggedIn; };
        return c;
    }

    FakeController &controller() { return *links.controller; }

    // Lets timers and events run for a while.
    static void runEvents(int milliseconds)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};
