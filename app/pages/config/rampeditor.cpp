#include "rampeditor.h"

#include "catalogue.h"
#include "frmconfigui.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

bool validCoil(int index)
{
    return index >= 0 && index < FrmConfigUi::Coils;
}

} // namespace

RampEditor::RampEditor(FrmConfigUi &ui, Catalogue &catalogue, MessageService *messages, QObject *parent)
    : QObject(parent), m_ui(ui), m_catalogue(catalogue)
{
    for (int c = 0; c < FrmConfigUi::Coils; ++c) {
        m_rise[c] = new NumericField(ui.TxtTRise[c], ui.hscTRise[c],
                                     [this, c] { return record(FindKRVLabelTRISE(c)); }, messages, this);
        m_fall[c] = new NumericField(ui.TxtTFall[c], ui.hscTFall[c],
                                     [this, c] { return record(FindKRVLabelTFALL(c)); }, messages, this);
        m_rise[c]->setOnStored([this] { editStored(); });
        m_fall[c]->setOnStored([this] { editStored(); });
    }
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        connect(ui.ChkBreak[k], &QCheckBox::toggled, this, [this, k] { breakClicked(k); });
        connect(ui.ChkFull[k], &QCheckBox::toggled, this, [this, k] { fullClicked(k); });
    }
}

int16_t RampEditor::FindKRVLabelTRISE(int index) const
{
    return validCoil(index) ? m_catalogue.index(KrvId(KRV_RAMP_TRISE_0 + index)) : 0;
}

int16_t RampEditor::FindKRVLabelTFALL(int index) const
{
    return validCoil(index) ? m_catalogue.index(KrvId(KRV_RAMP_TFALL_0 + index)) : 0;
}

CVarDataS *RampEditor::record(int16_t index) const
{
    return index > 0 ? m_catalogue.data(index) : nullptr;
}

void RampEditor::refreshRamps()
{
    for (int c = 0; c < FrmConfigUi::Coils; ++c) {
        for (NumericField *field : {m_rise[c], m_fall[c]}) {
            field->load();
            if (const CVarDataS *rec = field->record())
                field->text()->setToolTip(rec->TooltipDecription);
        }
    }
}

void RampEditor::refreshModes()
{
    for (int k = 0; k < FrmConfigUi::Sections; ++k) {
        const CVarDataS *rec = m_catalogue.data(KrvId(KRV_RAMP_INV_MODE_0 + k));
        if (!rec)
            continue;
        const bool breakMode = rec->QelValueE2 == ModeBreak;
        m_ui.ChkBreak[k]->setChecked(breakMode);
        m_ui.ChkFull[k]->setChecked(!breakMode);
        // Boxes that already showed the mode raise nothing: store it anyway,
        // so the value that the next write sends is the mode on screen.
        storeMode(k, breakMode ? ModeBreak : ModeFull);
    }
}

void RampEditor::breakClicked(int k)
{
    if (m_ui.ChkBreak[k]->isChecked()) {
        m_ui.ChkFull[k]->setChecked(false);
        storeMode(k, ModeBreak);
    } else {
        m_ui.ChkFull[k]->setChecked(true);
        storeMode(k, ModeFull);
    }
}

void RampEditor::fullClicked(int k)
{
    if (m_ui.ChkFull[k]->isChecked()) {
        m_ui.ChkBreak[k]->setChecked(false);
        storeMode(k, ModeFull);
    } else {
        m_ui.ChkBreak[k]->setChecked(true);
        storeMode(k, ModeBreak);
    }
}

void RampEditor::storeMode(int k, int32_t value)
{
    editStored();
    if (CVarDataS *rec = m_catalogue.data(KrvId(KRV_RAMP_INV_MODE_0 + k)))
        rec->KrvDownloadValueE2 = value;
}

void RampEditor::editStored()
{
    m_catalogue.ConfigSaved = false;
}
