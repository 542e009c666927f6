#include "display/HpuDecoder.h"

#include "core/Captions.h"

namespace {

constexpr quint8 kModeManual = 0x00;
constexpr quint8 kModeAuto = 0xFF;
constexpr quint8 kPitchInactive = 0x00;
constexpr quint8 kPitchPumpActive = 0xF0;
constexpr quint8 kPitchReleaseActive = 0x0F;
const char* const kModeManualText = "Manuel";
const char* const kModeAutoText = "Auto";

} // namespace

HpuReading decodeHpuStatusFrame(const ByteArray41& frame) {
    HpuReading reading;
    reading.Pression = (qint64(frame[4]) * 256 + frame[5]) / 100.0;

    switch (frame[6]) {
    case kModeManual:
        reading.ModeHPU = QString::fromLatin1(kModeManualText);
        break;
    case kModeAuto:
        reading.ModeHPU = QString::fromLatin1(kModeAutoText);
        break;
    default:
        break; // unknown code: the last recognised mode stays
    }

    switch (frame[7]) {
    case kPitchInactive:
        reading.Pitch = App::text(App::Caption::kPitchInactive);
        break;
    case kPitchPumpActive:
        reading.Pitch = App::text(App::Caption::kPitchPump);
        break;
    case kPitchReleaseActive:
        reading.Pitch = App::text(App::Caption::kPitchRelease);
        break;
    default:
        break; // unknown code: the last recognised correction stays
    }

    reading.pitchDesign = frame[8];
    return reading;
}

QStringList hpuModeTexts() {
    return {QString::fromLatin1(kModeManualText), QString::fromLatin1(kModeAutoText)};
}

QStringList pitchCorrectionTexts() {
    return {App::text(App::Caption::kPitchInactive), App::text(App::Caption::kPitchPump),
            App::text(App::Caption::kPitchRelease)};
}
