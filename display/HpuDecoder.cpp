#include "display/HpuDecoder.h"

#include "core/Captions.h"
#include "core/NumberMask.h"

namespace {

constexpr quint8 kModeManual = 0x00;
constexpr quint8 kModeAuto = 0xFF;
constexpr quint8 kPitchInactive = 0x00;
constexpr quint8 kPitchPumpActive = 0xF0;
constexpr quint8 kPitchReleaseActive = 0x0F;
const char* const kModeManualText = "Manuel";
const char* const kModeAutoText = "Auto";

} // namespace

void decodeHpuStatusFrame(MonitorState& state) {
    const ByteArray41& frame = state.TrameBuffer;

    state.Pression = (qint64(frame[4]) * 256 + frame[5]) / 100.0;

    switch (frame[6]) {
    case kModeManual:
        state.ModeHPU = QString::fromLatin1(kModeManualText);
        break;
    case kModeAuto:
        state.ModeHPU = QString::fromLatin1(kModeAutoText);
        break;
    default:
        break; // unknown code: the last recognised mode stays
    }

    switch (frame[7]) {
    case kPitchInactive:
        state.Pitch = App::text(App::Caption::kPitchInactive);
        break;
    case kPitchPumpActive:
        state.Pitch = App::text(App::Caption::kPitchPump);
        break;
    case kPitchReleaseActive:
        state.Pitch = App::text(App::Caption::kPitchRelease);
        break;
    default:
        break; // unknown code: the last recognised correction stays
    }
}

void showHpuStatus(const MonitorState& state, ControlsState& controls, const QLocale& locale) {
    controls.LabelValue_Pression.visible = true;
    controls.LabelValue_Pitch.visible = true;
    controls.LabelValue_ModeHPU.visible = true;
    controls.LabelName_Pression_visible = true;
    controls.LabelName_Pitch_visible = true;
    controls.LabelName_ModeHPU_visible = true;

    controls.LabelValue_Pression.text = formatMask(state.Pression, QStringLiteral("0.00"), locale);
    controls.LabelValue_Pitch.text = state.Pitch;
    controls.LabelValue_ModeHPU.text = state.ModeHPU;

    controls.CanvasProp_visible = true;

    // The captions only relabel the buttons: PompeButton always sends the pump command and
    // ReleaseButton the release command. A sum of 0 means blades at full incidence without
    // pressure, so pumping feathers them.
    const qint64 pitchDesign = qint64(state.TrameBuffer[8]) + state.ValeurModeCalage;
    if (pitchDesign == 0) {
        controls.PompeButton.caption = App::text(App::Caption::kDrapeau);
        controls.ReleaseButton.caption = QStringLiteral("STOP");
    } else {
        controls.PompeButton.caption = App::text(App::Caption::kPump);
        controls.ReleaseButton.caption = App::text(App::Caption::kRelease);
    }
    controls.PompeButton.visible = true;
    controls.ReleaseButton.visible = true;
}

QStringList hpuModeTexts() {
    return {QString::fromLatin1(kModeManualText), QString::fromLatin1(kModeAutoText)};
}

QStringList pitchCorrectionTexts() {
    return {App::text(App::Caption::kPitchInactive), App::text(App::Caption::kPitchPump),
            App::text(App::Caption::kPitchRelease)};
}
