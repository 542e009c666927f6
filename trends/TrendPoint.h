#pragma once

#include "core/SecondSample.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

// The seven measurements drawn as curves, in the order of their charts.
enum class TrendChannel {
    InputVoltage,
    OutputVoltage,
    OutputCurrent,
    OutputPower,
    Temperature,
    Speed,
    Pressure
};
constexpr int kTrendChannelCount = 7;

constexpr TrendChannel trendChannel(int index) {
    return static_cast<TrendChannel>(index);
}
QString trendChannelName(TrendChannel channel);        // "Input voltage", as files keep it
QString trendChannelUnit(TrendChannel channel);        // "V"
QString trendChannelCaption(TrendChannel channel);     // the name in the user's language
QString trendChannelUnitCaption(TrendChannel channel); // the unit in the user's language

// One second of measurements, compact enough for an hour in memory and a year-long log:
// floats, with NaN where the value was not known (a silent device), never -1.
struct TrendPoint {
    qint64 time = 0; // ms since the epoch
    std::array<float, kTrendChannelCount> values;

    TrendPoint() { values.fill(std::numeric_limits<float>::quiet_NaN()); }
    float value(TrendChannel channel) const { return values[static_cast<int>(channel)]; }
    bool known(TrendChannel channel) const { return !std::isnan(value(channel)); }
    void set(TrendChannel channel, std::optional<double> v) {
        values[static_cast<int>(channel)] =
            v ? static_cast<float>(*v) : std::numeric_limits<float>::quiet_NaN();
    }

    static TrendPoint fromSample(const SecondSample& sample);
};

// Two points further apart than this are not joined: the line was down or the tool closed.
// Equal to the stale limit, past which a device counts as silent.
constexpr qint64 kTrendMaxStepMs = 3000;
