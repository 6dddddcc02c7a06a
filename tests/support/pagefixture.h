#pragma once

#include "catalogue.h"
#include "manualhelp.h"
#include "pagecontext.h"
#include "pagetestbed.h"
#include "faketextbox.h"
#include "transferfixture.h"
#include "waituntil.h"

#include <QCoreApplication>
#include <QImage>
#include <QWidget>

// The session and fake main window of TransferFixture, the shipped variable
// list and a page context for real page windows.
class PageFixture : public TransferFixture
{
protected:
    explicit PageFixture(bool realLink = false) : TransferFixture(realLink)
    {
        context.session = &session;
        context.mainWindow = &window;
        context.txtConnect = &txtConnect;
        context.txtPar = &txtPar;
        context.help = &help;
        folder.write(ManualHelp::manualFileName(), "%PDF-1.4\n");
    }

    void loadShippedList() { ASSERT_TRUE(session.catalogue.LoadRamList(Catalogue::defaultRamListPath())); }

    // The real page takes the place of its stand-in (same tag) and comes to the front.
    void usePage(PageWindow *page)
    {
        for (PageWindow *&slot : pages.pages)
            if (slot->Tag() == page->Tag())
                slot = page;
        pages.current = page;
    }

    CVarDataS &var(KrvId id) { return *session.catalogue.data(id); }
    void setWord(KrvId id, int32_t value) { controller().setWord(var(id).Address, value); }
    // Reads of the controller at a variable's address so far.
    int readsOf(KrvId id) const
    {
        const int32_t address = session.catalogue.data(id)->Address;
        int n = 0;
        for (const FakeController::Access &a : factory.controller->log)
            if (!a.write && a.a * 256 + a.b == address)
                ++n;
        return n;
    }

    // Lets events run until the condition holds or the time is up.
    template <typename Condition>
    static bool waitFor(Condition condition, int milliseconds = 3000) { return waitUntil(condition, milliseconds); }

    // Saves a picture of the widget when KRV_SHOT_DIR names a folder (for looking at it).
    static void saveShot(QWidget &widget, const QString &name)
    {
        const QString folder = qEnvironmentVariable("KRV_SHOT_DIR");
        if (!folder.isEmpty())
            widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    FakeTextBox txtConnect;
    FakeTextBox txtPar;
    RecordingViewer viewer;
    ManualHelp help{&viewer, &messages, folder.path(QString())};
    PageContext context;
};
