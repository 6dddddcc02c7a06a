#pragma once

// The real configuration page on a fresh session with the shipped variable
// list, joystick catalogue and pictures, fake main window and message boxes.
#include "fakedevicelink.h"
#include "fakemessageservice.h"
#include "fakewindows.h"
#include "frmconfig.h"
#include "manualhelp.h"
#include "manualviewer.h"
#include "sectioncolours.h"
#include "session.h"
#include "tempfile.h"
#include "faketextbox.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

class RecordingViewer : public ManualViewer
{
public:
    bool open(const QString &program, const QString &parameters) override
    {
        calls << program + QLatin1Char(' ') + parameters;
        return true;
    }
    QStringList calls;
};

class ConfigPageTest : public ::testing::Test
{
protected:
    ConfigPageTest()
    {
        session.mainWindow = &window;
        session.pages = &pages;
        session.catalogue.LoadRamList(Catalogue::defaultRamListPath());
        folder.write(QStringLiteral("HX0MAN01E.pdf"), "%PDF");
        context.session = &session;
        context.mainWindow = &window;
        context.txtConnect = &connectBox;
        context.txtPar = &parBox;
        context.help = &help;
        context.colours = &colours;
    }

    void SetUp() override
    {
        ASSERT_GT(session.catalogue.VarCount, 0);
        page = std::make_unique<FrmConfig>(context);
        page->resize(762, 486);
        page->show();
        QCoreApplication::processEvents();
    }

    template <class W = QWidget>
    W *widget(const QString &name) const
    {
        W *w = page->findChild<W *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    template <class W = QWidget>
    W *widget(const char *array, int index) const
    {
        return widget<W>(QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index));
    }
    // Not hidden by the page (a widget on a tab in the back counts as shown).
    static bool shown(const QWidget *w) { return w && !w->isHidden(); }

    CVarData &entry(KrvId id) const { return *session.catalogue.entry(id); }
    CVarDataS &var(KrvId id) const { return *session.catalogue.data(id); }
    // As a read from the controller leaves the record.
    void read(KrvId id, int32_t value) const { entry(id).ReadE2FromQEL(value); }

    FakeMessageService messages;
    FakeDeviceLinkFactory factory;
    Session session{&factory, &messages};
    FakeMainWindow window;
    FakePageSet pages;
    FakeTextBox connectBox;
    FakeTextBox parBox;
    RecordingViewer viewer;
    TempFolder folder;
    ManualHelp help{&viewer, &messages, folder.path(QString())};
    SectionColours colours;
    PageContext context;
    std::unique_ptr<FrmConfig> page;
};
