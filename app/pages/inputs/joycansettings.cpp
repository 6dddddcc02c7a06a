#include "joycansettings.h"

#include "catalogue.h"

using namespace JoyCanWords;

namespace {

int32_t value(const Catalogue &catalogue, KrvId id)
{
    const CVarDataS *data = catalogue.data(id);
    return data ? data->KrvDownloadValueE2 : 0;
}

int32_t displayValue(const Catalogue &catalogue, KrvId id)
{
    const CVarDataS *data = catalogue.data(id);
    return data ? data->KrvDisplayValueE2 : 0;
}

void set(Catalogue &catalogue, KrvId id, int32_t v)
{
    if (CVarData *entry = catalogue.entry(id))
        entry->KRVSetVar(v);
}

// Numbered variables follow each other in the identifier table.
static_assert(KRV_FLOAT_CURRENT_4 == KRV_FLOAT_CURRENT_1 + 3 && KRV_DGT_CONFIG_8 == KRV_DGT_CONFIG_1 + 7
              && KRV_JOY_3_CONFIG == KRV_JOY_0_CONFIG + 3 && KRV_JOY_3_ID == KRV_JOY_0_ID + 3
              && KRV_JOY_3_INV == KRV_JOY_0_INV + 3 && KRV_SP_3_MACRO == KRV_SP_0_MACRO + 3);

KrvId offset(KrvId first, int i)
{
    return static_cast<KrvId>(first + i);
}

} // namespace

JoyCanSettings JoyCanSettings::read(const Catalogue &catalogue)
{
    JoyCanSettings s;
    s.nodeId = value(catalogue, KRV_JOY_NODE_ID);
    s.timeout = value(catalogue, KRV_JOY_TIMEOUT);
    for (int n = 0; n < 4; ++n)
        s.floatCurrent[n] = value(catalogue, offset(KRV_FLOAT_CURRENT_1, n));
    s.floatSide = value(catalogue, KRV_FLOAT_MAG_SIDE) & 0xF;
    for (int w = 0; w < InputWords; ++w) {
        const int32_t word = value(catalogue, offset(KRV_DGT_CONFIG_1, w));
        s.inputs[2 * w] = splitInputByte(lowByte(word));
        s.inputs[2 * w + 1] = splitInputByte(highByte(word));
    }
    for (int k = 0; k < Channels; ++k)
        s.channels[k] = splitChannelWord(value(catalogue, offset(KRV_JOY_0_CONFIG, k)));
    s.functions = splitFunctionWords(value(catalogue, KRV_FLOAT_CONFIG_1), value(catalogue, KRV_FLOAT_CONFIG_2));
    for (int k = 0; k < Channels; ++k) {
        s.polarity[k] = displayValue(catalogue, offset(KRV_JOY_0_INV, k)) == PolarityNo ? PolarityNo : PolarityYes;
        s.options[k] = displayValue(catalogue, offset(KRV_SP_0_MACRO, k));
    }
    return s;
}

void JoyCanSettings::write(Catalogue &catalogue) const
{
    set(catalogue, KRV_JOY_NODE_ID, nodeId);
    set(catalogue, KRV_JOY_TIMEOUT, timeout);
    for (int n = 0; n < 4; ++n)
        set(catalogue, offset(KRV_FLOAT_CURRENT_1, n), floatCurrent[n]);
    set(catalogue, KRV_FLOAT_MAG_SIDE, floatSide & 0xF);
    for (int w = 0; w < InputWords; ++w)
        set(catalogue, offset(KRV_DGT_CONFIG_1, w), inputWord(inputByte(inputs[2 * w]), inputByte(inputs[2 * w + 1])));
    set(catalogue, KRV_DGT_CONFIG_8, 0);
    for (int k = 0; k < Channels; ++k)
        set(catalogue, offset(KRV_JOY_0_CONFIG, k), channelWord(channels[k]));
    for (int k = 0; k < Channels; ++k)
        set(catalogue, offset(KRV_JOY_0_ID, k), channelPicture(channels[k]));
    set(catalogue, KRV_FLOAT_CONFIG_1, functionWord1(functions));
    set(catalogue, KRV_FLOAT_CONFIG_2, functionWord2(functions));
    for (int k = 0; k < Channels; ++k)
        set(catalogue, offset(KRV_JOY_0_INV, k), polarity[k]);
    for (int k = 0; k < Channels; ++k)
        set(catalogue, offset(KRV_SP_0_MACRO, k), options[k]);
}
