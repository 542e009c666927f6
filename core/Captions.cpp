#include "core/Captions.h"

#include <QCoreApplication>

namespace App {
namespace {

struct Entry {
    Caption caption;
    struct {
        const char* text; // the English default
        const char* key;
    } texts; // as QT_TRANSLATE_NOOP3 gives them
};

// The table of caption constants and their default texts (UTF-8). Translations find each by
// its English text, the key telling apart equal texts (translations/velmora_fr.ts).
const Entry kTable[] = {
    {Caption::kFileQuitShortcut, QT_TRANSLATE_NOOP3("App", "Cmd+Q", "App.kFileQuitShortcut")},
    {Caption::kFileQuit, QT_TRANSLATE_NOOP3("App", "&Quit", "App.kFileQuit")},
    {Caption::kEditClear, QT_TRANSLATE_NOOP3("App", "&Delete", "App.kEditClear")},
    {Caption::kInputVoltage, QT_TRANSLATE_NOOP3("App", "Hydro Voltage [V]", "App.kInputVoltage")},
    {Caption::kOutputVoltage, QT_TRANSLATE_NOOP3("App", "Output Voltage [V]", "App.kOutputVoltage")},
    {Caption::kOutputCurrent, QT_TRANSLATE_NOOP3("App", "Output Current [A]", "App.kOutputCurrent")},
    {Caption::kCVTemp, QT_TRANSLATE_NOOP3("App", "Converter Temp. [°C]", "App.kCVTemp")},
    {Caption::kOutputPower, QT_TRANSLATE_NOOP3("App", "Output Power [W]", "App.kOutputPower")},
    {Caption::kPressure, QT_TRANSLATE_NOOP3("App", "Oil Pressure [Bar]", "App.kPressure")},
    {Caption::kPitchCorr, QT_TRANSLATE_NOOP3("App", "Pitch correction", "App.kPitchCorr")},
    // The constant named after values captions the raw-stream page and vice versa.
    {Caption::kValuesTab, QT_TRANSLATE_NOOP3("App", "Raw stream", "App.kValuesTab")},
    {Caption::kRawDataTab, QT_TRANSLATE_NOOP3("App", "Values", "App.kRawDataTab")},
    {Caption::kSerialPort, QT_TRANSLATE_NOOP3("App", "Serial Port :", "App.kSerialPort")},
    {Caption::kSerialPortTip, QT_TRANSLATE_NOOP3("App", "The name of the serial port contains FTxxxx if you use FTDI adapter provided by Orvane\n"
     "If invisible, you should consider installing FTDI drivers.", "App.kSerialPortTip")},
    {Caption::kConnectCaption, QT_TRANSLATE_NOOP3("App", "Connect", "App.kConnectCaption")},
    {Caption::kUnconnectCaption, QT_TRANSLATE_NOOP3("App", "Disconnect", "App.kUnconnectCaption")},
    {Caption::kDriverLink, QT_TRANSLATE_NOOP3("App", "Drivers…", "App.kDriverLink")},
    {Caption::kPitchInactive, QT_TRANSLATE_NOOP3("App", "inactive", "App.kPitchInactive")},
    {Caption::kPitchPump, QT_TRANSLATE_NOOP3("App", "pump active", "App.kPitchPump")},
    {Caption::kPitchRelease, QT_TRANSLATE_NOOP3("App", "release", "App.kPitchRelease")},
    {Caption::kEEPROMHPU, QT_TRANSLATE_NOOP3("App", "Address\tParameter\tDescribtion\tMin\tMax\tDefault\tUnity\tValue\tReal value\n"
     "29\tTYPE_PALES\tPitch orientation (0 = classic, 1 = reversed)\t0\t1\t0\t-\t\t\n"
     "30\tPRESSION_MAX\tMax pressure\t0\t820\t800\t0.01 bar\t\t\n"
     "31\tPRESSION_MIN\tMin pressure\t0\t820\t50\t0.01 bar\t\t\n"
     "33\tTENSION_ALTERNATEUR_HAUTE\tMax generator voltage\t0\t550\t500\t0.1 V\t\t\n"
     "34\tTENSION_ALTERNATEUR_BASSE\tMin generator voltage\t0\t550\t200\t0.1 V\t\t\n"
     "36\tRPM_ALTERNATEUR_HAUTE\tMax RPM\t0\t5000\t1800\tRPM\t\t\n"
     "35\tRPM_ALTERNATEUR_MIN\tMin RPM\t0\t5000\t900\tRPM\t\t\n"
     "37\tPUISSANCE_ALTERNATEUR_MAX\tMax Power\t0\t600\t550\tW\t\t\n"
     "38\tPUISSANCE_ALTERNATEUR_MIN\tMin Power\t0\t600\t200\tW\t\t\n"
     "32\tINCREMENT_PRESSION\tPressure increment\t1\t200\t50\t0.01 bar\t\t\n"
     "39\tTEMPS_ACTIVATION_EV_TRES_BASSE_PRESSION\tSolenoid aperture time in low pressure\t0\t100\t20\t10 ms\t\t\n"
     "40\tTEMPS_ACTIVATION_EV\tSolenoid aperture time in high pressure\t0\t10\t2\t10 ms\t\t\n"
     "41\tTEMPS_ACTIVATION_EV_DECOLLAGE_JOINT\tSolenoid aperture time after pump event\t0\t20\t8\t10 ms\t\t\n"
     "42\tTEMPS_ATTENTE\tTime between pulses\t0\t100\t30\t10 ms\t\t\n"
     "43\tPWM_MOTEUR_NOMINALE\tMotor PWM\t0\t255\t80\t-\t\t\n"
     "44\tTEMPS_FREQUENCE_NULLE\tDelay time before releasing if RPM=0\t0\t10000\t4000\t20 ms\t\t\n"
     "45\tTEMPO_MISE_DRAPEAU\tFull pumping for feathering before immersion\t0\t65535\t15000\tms\t\t", "App.kEEPROMHPU")},
    {Caption::kLogHelptag, QT_TRANSLATE_NOOP3("App", "Datalog recorded in My Documents folder", "App.kLogHelptag")},
    {Caption::kAlarmsTab, QT_TRANSLATE_NOOP3("App", "Max alternator voltage [V]\t0\nMax RPM\t0\nMax converter temp. [°C]\t0\n"
     "Max hydraulic pressure[bars]\t0\n"
     "Pitch design mode (0: no pressure=full incidence  ; 1: no pressure = feathered)\t0\n"
     "Overspeed alarm volume (0-100)\t100", "App.kAlarmsTab")},
    {Caption::kAlarmsTitle, QT_TRANSLATE_NOOP3("App", "Visual alarms", "App.kAlarmsTitle")},
    {Caption::kPump, QT_TRANSLATE_NOOP3("App", "PUMP", "App.kPump")},
    {Caption::kRelease, QT_TRANSLATE_NOOP3("App", "RELEASE", "App.kRelease")},
    {Caption::kDrapeau, QT_TRANSLATE_NOOP3("App", "FEATHER", "App.kDrapeau")},
    {Caption::kLogPath, QT_TRANSLATE_NOOP3("App", "Dossier d'enregistrement des logs :", "App.kLogPath")},
};

const Entry& entry(Caption caption) {
    for (const Entry& e : kTable)
        if (e.caption == caption)
            return e;
    Q_UNREACHABLE();
}

} // namespace

QString key(Caption caption) { return QString::fromLatin1(entry(caption).texts.key); }

QString defaultText(Caption caption) { return QString::fromUtf8(entry(caption).texts.text); }

QString text(Caption caption) {
    const Entry& e = entry(caption);
    // The translation installed for the user's language; without one, the default text.
    return QCoreApplication::translate("App", e.texts.text, e.texts.key);
}

} // namespace App
