#include "systemstate.h"

#include "catalogue.h"

namespace {

int e2Value(const Catalogue &catalogue, KrvId id)
{
    const CVarDataS *data = catalogue.data(id);
    return data ? data->QelValueE2 : 0;
}

} // namespace

SystemState::SystemState(const Catalogue &catalogue, QObject *parent) : QObject(parent), m_catalogue(catalogue) {}

int SystemState::sectionCount() const
{
    return e2Value(m_catalogue, KRV_NUM_PROP_REG);
}

int SystemState::solenoidType() const
{
    return e2Value(m_catalogue, KRV_SOL_TYPE);
}

const SystemState::SectionInputs &SystemState::inputs(int section) const
{
    static const SectionInputs none;
    return section >= 0 && section < Sections ? m_inputs[size_t(section)] : none;
}

void SystemState::setInputs(int section, const SectionInputs &inputs)
{
    if (section >= 0 && section < Sections)
        m_inputs[size_t(section)] = inputs;
}
