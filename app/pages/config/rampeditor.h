#pragma once

#include "numericfield.h"

#include <QObject>
#include <array>
#include <cstdint>

class Catalogue;
class CVarDataS;
class FrmConfigUi;
class MessageService;

// The ramps tab: rise and fall time of every coil as numeric fields, and the
// ramp mode of every section as the BREAK / FULL pair, both written straight
// into the download values of their catalogue records.
class RampEditor : public QObject
{
    Q_OBJECT
public:
    static constexpr int32_t ModeBreak = 170; // 0xAA
    static constexpr int32_t ModeFull = 85;   // 0x55

    RampEditor(FrmConfigUi &ui, Catalogue &catalogue, MessageService *messages, QObject *parent = nullptr);

    // Catalogue index of KRV_RAMP_TRISE_<index> / KRV_RAMP_TFALL_<index>;
    // 0 for an index outside 0 to 7.
    int16_t FindKRVLabelTRISE(int index) const;
    int16_t FindKRVLabelTFALL(int index) const;

    // Texts, limits and positions from the controller values, then the
    // mode boxes; every step through the same rules as a user edit.
    void refreshRamps();
    void refreshModes();

private:
    CVarDataS *record(int16_t index) const;
    void breakClicked(int k);
    void fullClicked(int k);
    void storeMode(int k, int32_t value);
    void editStored();

    FrmConfigUi &m_ui;
    Catalogue &m_catalogue;
    std::array<NumericField *, 8> m_rise{};
    std::array<NumericField *, 8> m_fall{};
};
