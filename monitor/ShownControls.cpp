#include "monitor/ShownControls.h"

#include "core/Captions.h"
#include "core/NumberMask.h"
#include "monitor/ReadingsRecord.h"

namespace {

void showValue(LabelState& label, const std::optional<double>& value, const QString& mask, const QLocale& locale) {
    label.visible = value.has_value();
    if (value)
        label.text = formatMask(*value, mask, locale);
}

void showConverter(ControlsState& c, const ConverterReading& reading, const QLocale& locale) {
    const QString twoDecimals = QStringLiteral("0.00");
    showValue(c.LabelValue_Uin, reading.U_in, twoDecimals, locale);
    showValue(c.LabelValue_Uout, reading.U_out, twoDecimals, locale);
    showValue(c.LabelValue_Iout, reading.I_out, twoDecimals, locale);
    showValue(c.LabelValue_Pout, reading.P_out, QStringLiteral("000"), locale);
    showValue(c.LabelValue_T, reading.TempCV, twoDecimals, locale);
    const std::optional<qint64> speed = reading.speed();
    showValue(c.LabelValue_RPM, speed ? std::optional<double>(double(*speed)) : std::nullopt, QStringLiteral("0"),
              locale);
}

void showHpu(ControlsState& c, const MonitorState& state, const QLocale& locale) {
    const bool known = hpuStatusKnown(state);
    for (bool* visible : {&c.LabelValue_Pression.visible, &c.LabelValue_Pitch.visible, &c.LabelValue_ModeHPU.visible,
                          &c.LabelName_Pression_visible, &c.LabelName_Pitch_visible, &c.LabelName_ModeHPU_visible,
                          &c.CanvasProp_visible, &c.PompeButton.visible, &c.ReleaseButton.visible})
        *visible = known;
    if (!known)
        return;

    c.LabelValue_Pression.text = formatMask(state.Pression, QStringLiteral("0.00"), locale);
    c.LabelValue_Pitch.text = state.Pitch;
    c.LabelValue_ModeHPU.text = state.ModeHPU;
    // The captions only relabel the buttons: PompeButton always sends the pump command and
    // ReleaseButton the release command. Blades at full incidence without pressure are
    // feathered by pumping.
    if (state.pitchDesignFeathers) {
        c.PompeButton.caption = App::text(App::Caption::kDrapeau);
        c.ReleaseButton.caption = QStringLiteral("STOP");
    } else {
        c.PompeButton.caption = App::text(App::Caption::kPump);
        c.ReleaseButton.caption = App::text(App::Caption::kRelease);
    }
}

AlertFill fill(bool held, AlertRows rows, AlertFill designed) {
    switch (rows) {
    case AlertRows::AsDesigned:
        return designed;
    case AlertRows::Lit:
        return held ? AlertFill::AlertRed : AlertFill::Transparent;
    case AlertRows::Cleared:
        break;
    }
    return AlertFill::Transparent;
}

void showAlarms(ControlsState& c, const AlarmStates& alarms) {
    static const ControlsState designed;
    c.Rect_AlertInputVoltage = fill(alarms.inputVoltage, alarms.rows, designed.Rect_AlertInputVoltage);
    c.Rect_AlertRPM = fill(alarms.speed, alarms.rows, designed.Rect_AlertRPM);
    c.Rect_AlertTemp = fill(alarms.temperature, alarms.rows, designed.Rect_AlertTemp);
}

} // namespace

void showReadings(ControlsState& controls, const MonitorState& state, const AlarmStates& alarms,
                  const QLocale& locale) {
    showConverter(controls, converterReading(state), locale);
    showHpu(controls, state, locale);
    showAlarms(controls, alarms);
}
