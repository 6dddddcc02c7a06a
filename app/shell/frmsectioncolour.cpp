#include "frmsectioncolour.h"

#include "appinfo.h"
#include "controlarray.h"
#include "filedialogservice.h"
#include "helpshortcut.h"
#include "messageservice.h"
#include "vbpalette.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// A sample or section label painted in a colour pair.
void paintLabel(QLabel *label, int32_t back, int32_t text)
{
    VbColor::applyTo(label, QPalette::Window, static_cast<quint32>(back));
    VbColor::applyTo(label, QPalette::WindowText, static_cast<quint32>(text));
}

QLabel *sampleLabel(const QString &caption, const QString &name)
{
    auto *label = new QLabel(caption);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumSize(80, 22);
    label->setFrameShape(QFrame::Box);
    return label;
}

} // namespace

FrmSectionColour::FrmSectionColour(SectionColours &colours, QString colourPath, Services services, QWidget *parent)
    : QDialog(parent), m_colours(colours), m_colourPath(std::move(colourPath)), m_services(services)
{
    setObjectName(QStringLiteral("frmSectionColour"));
    setWindowTitle(AppInfo::title() + QStringLiteral(" - Palette"));

    auto *presetBox = new QGroupBox(QStringLiteral("Palettes"));
    auto *presetGrid = new QGridLayout(presetBox);
    buildPresets(presetGrid);

    auto *sectionBox = new QGroupBox(QStringLiteral("Sections"));
    auto *sectionGrid = new QGridLayout(sectionBox);
    buildSections(sectionGrid);

    CmdOk = new QPushButton(QStringLiteral("OK"));
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("Cancel"));
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    connect(CmdOk, &QPushButton::clicked, this, &FrmSectionColour::cmdOk);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmSectionColour::cmdCancel);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(presetBox);
    layout->addWidget(sectionBox);
    layout->addLayout(buttons);

    HelpShortcut::install(this, m_services.help, HelpPage);
}

void FrmSectionColour::buildPresets(QGridLayout *grid)
{
    m_presetGroup = new QButtonGroup(this);
    for (int i = 0; i < Presets; ++i) {
        auto *option = new QRadioButton(QStringLiteral("Option1"));
        option->setObjectName(ControlArray::name(QStringLiteral("optSectionColour"), i));
        m_presetGroup->addButton(option, i);
        optSectionColour[static_cast<size_t>(i)] = option;
        connect(option, &QRadioButton::clicked, this, [this, i] { ApplyPalette(i); });
        grid->addWidget(option, i, 0);
        for (int k = 0; k < Sections; ++k) {
            QLabel *sample = sampleLabel(QStringLiteral("section %1").arg(k + 1),
                                         ControlArray::name(QStringLiteral("lblSectionColour%1").arg(k + 1), i));
            paintLabel(sample, SectionColours::presetBackColour(i, k), SectionColours::presetTextColour(i, k));
            grid->addWidget(sample, i, k + 1);
        }
    }
}

void FrmSectionColour::buildSections(QGridLayout *grid)
{
    for (int k = 0; k < Sections; ++k) {
        const auto slot = static_cast<size_t>(k);
        lblSec[slot] = sampleLabel(QStringLiteral("SECTION %1").arg(k + 1), ControlArray::name(QStringLiteral("lblSec"), k));
        lblSec[slot]->setMinimumHeight(36);
        SecBack[slot] = new QPushButton(QStringLiteral("Set Back Color"));
        SecBack[slot]->setObjectName(ControlArray::name(QStringLiteral("SecBack"), k));
        SecText[slot] = new QPushButton(QStringLiteral("Set text Color"));
        SecText[slot]->setObjectName(ControlArray::name(QStringLiteral("SecText"), k));
        connect(SecBack[slot], &QPushButton::clicked, this, [this, k] { chooseColour(k, true); });
        connect(SecText[slot], &QPushButton::clicked, this, [this, k] { chooseColour(k, false); });
        grid->addWidget(lblSec[slot], 0, k);
        grid->addWidget(SecBack[slot], 1, k);
        grid->addWidget(SecText[slot], 2, k);
    }
}

void FrmSectionColour::setColourRefreshes(std::function<void()> configPage, std::function<void()> monitorPage)
{
    m_refreshConfig = std::move(configPage);
    m_refreshMonitor = std::move(monitorPage);
}

SectionColours::LoadResult FrmSectionColour::frmSectionColourInit()
{
    const SectionColours::LoadResult result =
        m_colours.frmSectionColourInit(m_readPath.isEmpty() ? m_colourPath : m_readPath);
    refreshPages();
    ShowSectionColours();
    return result;
}

void FrmSectionColour::ApplyPalette(int preset)
{
    m_colours.ApplyPalette(preset);
    ShowSectionColours();
    refreshPages();
}

void FrmSectionColour::ShowSectionColours()
{
    for (int k = 0; k < Sections; ++k) {
        const auto slot = static_cast<size_t>(k);
        paintLabel(lblSec[slot], m_colours.SectionBackColour[slot], m_colours.SectionTextColour[slot]);
    }
}

bool FrmSectionColour::SaveFileColour()
{
    if (m_colours.SaveFileColour(m_colourPath))
        return true;
    if (m_services.messages)
        m_services.messages->show(QStringLiteral("'colour.ini' file NOT SAVED"), MessageService::Buttons::Ok,
                                  MessageService::Icon::Critical);
    return false;
}

void FrmSectionColour::clearPresetChoice()
{
    // An exclusive group always keeps one button checked.
    m_presetGroup->setExclusive(false);
    for (QRadioButton *option : optSectionColour)
        option->setChecked(false);
    m_presetGroup->setExclusive(true);
}

void FrmSectionColour::open()
{
    show();
    raise();
    activateWindow();
}

void FrmSectionColour::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Activate();
}

void FrmSectionColour::Activate()
{
    for (int k = 0; k < Sections; ++k) {
        const auto slot = static_cast<size_t>(k);
        SavedBackColour[slot] = m_colours.SectionBackColour[slot];
        SavedTextColour[slot] = m_colours.SectionTextColour[slot];
    }
    setWindowTitle(AppInfo::title() + QStringLiteral(" - ") + QStringLiteral("Palette"));
    ShowSectionColours();
}

void FrmSectionColour::chooseColour(int section, bool background)
{
    const auto slot = static_cast<size_t>(section);
    int32_t &entry = background ? m_colours.SectionBackColour[slot] : m_colours.SectionTextColour[slot];
    if (!m_services.dialogs)
        return;
    const std::optional<QColor> chosen = m_services.dialogs->chooseColour(VbColor::toQColor(static_cast<quint32>(entry)));
    if (!chosen)
        return; // a cancelled dialog keeps the colour as it was, system colours included
    entry = static_cast<int32_t>(VbColor::fromQColor(*chosen));
    ShowSectionColours();
    refreshPages();
}

void FrmSectionColour::refreshPages()
{
    if (m_refreshConfig)
        m_refreshConfig();
    if (m_refreshMonitor)
        m_refreshMonitor();
}

void FrmSectionColour::cmdOk()
{
    if (!SaveFileColour())
        return; // stays open: the choice is neither kept on disk nor thrown away
    hide();
}

void FrmSectionColour::cmdCancel()
{
    for (int k = 0; k < Sections; ++k) {
        const auto slot = static_cast<size_t>(k);
        m_colours.SectionBackColour[slot] = SavedBackColour[slot];
        m_colours.SectionTextColour[slot] = SavedTextColour[slot];
    }
    ShowSectionColours();
    refreshPages();
    hide();
}

void FrmSectionColour::reject()
{
    cmdCancel();
}
