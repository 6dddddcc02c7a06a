#pragma once

#include "sectioncolours.h"

#include <QDialog>
#include <array>
#include <functional>

class FileDialogService;
class ManualHelp;
class MessageService;
class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

// The palette window: one of six preset palettes or any colour per section
// from the colour dialog, shown at once on the configuration page and the
// monitor, kept in colour.ini by OK and undone by Cancel.
class FrmSectionColour : public QDialog
{
    Q_OBJECT
public:
    static constexpr int HelpPage = 36;
    static constexpr int Sections = SectionColours::Sections;
    static constexpr int Presets = SectionColours::PresetCount;

    struct Services
    {
        FileDialogService *dialogs = nullptr;   // the colour dialog
        MessageService *messages = nullptr;
        const ManualHelp *help = nullptr;
    };

    // `colours` are the program's tables, kept in the file `colourPath`.
    FrmSectionColour(SectionColours &colours, QString colourPath, Services services, QWidget *parent = nullptr);

    // The configuration page's and the monitor's colour refresh; both run
    // after every change of the tables.
    void setColourRefreshes(std::function<void()> configPage, std::function<void()> monitorPage);

    // The file read at start when it is not the one OK writes (an installed
    // copy reads the shipped colours until the user saves their own).
    void setColourFileToRead(const QString &path) { m_readPath = path; }

    // Start-up: the colours of colour.ini, or preset 0 when it is missing or
    // cannot be read (the file is then left as it is until OK); then both
    // pages are repainted.
    SectionColours::LoadResult frmSectionColourInit();

    void ApplyPalette(int preset);
    void ShowSectionColours();
    // Writes colour.ini; says so and returns false when it cannot.
    bool SaveFileColour();

    // The palette menu opens the window with no preset chosen.
    void clearPresetChoice();
    // Shows the window; a window that was hidden takes its saved copies anew.
    void open();

    std::array<int32_t, Sections> SavedBackColour{};
    std::array<int32_t, Sections> SavedTextColour{};

public slots:
    // Closing the window by any other way than OK undoes like Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildPresets(class QGridLayout *grid);
    void buildSections(class QGridLayout *grid);
    void Activate();
    void chooseColour(int section, bool background);
    void refreshPages();
    void cmdOk();
    void cmdCancel();

    SectionColours &m_colours;
    QString m_colourPath;
    QString m_readPath;
    Services m_services;
    std::function<void()> m_refreshConfig;
    std::function<void()> m_refreshMonitor;

    QButtonGroup *m_presetGroup = nullptr;
    std::array<QRadioButton *, Presets> optSectionColour{};
    std::array<QLabel *, Sections> lblSec{};
    std::array<QPushButton *, Sections> SecBack{};
    std::array<QPushButton *, Sections> SecText{};
    QPushButton *CmdOk = nullptr;
    QPushButton *CmdCancel = nullptr;
};
