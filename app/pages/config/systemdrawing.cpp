#include "systemdrawing.h"

#include "csection.h"
#include "frmconfigui.h"
#include "linesegment.h"
#include "sectioncolours.h"
#include "shapewidget.h"
#include "catalogue.h"
#include "systempictures.h"
#include "vbnumber.h"
#include "vbpalette.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>

namespace {

// Which of Line1 .. Line3 are shown for 1 to 4 sections (Line0 always is).
bool lineVisible(int lineArray, int n)
{
    return lineArray < n;
}

} // namespace

SystemDrawing::SystemDrawing(FrmConfigUi &ui, const Catalogue &catalogue, const SystemPictures &pictures)
    : m_ui(ui), m_catalogue(catalogue), m_pictures(pictures)
{
}

int SystemDrawing::sectionCount() const
{
    const CVarDataS *rec = m_catalogue.data(KRV_NUM_PROP_REG);
    return rec ? VbNumber::saturateInt16(rec->KrvDisplayValueE2) : 0;
}

void SystemDrawing::DrawTBXSystem()
{
    const int n = sectionCount();
    m_ui.ImgQEL->setPixmap(m_pictures.ModelPictures[0]);

    const CVarDataS *type = m_catalogue.data(KRV_SYSTEM_TYPE);
    const int s = type ? type->KrvDisplayValueE2 : 0;
    // A count outside 1 to 4 names no model.
    m_ui.ImgQEL->setToolTip(SystemTypes::modelName(n, s));
    m_ui.CmbTBXSysType->setCurrentIndex(s == 1 ? 0 : 1);

    const bool known = n >= 1 && n <= 4;
    for (const FrmConfigUi::Control &control : m_ui.controls) {
        switch (control.kind) {
        case FrmConfigUi::Kind::Label:
        case FrmConfigUi::Kind::Section:
        case FrmConfigUi::Kind::Image:
        case FrmConfigUi::Kind::PictureBox:
            control.widget->setVisible(control.index < 0 || control.index < n);
            break;
        case FrmConfigUi::Kind::Line:
            control.widget->setVisible(!known || lineVisible(control.lineArray, n));
            break;
        case FrmConfigUi::Kind::Other:
            break;
        }
    }
    if (known)
        m_ui.CmbTBXType->setCurrentIndex(n - 1);

    m_ui.CmbTBXType->hide();
    m_ui.CmbTBXSysType->hide();
    for (int i = 0; i < FrmConfigUi::Sections; ++i) {
        const bool shown = i < n;
        m_ui.RampA[i]->setVisible(shown);
        m_ui.RampB[i]->setVisible(shown);
        m_ui.ChkBreak[i]->setVisible(shown);
        m_ui.ChkFull[i]->setVisible(shown);
    }
}

void SystemDrawing::RefreshColour(const SectionColours &colours)
{
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        const quint32 back = quint32(colours.SectionBackColour[k]);
        const quint32 text = quint32(colours.SectionTextColour[k]);
        for (CSection *section : {m_ui.MagA[k], m_ui.MagB[k], m_ui.MagAsdm[k], m_ui.MagBsdm[k]}) {
            section->setBackColor(back);
            section->setFontColor(text);
        }
        for (QWidget *w : std::initializer_list<QWidget *>{m_ui.lblCurrentsdm[k], m_ui.lblJoy[k], m_ui.lblCurrent[k],
                                                          m_ui.lblRump[k], m_ui.RampA[k], m_ui.RampB[k],
                                                          m_ui.ChkFull[k], m_ui.ChkBreak[k], m_ui.LblFreq[k],
                                                          m_ui.LblAmp[k]})
            VbColor::applyTo(w, QPalette::Window, back);
        for (QWidget *w : std::initializer_list<QWidget *>{m_ui.RampA[k], m_ui.RampB[k], m_ui.ChkFull[k],
                                                          m_ui.ChkBreak[k], m_ui.lblUnit1TR[k], m_ui.lblUnit1TF[k],
                                                          m_ui.lblUnit2TR[k], m_ui.lblUnit2TF[k], m_ui.LblFreq[k],
                                                          m_ui.LblAmp[k], m_ui.LblPin[k]})
            VbColor::applyTo(w, QPalette::WindowText, text);
        // drawn on the section's colour, so in its text colour: a black frame vanishes on a black section
        for (ShapeWidget *focus : {m_ui.MagFocus[k], m_ui.MagFocussdm[k]})
            focus->setBorderColor(text);
    }
    for (int j = 0; j < FrmConfigUi::LineArrays; ++j)
        for (LineSegment *segment : m_ui.Line[j])
            segment->setBorderColor(quint32(colours.SectionBackColour[j]));
}
