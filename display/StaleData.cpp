#include "display/StaleData.h"

bool isStale(qint64 nowMs, qint64 lastDataMs) {
    return nowMs - lastDataMs > kStaleLimitMs;
}

void stopDataConverter(MonitorState& state, ControlsState& controls) {
    state.U_in = -1.0;
    state.U_out = -1.0;
    state.I_out = -1.0;
    state.P_out = -1.0;
    state.TempCV = -1.0;
    state.RPM1 = -1;
    state.RPM2 = -1;

    controls.LabelValue_Uin.visible = false;
    controls.LabelValue_Uout.visible = false;
    controls.LabelValue_Iout.visible = false;
    controls.LabelValue_Pout.visible = false;
    controls.LabelValue_T.visible = false;
    controls.LabelValue_RPM.visible = false;
}

void stopDataHPU(MonitorState& state, ControlsState& controls) {
    state.Pression = -1.0;
    state.ModeHPU = QStringLiteral(" ");
    state.Pitch = QStringLiteral(" ");

    controls.LabelValue_Pression.visible = false;
    controls.LabelValue_Pitch.visible = false;
    controls.LabelValue_ModeHPU.visible = false;
    controls.LabelName_Pression_visible = false;
    controls.LabelName_Pitch_visible = false;
    controls.LabelName_ModeHPU_visible = false;
    controls.CanvasProp_visible = false;

    state.presenceHPU = false;

    controls.PompeButton.visible = false;
    controls.ReleaseButton.visible = false;
}
