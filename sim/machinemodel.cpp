#include "machinemodel.h"

#include "catalogue.h"
#include "stringeval.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double DeadBand = 0.05;        // share of the joystick travel around neutral
constexpr double SweepPeriods[4] = {10.0, 14.0, 18.0, 22.0};   // seconds

double formulaAt(const QString &formula, int32_t x)
{
    QString text = formula;
    return StringEval::EvaluateFormula(text, x);
}

// The variable list's conversions are linear; two points of the raw-to-display
// formula give the way back for a fractional display value.
uint16_t rawFromDisplay(const CVarDataS &e, int16_t sections, double display)
{
    const QString formula = StringEval::SelectFormulaPart(e.F_DownloadToDisplay, sections);
    double raw = display;
    if (!formula.trimmed().isEmpty()) {
        const double d0 = formulaAt(formula, 0);
        const double d1 = formulaAt(formula, 10000);
        if (std::isfinite(d0) && std::isfinite(d1) && d1 != d0)
            raw = (display - d0) * 10000.0 / (d1 - d0);
    }
    raw = std::nearbyint(raw);
    const double low = std::max(0.0, static_cast<double>(e.QelValE2Min));
    const double high = std::min(65535.0, static_cast<double>(e.QelValE2Max));
    return static_cast<uint16_t>(std::clamp(raw, low, std::max(low, high)));
}

} // namespace

MachineModel::MachineModel(const Catalogue &catalogue, std::function<int32_t(KrvId)> parameter,
                           std::function<bool()> inError, uint32_t seed)
    : m_catalogue(catalogue), m_parameter(std::move(parameter)), m_inError(std::move(inError)), m_random(seed)
{
    auto add = [this](int index, Signal s, int k) {
        if (const CVarDataS *e = m_catalogue.data(index))
            m_live.emplace(static_cast<uint32_t>(e->Address), Live{s, k, e});
    };
    for (int k = 0; k < 4; ++k) {
        add(m_catalogue.index(static_cast<KrvId>(KRV_JOY0_VALUE + k)), Signal::JoyValue, k);
        add(m_catalogue.index(static_cast<KrvId>(KRV_JOY0_RED + k)), Signal::JoyCommand, k);
        add(m_catalogue.index(static_cast<KrvId>(KRV_I0_MEASURE_400 + k)), Signal::CoilCurrent, k);
    }
    add(m_catalogue.index(KRV_VBB_400), Signal::Supply, 0);
    add(m_catalogue.index(KRV_HSD_MONITOR), Signal::Outputs, 0);
    add(m_catalogue.index(KRV_DIGIT_MONITOR), Signal::DigitalInputs, 0);
    add(m_catalogue.index(KRV_FLOAT_MONITOR), Signal::Floating, 0);
    // live values the program only lists, found by their names
    for (int i = 1; i < m_catalogue.VarCount; ++i) {
        const QString name = m_catalogue.data(i)->Name;
        for (int k = 0; k < 4; ++k) {
            const QString n = QString::number(k + 1);
            if (name == QLatin1String("I") + n + QLatin1String("_SETPOINT"))
                add(i, Signal::CoilSetpoint, k);
            else if (name == QLatin1String("AIN") + n)
                add(i, Signal::AnalogueInput, k);
        }
        if (name == QLatin1String("VSENSOR"))
            add(i, Signal::SensorSupply, 0);
    }
    reset(Clock::now());
}

void MachineModel::reset(Clock::time_point now)
{
    m_start = now;
    m_last = now;
    m_sections = {};
}

int MachineModel::sections() const
{
    return std::clamp(static_cast<int>(m_parameter(KRV_NUM_PROP_REG)), 0, 4);
}

double MachineModel::parameterDisplay(KrvId id) const
{
    const CVarDataS *e = m_catalogue.data(id);
    const int32_t raw = m_parameter(id);
    if (!e || e->F_DownloadToDisplay.trimmed().isEmpty())
        return raw;
    return formulaAt(e->F_DownloadToDisplay, raw);
}

double MachineModel::noise(double amplitude)
{
    std::uniform_real_distribution<double> d(-amplitude, amplitude);
    return d(m_random);
}

double MachineModel::joystickPercent(int k, Clock::time_point now) const
{
    const auto held = m_held.find(k);
    if (held != m_held.end())
        return held->second;
    const double t = std::chrono::duration<double>(now - m_start).count();
    return 50.0 + 50.0 * std::sin(2 * Pi * t / SweepPeriods[k] + k * Pi / 2);
}

void MachineModel::step(double dtMs, double tSeconds)
{
    const bool stopped = m_inError();
    const auto at = m_start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(tSeconds));
    for (int k = 0; k < 4; ++k) {
        Section &s = m_sections[static_cast<size_t>(k)];
        const double deflection = (joystickPercent(k, at) - 50.0) / 50.0;
        int wanted = -1;
        if (!stopped && k < sections() && std::fabs(deflection) > DeadBand)
            wanted = deflection > 0 ? 0 : 1;
        const int coil = 2 * k + (s.coil >= 0 ? s.coil : std::max(wanted, 0));
        const double iMin = parameterDisplay(static_cast<KrvId>(KRV_I0_MIN + 2 * coil));
        const double iMax = std::max(iMin, parameterDisplay(static_cast<KrvId>(KRV_I0_MAX + 2 * coil)));
        const double rise = parameterDisplay(static_cast<KrvId>(KRV_RAMP_TRISE_0 + coil));
        const double fall = parameterDisplay(static_cast<KrvId>(KRV_RAMP_TFALL_0 + coil));
        const double riseStep = rise > 0 ? iMax * dtMs / rise : iMax;
        const double fallStep = fall > 0 ? iMax * dtMs / fall : iMax;

        if (s.coil >= 0 && s.coil != wanted) {
            // the other coil (or none) is wanted: this one falls out first
            s.current -= fallStep;
            if (s.current <= iMin) {
                s.coil = -1;
                s.current = 0;
            }
            continue;
        }
        if (wanted < 0)
            continue;
        if (s.coil < 0) {
            s.coil = wanted;
            s.current = iMin;   // the valve opens at its minimum current
        }
        const double target = iMin + (iMax - iMin) * (std::fabs(deflection) - DeadBand) / (1.0 - DeadBand);
        if (s.current < target)
            s.current = std::min(target, s.current + riseStep);
        else
            s.current = std::max(target, s.current - fallStep);
    }
}

void MachineModel::advance(Clock::time_point now)
{
    constexpr double MaxStepMs = 5.0;
    double elapsedMs = std::chrono::duration<double, std::milli>(now - m_last).count();
    if (elapsedMs <= 0)
        return;
    double t = std::chrono::duration<double>(m_last - m_start).count();
    while (elapsedMs > 0) {
        const double dt = std::min(MaxStepMs, elapsedMs);
        t += dt / 1000.0;
        step(dt, t);
        elapsedMs -= dt;
    }
    m_last = now;
}

double MachineModel::display(const Live &live, Clock::time_point now)
{
    const int k = live.index;
    const Section &s = m_sections[static_cast<size_t>(k)];
    const double t = std::chrono::duration<double>(now - m_start).count();
    switch (live.signal) {
    case Signal::JoyValue:
        return joystickPercent(k, now);
    case Signal::JoyCommand: {
        if (s.coil < 0)
            return 50.0;
        const int coil = 2 * k + s.coil;
        const double iMin = parameterDisplay(static_cast<KrvId>(KRV_I0_MIN + 2 * coil));
        const double iMax = parameterDisplay(static_cast<KrvId>(KRV_I0_MAX + 2 * coil));
        const double share = iMax > iMin ? (s.current - iMin) / (iMax - iMin) : 1.0;
        const double travel = DeadBand + (1.0 - DeadBand) * std::clamp(share, 0.0, 1.0);
        return 50.0 + (s.coil == 0 ? 50.0 : -50.0) * travel;
    }
    case Signal::CoilCurrent: {
        if (s.coil < 0)
            return 0.0;
        const double amplitude = parameterDisplay(KRV_DITHER_AMP) / 2.0;
        const double frequency = parameterDisplay(KRV_DITHER_FREQ);
        const double dither = frequency > 0 ? amplitude * std::sin(2 * Pi * frequency * t) : 0.0;
        return std::max(0.0, s.current + dither + noise(2.0));
    }
    case Signal::CoilSetpoint:
        return s.coil < 0 ? 0.0 : s.current;
    case Signal::Supply: {
        double total = 0;
        for (const Section &sec : m_sections)
            total += sec.current;
        return 24.0 - 0.1 * total / 1000.0 + noise(0.08);
    }
    case Signal::SensorSupply:
        return 5.0 + noise(0.01);
    case Signal::AnalogueInput:
        return 500.0 + 40.0 * joystickPercent(k, now);   // 0.5 V to 4.5 V, in mV
    case Signal::Outputs: {
        int bits = 0;
        for (int i = 0; i < 4; ++i) {
            if (m_sections[static_cast<size_t>(i)].coil >= 0)
                bits |= 1 << (2 * i + m_sections[static_cast<size_t>(i)].coil);
        }
        return bits;
    }
    case Signal::DigitalInputs: {
        // DI_(2k+1) and DI_(2k+2) close near the two ends of joystick k's travel
        int bits = 0;
        for (int i = 0; i < 4; ++i) {
            const double p = joystickPercent(i, now);
            if (p > 75.0)
                bits |= 1 << (2 * i + 1);
            else if (p < 25.0)
                bits |= 1 << (2 * i + 2);
        }
        return bits;
    }
    case Signal::Floating:
        return 0.0;
    }
    return 0.0;
}

uint16_t MachineModel::read(uint32_t address, Clock::time_point now)
{
    const auto it = m_live.find(address);
    if (it == m_live.end())
        return 0;
    advance(now);
    const int16_t selector = static_cast<int16_t>(std::max(1, sections()));
    return rawFromDisplay(*it->second.entry, selector, display(it->second, now));
}
