#pragma once

#include "componentfactory.h"
#include "fakedevicelink.h"
#include "fakemessageservice.h"
#include "fakewindows.h"
#include "session.h"
#include "tempfile.h"

#include <QStringList>
#include <gtest/gtest.h>

// A fresh session wired to fake windows and the in-memory controller (or,
// with realLink, to the device-link component, e.g. talking to krv-sim).
// Pages as the program has them: Configure reads 10 and writes 11, Key and
// Info read 10000 and write 10001, the others take part in no transfer.
class TransferFixture : public ::testing::Test
{
protected:
    explicit TransferFixture(bool realLink = false)
        : session(realLink ? static_cast<IDeviceLinkFactory *>(&components) : &factory, &messages)
    {
        session.mainWindow = &window;
        session.pages = &pages;
        session.waitWindow = &wait;
        session.commentPage = &comment;
        pages.pages = {&config, &monitor, &diagnostic, &service, &debug, &info};
        pages.current = &config;
    }

    // Loads a variable list made of the header and the given lines.
    void loadList(const QStringList &lines)
    {
        const QByteArray text = ("Header\r\n" + lines.join(QStringLiteral("\r\n")) + "\r\n").toLatin1();
        ASSERT_TRUE(session.catalogue.LoadRamList(folder.write(QStringLiteral("Ramlist.ini"), text)));
        session.e2Image.CountAllPageVars();
    }

    void connectLink()
    {
        session.devLink.ComPort = 1;
        ASSERT_TRUE(session.rs232.Connect());
    }

    CVarDataS &var(int index) { return *session.catalogue.data(index); }
    FakeController &controller() { return *factory.controller; }

    FakeMessageService messages;
    FakeDeviceLinkFactory factory;
    ComponentFactory components;
    Session session;
    FakeMainWindow window;
    FakePageSet pages;
    FakeWaitWindow wait;
    FakeCommentPage comment;
    FakePage config{QStringLiteral("A1"), 10, 11};
    FakePage monitor{QStringLiteral("A2"), 0, 0};
    FakePage diagnostic{QStringLiteral("A3"), 0, 0};
    FakePage service{QStringLiteral("A4"), 10000, 10001};
    FakePage debug{QStringLiteral("A5"), 0, 0};
    FakePage info{QStringLiteral("A6"), 10000, 10001};
    TempFolder folder;
};
