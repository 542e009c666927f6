#include "display/ConverterDecoder.h"

#include "core/NumberMask.h"

#include <algorithm>
#include <cmath>

namespace {

// Unsigned 16-bit field, high byte first.
qint64 raw16(const ByteArray41& frame, int index) {
    return qint64(frame[index]) * 256 + frame[index + 1];
}

} // namespace

void decodeConverterFrame(MonitorState& state) {
    const ByteArray41& frame = state.TrameBuffer;

    // The input voltage and the temperature have the same scale in both versions: they are
    // read from every frame.
    state.U_in = raw16(frame, 4) / 10.0;
    state.TempCV = raw16(frame, 12) / 10.0;

    const qint64 outputVoltage = raw16(frame, 6);
    if (outputVoltage > 70 && outputVoltage < 350) {
        state.ProtocoleVersion = QStringLiteral("V1");
        state.U_out = outputVoltage / 10.0;
        state.I_out = raw16(frame, 8) / 10.0;
        state.RPM1 = raw16(frame, 14) * 15;
        state.RPM2 = raw16(frame, 16) * 15;
    } else if (outputVoltage > 7000 && outputVoltage < 35000) {
        state.ProtocoleVersion = QStringLiteral("V2");
        state.U_out = outputVoltage / 1000.0;
        state.I_out = raw16(frame, 8) / 1000.0;
        state.RPM1 = static_cast<qint64>(std::trunc(raw16(frame, 14) * 1.5));
        state.RPM2 = 0; // version 2 reports one speed only
    } else {
        // Neither version: the scale of the output side and the speeds is unknown.
        // ProtocoleVersion keeps the last version seen.
        state.U_out = kNotKnown;
        state.I_out = kNotKnown;
        state.RPM1 = qint64(kNotKnown);
        state.RPM2 = qint64(kNotKnown);
    }
    state.P_out = isKnown(state.U_out) && isKnown(state.I_out) ? state.U_out * state.I_out : kNotKnown;
}

void showConverterValues(const MonitorState& state, ControlsState& controls, const QLocale& locale) {
    const auto show = [&locale](LabelState& label, double value, const QString& mask) {
        label.visible = isKnown(value);
        if (label.visible)
            label.text = formatMask(value, mask, locale);
    };
    const QString twoDecimals = QStringLiteral("0.00");
    show(controls.LabelValue_Uin, state.U_in, twoDecimals);
    show(controls.LabelValue_Uout, state.U_out, twoDecimals);
    show(controls.LabelValue_Iout, state.I_out, twoDecimals);
    show(controls.LabelValue_Pout, state.P_out, QStringLiteral("000"));
    show(controls.LabelValue_T, state.TempCV, twoDecimals);
    // Both speeds are known or neither is.
    show(controls.LabelValue_RPM, std::max(double(state.RPM1), double(state.RPM2)), QStringLiteral("0"));
}
