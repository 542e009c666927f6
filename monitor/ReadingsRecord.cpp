#include "monitor/ReadingsRecord.h"

namespace {

double orNotKnown(const std::optional<double>& value) {
    return value.value_or(kNotKnown);
}

qint64 orNotKnown(const std::optional<qint64>& value) {
    return value.value_or(qint64(kNotKnown));
}

template <typename T> std::optional<T> known(T value) {
    return isKnown(double(value)) ? std::optional<T>(value) : std::nullopt;
}

} // namespace

void keepConverterReading(MonitorState& state, const ConverterReading& reading) {
    state.U_in = orNotKnown(reading.U_in);
    state.U_out = orNotKnown(reading.U_out);
    state.I_out = orNotKnown(reading.I_out);
    state.P_out = orNotKnown(reading.P_out);
    state.TempCV = orNotKnown(reading.TempCV);
    state.RPM1 = orNotKnown(reading.RPM1);
    state.RPM2 = orNotKnown(reading.RPM2);
    if (!reading.ProtocoleVersion.isEmpty())
        state.ProtocoleVersion = reading.ProtocoleVersion;
}

void keepHpuReading(MonitorState& state, const HpuReading& reading) {
    state.Pression = reading.Pression;
    if (reading.ModeHPU)
        state.ModeHPU = *reading.ModeHPU;
    if (reading.Pitch)
        state.Pitch = *reading.Pitch;
    state.pitchDesignFeathers = qint64(reading.pitchDesign) + state.ValeurModeCalage == 0;
}

void forgetConverterValues(MonitorState& state) {
    keepConverterReading(state, ConverterReading{});
}

void forgetHpuValues(MonitorState& state) {
    state.Pression = kNotKnown;
    state.ModeHPU = QStringLiteral(" ");
    state.Pitch = QStringLiteral(" ");
    state.presenceHPU = false;
}

ConverterReading converterReading(const MonitorState& state) {
    ConverterReading reading;
    reading.U_in = known(state.U_in);
    reading.U_out = known(state.U_out);
    reading.I_out = known(state.I_out);
    reading.P_out = known(state.P_out);
    reading.TempCV = known(state.TempCV);
    reading.RPM1 = known(state.RPM1);
    reading.RPM2 = known(state.RPM2);
    reading.ProtocoleVersion = state.ProtocoleVersion;
    return reading;
}

bool hpuStatusKnown(const MonitorState& state) {
    // Every status frame carries the pressure, and decoding never makes it negative.
    return isKnown(state.Pression);
}
