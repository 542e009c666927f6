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

    // The input voltage is read from every frame, whatever its version.
    state.U_in = raw16(frame, 4) / 10.0;

    const qint64 outputVoltage = raw16(frame, 6);
    if (outputVoltage > 70 && outputVoltage < 350) {
        state.ProtocoleVersion = QStringLiteral("V1");
        state.U_out = outputVoltage / 10.0;
        state.I_out = raw16(frame, 8) / 10.0;
        state.TempCV = raw16(frame, 12) / 10.0;
        state.RPM1 = raw16(frame, 14) * 15;
        state.RPM2 = raw16(frame, 16) * 15;
    } else if (outputVoltage > 7000 && outputVoltage < 35000) {
        state.ProtocoleVersion = QStringLiteral("V2");
        state.U_out = outputVoltage / 1000.0;
        state.I_out = raw16(frame, 8) / 1000.0;
        state.TempCV = raw16(frame, 12) / 10.0;
        state.RPM1 = static_cast<qint64>(std::trunc(raw16(frame, 14) * 1.5));
        state.RPM2 = 0; // version 2 reports one speed only
    }
    // A frame of neither version keeps the previous values (possibly the stale markers),
    // but the power is always derived afresh from what is held.
    state.P_out = state.U_out * state.I_out;
}

void showConverterValues(const MonitorState& state, ControlsState& controls, const QLocale& locale) {
    LabelState* labels[] = {&controls.LabelValue_Uin,  &controls.LabelValue_Uout, &controls.LabelValue_Iout,
                            &controls.LabelValue_Pout, &controls.LabelValue_T,    &controls.LabelValue_RPM};
    for (LabelState* label : labels)
        label->visible = true;

    const QString twoDecimals = QStringLiteral("0.00");
    controls.LabelValue_Uin.text = formatMask(state.U_in, twoDecimals, locale);
    controls.LabelValue_Uout.text = formatMask(state.U_out, twoDecimals, locale);
    controls.LabelValue_Iout.text = formatMask(state.I_out, twoDecimals, locale);
    controls.LabelValue_Pout.text = formatMask(state.P_out, QStringLiteral("000"), locale);
    controls.LabelValue_T.text = formatMask(state.TempCV, twoDecimals, locale);
    const double fastest = std::max(double(state.RPM1), double(state.RPM2));
    controls.LabelValue_RPM.text = formatMask(fastest, QStringLiteral("0"), locale);
}
