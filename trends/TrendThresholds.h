#pragma once

#include "core/MonitorState.h"
#include "trends/TrendPoint.h"

#include <optional>

// The alarm settings drawn as dashed lines on their charts: the alternator voltage, speed
// and converter temperature alarms, and the full-travel oil pressure.
struct TrendThresholds {
    std::optional<double> inputVoltage;
    std::optional<double> speed;
    std::optional<double> temperature;
    std::optional<double> pressure;

    std::optional<double> of(TrendChannel channel) const {
        switch (channel) {
        case TrendChannel::InputVoltage:
            return inputVoltage;
        case TrendChannel::Speed:
            return speed;
        case TrendChannel::Temperature:
            return temperature;
        case TrendChannel::Pressure:
            return pressure;
        default:
            return std::nullopt;
        }
    }

    static TrendThresholds fromState(const MonitorState& state) {
        return {state.ValeurAlarmeUin, static_cast<double>(state.ValeurAlarmeRPM), state.ValeurAlarmeTemp,
                state.ValeurHautePression};
    }
};
