// The palette window inside the real main window: the colours it sets are the
// ones the configuration page and the monitor paint with.
#include "shellfixture.h"

#include "frmsectioncolour.h"
#include "vbcolor.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QTest>

namespace {

class PaletteInMainWindow : public ShellTest
{
protected:
    QColor band(PageBase *page, const QString &name) const
    {
        auto *label = page->findChild<QLabel *>(name);
        EXPECT_NE(label, nullptr) << name.toStdString();
        return label ? label->palette().color(QPalette::Window) : QColor();
    }
    void click(const QString &name)
    {
        auto *button = window->paletteWindow()->findChild<QAbstractButton *>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static QColor colour(int32_t value) { return VbColor::toQColor(static_cast<quint32>(value)); }
};

TEST_F(PaletteInMainWindow, PresetAndCancelRepaintBothPages)
{
    FrmSectionColour *palette = window->paletteWindow();
    palette->frmSectionColourInit();
    const QColor section1 = colour(window->sectionColours().SectionBackColour[0]);
    EXPECT_EQ(band(pages.config, QStringLiteral("lblCurrent_0")), section1);
    EXPECT_EQ(band(pages.monitor, QStringLiteral("lblCurrent_0")), section1);

    window->menuItem(QStringLiteral("mnuSet_Palette"))->trigger();
    ASSERT_TRUE(palette->isVisible());
    click(QStringLiteral("optSectionColour_4"));
    // preset 4: sections 1 and 4 red and yellow on both pages at once
    EXPECT_EQ(band(pages.config, QStringLiteral("lblCurrent_0")), QColor(0xFF, 0, 0));
    EXPECT_EQ(band(pages.config, QStringLiteral("lblRump_3")), QColor(0xFF, 0xFF, 0));
    EXPECT_EQ(band(pages.monitor, QStringLiteral("lblCurrent_0")), QColor(0xFF, 0, 0));
    EXPECT_EQ(band(pages.monitor, QStringLiteral("lblJoy_3")), QColor(0xFF, 0xFF, 0));

    click(QStringLiteral("CmdCancel"));
    EXPECT_FALSE(palette->isVisible());
    EXPECT_EQ(band(pages.config, QStringLiteral("lblCurrent_0")), section1);
    EXPECT_EQ(band(pages.monitor, QStringLiteral("lblCurrent_0")), section1);
}

TEST_F(PaletteInMainWindow, MenuOpensTheWindowWithNoPresetChosen)
{
    window->menuItem(QStringLiteral("mnuSet_Palette"))->trigger();
    click(QStringLiteral("optSectionColour_2"));
    click(QStringLiteral("CmdCancel"));
    window->menuItem(QStringLiteral("mnuSet_Palette"))->trigger();
    for (int i = 0; i < 6; ++i) {
        auto *option = window->paletteWindow()->findChild<QAbstractButton *>(QStringLiteral("optSectionColour_%1").arg(i));
        ASSERT_NE(option, nullptr);
        EXPECT_FALSE(option->isChecked()) << i;
    }
}

} // namespace
