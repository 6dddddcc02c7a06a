// The diagnostics page against krv-sim over a pseudo-terminal: error bits
// raised in the virtual controller reach the rows and the active error list.
#include "diagnosticerror.h"
#include "frmdiagnostic.h"
#include "pagefixture.h"
#include "pagepoller.h"
#include "simprocess.h"

#include <QTimer>
#include <QTreeWidget>
#include <memory>

namespace {

class DiagnosticOverSim : public PageFixture
{
protected:
    DiagnosticOverSim() : PageFixture(true) {}

    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
        loadShippedList();
        session.e2Image.CountAllPageVars();
        page = std::make_unique<FrmDiagnostic>(context);
        page->setTag(QStringLiteral("A3"));
        usePage(page.get());
        connectLink();
        ASSERT_EQ(session.e2Image.ReadE2All(session.e2Image.AllPagesMask()), QString());
        session.IsConnectObj = ConnectionState::Connected;
    }

    QStringList listed() const
    {
        QStringList texts;
        for (int i = 0; i < page->ListView1()->topLevelItemCount(); ++i)
            texts << page->ListView1()->topLevelItem(i)->text(0);
        return texts;
    }

    bool listShows(const QStringList &expected) { return waitFor([&] { return listed() == expected; }, 10000); }

    SimProcess sim;
    std::unique_ptr<FrmDiagnostic> page;
};

TEST_F(DiagnosticOverSim, RaisedErrorBitsAreListedAndCleared)
{
    page->row(3)->setEnable(true);
    page->Activate();
    ASSERT_TRUE(page->TimerDiagnostic()->isActive());
    sim.set("fault.KRV_ERROR_SEC_1", "5");
    ASSERT_TRUE(listShows({"1 - Section 1", "4 - Section 1"})) << listed().join(", ").toStdString();
    EXPECT_EQ(page->ListView1()->topLevelItem(1)->text(1), "E402");
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::DiagnosticPolling);

    sim.set("fault.KRV_ERROR_SEC_1", "4");
    ASSERT_TRUE(listShows({"4 - Section 1"})) << listed().join(", ").toStdString();
    sim.unset("fault.KRV_ERROR_SEC_1");
    ASSERT_TRUE(listShows({}));
}

TEST_F(DiagnosticOverSim, RowsThatAreNotTickedAreNotPolled)
{
    page->Activate();
    sim.set("fault.KRV_ERROR_SEC_4", "2");
    sim.set("fault.KRV_ERROR_CODE", "128"); // row 0 is off until ticked
    ASSERT_TRUE(listShows({"2 - Section 4"})) << listed().join(", ").toStdString();
    page->row(0)->setEnable(true);
    ASSERT_TRUE(listShows({"2 - Section 4", "128 - Controller"})) << listed().join(", ").toStdString();
}

TEST_F(DiagnosticOverSim, ControllerHangingUpEndsPollingAndDropsTheLink)
{
    page->Activate();
    ASSERT_TRUE(waitFor([&] { return page->StatusTimerForm(); }, 5000));
    sim.set("disconnect-after", "1");
    ASSERT_TRUE(waitFor([&] { return !page->TimerDiagnostic()->isActive(); }, 15000));
    EXPECT_EQ(session.IsConnectObj.value(), ConnectionState::NotConnected);
    EXPECT_FALSE(session.devLink.isOpen());
}

} // namespace
