#pragma once

#include <QString>

// The application's caption constants: each a key ("App.kConnectCaption") with an English
// default text, looked up at every use so that a translation installed for the user's
// language takes effect; a missing translation falls back to the default.
namespace App {

enum class Caption {
    kFileQuitShortcut,
    kFileQuit,
    kEditClear,
    kInputVoltage,
    kOutputVoltage,
    kOutputCurrent,
    kCVTemp,
    kOutputPower,
    kPressure,
    kPitchCorr,
    kValuesTab,
    kRawDataTab,
    kSerialPort,
    kSerialPortTip,
    kConnectCaption,
    kUnconnectCaption,
    kDriverLink,
    kPitchInactive,
    kPitchPump,
    kPitchRelease,
    kEEPROMHPU,
    kLogHelptag,
    kAlarmsTab,
    kAlarmsTitle,
    kPump,
    kRelease,
    kDrapeau,
    kLogPath,
};

// "App.kConnectCaption" for Caption::kConnectCaption.
QString key(Caption caption);
QString defaultText(Caption caption);
// The text for the current language, or the default text.
QString text(Caption caption);

} // namespace App
