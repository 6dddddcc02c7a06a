#pragma once

class Catalogue;
class FrmConfigUi;
class SectionColours;
class SystemPictures;

// The configuration page's drawing of the valve block: what is visible for
// the number of sections, the model shown, and the section colours.
class SystemDrawing
{
public:
    SystemDrawing(FrmConfigUi &ui, const Catalogue &catalogue, const SystemPictures &pictures);

    // Redraws for the number of sections and the system type in the catalogue.
    // The selection boxes it sets may run their own actions (and this again).
    void DrawTBXSystem();
    // Paints every section in its colours from the section colour tables.
    void RefreshColour(const SectionColours &colours);

private:
    int sectionCount() const;

    FrmConfigUi &m_ui;
    const Catalogue &m_catalogue;
    const SystemPictures &m_pictures;
};
