// The configuration page's drawing of the system: visibility by section
// count, the lines, the model shown, the two hidden selection boxes, the
// section colours, and how the refresh steps act on one another.
#include "csection.h"
#include "linesegment.h"
#include "shapewidget.h"
#include "test_config_fixture.h"
#include "vbcolor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

class ConfigDrawingTest : public ConfigPageTest
{
protected:
    void draw(int n, int s)
    {
        entry(KRV_NUM_PROP_REG).KRVSetVar(n);
        entry(KRV_SYSTEM_TYPE).KRVSetVar(s);
        page->DrawTBXSystem();
    }

    QList<QWidget *> segments(int j) const
    {
        QList<QWidget *> list;
        for (QWidget *w : page->findChildren<QWidget *>())
            if (w->objectName().startsWith(QStringLiteral("Line%1_").arg(j)))
                list << w;
        return list;
    }
    bool lineShown(int j) const
    {
        const QList<QWidget *> list = segments(j);
        const auto visible = std::count_if(list.begin(), list.end(), [](QWidget *w) { return shown(w); });
        EXPECT_TRUE(visible == 0 || visible == list.size()) << "Line" << j;
        return visible == list.size();
    }
    // Every indexed widget of section k that the drawing shows or hides.
    QList<QWidget *> sectionWidgets(int k) const
    {
        QList<QWidget *> list;
        for (const char *array : {"MagA", "MagB", "MagAsdm", "MagBsdm", "lblMag", "lblMagsdm", "MagSel", "MagSelsdm",
                                  "LblFreq", "LblAmp", "lblCurrent", "lblCurrentsdm", "lblRump", "lblSectionDesc",
                                  "lblJoyDesc", "lblJoy", "JoySel", "LblPin", "RampA", "RampB", "ChkBreak",
                                  "ChkFull", "lblUnit1TR", "lblUnit2TF"})
            list << widget(array, k);
        return list;
    }
    void expectSections(int visible) const
    {
        for (int k = 0; k < 4; ++k)
            for (QWidget *w : sectionWidgets(k))
                EXPECT_EQ(shown(w), k < visible) << w->objectName().toStdString();
    }
    QString model() const { return widget("ImgQEL")->toolTip(); }
    QComboBox *typeBox() const { return widget<QComboBox>("CmbTBXType"); }
    QComboBox *sysTypeBox() const { return widget<QComboBox>("CmbTBXSysType"); }
};

TEST_F(ConfigDrawingTest, OneSectionOfTypeP)
{
    draw(1, 1);
    EXPECT_EQ(model(), "TBX 100 P");
    expectSections(1);
    EXPECT_TRUE(lineShown(0));
    EXPECT_FALSE(lineShown(1));
    EXPECT_FALSE(lineShown(2));
    EXPECT_FALSE(lineShown(3));
    EXPECT_EQ(typeBox()->currentIndex(), 0);
    EXPECT_EQ(sysTypeBox()->currentIndex(), 0);
    EXPECT_FALSE(shown(typeBox()));
    EXPECT_FALSE(shown(sysTypeBox()));
    for (const char *name : {"ImgQEL", "ImgQELPic", "LblMin", "Label3"})
        EXPECT_TRUE(shown(widget(name))) << name;
}

TEST_F(ConfigDrawingTest, ThreeSectionsOfTypeF)
{
    draw(3, 0);
    EXPECT_EQ(model(), "TBX 300 F");
    expectSections(3);
    EXPECT_TRUE(lineShown(1));
    EXPECT_TRUE(lineShown(2));
    EXPECT_FALSE(lineShown(3));
    EXPECT_EQ(typeBox()->currentIndex(), 2);
    EXPECT_EQ(sysTypeBox()->currentIndex(), 1);

    draw(4, 1);
    EXPECT_EQ(model(), "TBX 400 P");
    expectSections(4);
    EXPECT_TRUE(lineShown(3));
    draw(2, 1);
    EXPECT_EQ(model(), "TBX 200 P");
    expectSections(2);
    EXPECT_TRUE(lineShown(1));
    EXPECT_FALSE(lineShown(2));
}

TEST_F(ConfigDrawingTest, SystemTypeTwoIsDrawnAsF)
{
    draw(4, 1);
    ASSERT_EQ(sysTypeBox()->currentIndex(), 0);
    session.catalogue.ConfigSaved = true;
    draw(4, 2);
    EXPECT_EQ(model(), "TBX 400 F");
    EXPECT_EQ(sysTypeBox()->currentIndex(), 1);
    // Selecting "F" runs its action: the catalogue now holds F.
    EXPECT_EQ(var(KRV_SYSTEM_TYPE).KrvDisplayValueE2, 0);
    EXPECT_EQ(var(KRV_SYSTEM_TYPE).KrvDownloadValueE2, 0);
}

TEST_F(ConfigDrawingTest, CountsOutsideTheModelsNameNoModel)
{
    draw(2, 1);
    draw(0, 1);
    EXPECT_EQ(model(), "");
    expectSections(0);
    for (int j = 0; j < 4; ++j)
        EXPECT_TRUE(lineShown(j)) << j;
    EXPECT_EQ(typeBox()->currentIndex(), 1); // kept

    draw(5, 0);
    EXPECT_EQ(model(), "");
    expectSections(4);
    for (int j = 0; j < 4; ++j)
        EXPECT_TRUE(lineShown(j)) << j;

    draw(1, 7); // any type but 1 is F
    EXPECT_EQ(model(), "TBX 100 F");
}

TEST_F(ConfigDrawingTest, SelectingAModelRedraws)
{
    draw(4, 1);
    session.catalogue.ConfigSaved = true;
    typeBox()->setCurrentIndex(1);
    EXPECT_EQ(var(KRV_NUM_PROP_REG).KrvDisplayValueE2, 2);
    EXPECT_EQ(var(KRV_NUM_PROP_REG).KrvDownloadValueE2, 2);
    EXPECT_FALSE(session.catalogue.ConfigSaved);
    EXPECT_EQ(model(), "TBX 200 P");
    expectSections(2);

    sysTypeBox()->setCurrentIndex(1);
    EXPECT_EQ(var(KRV_SYSTEM_TYPE).KrvDisplayValueE2, 0);
    EXPECT_EQ(model(), "TBX 200 F");

    // The same selection again runs nothing.
    session.catalogue.ConfigSaved = true;
    entry(KRV_NUM_PROP_REG).Data->KrvDisplayValueE2 = 3;
    typeBox()->setCurrentIndex(1);
    EXPECT_TRUE(session.catalogue.ConfigSaved);
    EXPECT_EQ(var(KRV_NUM_PROP_REG).KrvDisplayValueE2, 3);
}

TEST_F(ConfigDrawingTest, HiddenRangeBoxesAreRefilledNotGrown)
{
    page->DrawTBXSystem();
    page->DrawTBXSystem();
    auto *range = widget<QComboBox>("CmbAIRange");
    auto *prop = widget<QComboBox>("Cmb2BProp");
    ASSERT_EQ(range->count(), 2);
    EXPECT_EQ(range->itemText(0), "5V");
    EXPECT_EQ(range->itemText(1), "10V");
    ASSERT_EQ(prop->count(), 2);
    EXPECT_EQ(prop->itemText(0), "OFF");
    EXPECT_EQ(prop->itemText(1), "ON");
}

TEST_F(ConfigDrawingTest, ColoursGoToTheirSectionOnly)
{
    page->RefreshColour();
    const quint32 before = quint32(colours.SectionBackColour[0]);
    const quint32 red = VbColor::rgb(200, 10, 20);
    const quint32 yellow = VbColor::rgb(250, 240, 10);
    colours.SectionBackColour[2] = int32_t(red);
    colours.SectionTextColour[2] = int32_t(yellow);
    page->RefreshColour();

    const QColor redColour(200, 10, 20);
    const QColor yellowColour(250, 240, 10);
    for (const char *array : {"MagA", "MagB", "MagAsdm", "MagBsdm"}) {
        EXPECT_EQ(widget<CSection>(array, 2)->BackColor(), red) << array;
        EXPECT_EQ(widget<CSection>(array, 2)->FontColor(), yellow) << array;
        EXPECT_EQ(widget<CSection>(array, 0)->BackColor(), before) << array;
    }
    for (const char *array : {"lblCurrentsdm", "lblJoy", "lblCurrent", "lblRump", "RampA", "RampB", "ChkFull",
                              "ChkBreak", "LblFreq", "LblAmp"}) {
        EXPECT_EQ(widget(array, 2)->palette().color(QPalette::Window), redColour) << array;
        EXPECT_NE(widget(array, 1)->palette().color(QPalette::Window), redColour) << array;
    }
    for (const char *array : {"RampA", "RampB", "ChkFull", "ChkBreak", "lblUnit1TR", "lblUnit1TF", "lblUnit2TR",
                              "lblUnit2TF", "LblFreq", "LblAmp", "LblPin"}) {
        EXPECT_EQ(widget(array, 2)->palette().color(QPalette::WindowText), yellowColour) << array;
        EXPECT_NE(widget(array, 3)->palette().color(QPalette::WindowText), yellowColour) << array;
    }
    for (const char *array : {"MagFocus", "MagFocussdm"})
        EXPECT_EQ(widget<ShapeWidget>(array, 2)->borderColor(), yellow) << array << ": the dither focus frame shows";
    for (int j = 0; j < 4; ++j)
        for (QWidget *w : segments(j))
            EXPECT_EQ(static_cast<LineSegment *>(w)->borderColor(), j == 2 ? red : quint32(colours.SectionBackColour[j]));
}

TEST_F(ConfigDrawingTest, RefreshObjectLetsTheControllerSystemTypeWin)
{
    // The drawing uses the display value, the refresh the controller's value,
    // and the refresh comes second.
    read(KRV_SYSTEM_TYPE, 0);
    entry(KRV_SYSTEM_TYPE).KRVSetVar(1);
    entry(KRV_NUM_PROP_REG).KRVSetVar(3);
    page->RefreshObject();
    EXPECT_EQ(sysTypeBox()->currentIndex(), 1);
    EXPECT_EQ(var(KRV_SYSTEM_TYPE).KrvDisplayValueE2, 0);
    EXPECT_EQ(model(), "TBX 300 F");

    // A controller value that names no type leaves the box and the model.
    read(KRV_SYSTEM_TYPE, 2);
    entry(KRV_SYSTEM_TYPE).KRVSetVar(0);
    page->RefreshData();
    EXPECT_EQ(sysTypeBox()->currentIndex(), 1);
    EXPECT_EQ(model(), "TBX 300 F");
}

TEST_F(ConfigDrawingTest, RefreshObjectNamesAndColoursAfterBinding)
{
    // Names come after the binding, colours last: a refresh repairs both.
    widget<CSection>("MagA", 1)->setSectionName(QStringLiteral("xx"));
    widget<CSection>("MagA", 1)->setBackColor(0x123456);
    entry(KRV_NUM_PROP_REG).KRVSetVar(2);
    read(KRV_JOY_1_CONFIG, 0x0051);
    page->RefreshObject();
    EXPECT_EQ(widget<CSection>("MagA", 1)->SectionName(), "2A");
    EXPECT_EQ(widget<CSection>("MagA", 1)->BackColor(), quint32(colours.SectionBackColour[1]));
    EXPECT_EQ(widget<QLabel>("LblPin", 1)->text(), "Z axis");
    expectSections(2);
    // Every ramp now sends what it shows.
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(QString::number(var(KrvId(KRV_RAMP_TRISE_0 + c)).KrvDownloadValueE2),
                  widget<QLineEdit>("TxtTRise", c)->text());
}

} // namespace

namespace {

// The page in the size the main window gives it: everything shown lies
// inside the page, and inside the tab or frame that holds it.
TEST_F(ConfigDrawingTest, EveryShownWidgetFitsInsideItsParent)
{
    page->resize(766, 486);
    page->RefreshObject();
    auto *tabs = widget<QTabWidget>("SSTab1");
    const QString shots = qEnvironmentVariable("KRV_SCREENSHOT_DIR");
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        QCoreApplication::processEvents();
        for (QWidget *w : page->findChildren<QWidget *>()) {
            if (!w->isVisible() || w->isWindow() || w->parentWidget() == tabs->findChild<QStackedWidget *>())
                continue;
            const QRect inParent = w->geometry();
            EXPECT_TRUE(w->parentWidget()->rect().contains(inParent))
                << w->objectName().toStdString() << " in " << w->parentWidget()->objectName().toStdString();
            const QRect onPage(w->mapTo(page.get(), QPoint(0, 0)), w->size());
            EXPECT_TRUE(page->rect().contains(onPage)) << w->objectName().toStdString();
        }
        if (!shots.isEmpty())
            page->grab().save(QStringLiteral("%1/config_tab%2.png").arg(shots).arg(t));
    }
}

} // namespace
