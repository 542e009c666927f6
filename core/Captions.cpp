#include "core/Captions.h"

#include <QCoreApplication>

namespace App {
namespace {

struct Entry {
    Caption caption;
    const char* key;
    const char* text;
};

// The table of caption constants and their default texts (UTF-8).
const Entry kTable[] = {
    {Caption::kFileQuitShortcut, "App.kFileQuitShortcut", "Cmd+Q"},
    {Caption::kFileQuit, "App.kFileQuit", "&Quit"},
    {Caption::kEditClear, "App.kEditClear", "&Delete"},
    {Caption::kInputVoltage, "App.kInputVoltage", "Hydro Voltage [V]"},
    {Caption::kOutputVoltage, "App.kOutputVoltage", "Output Voltage [V]"},
    {Caption::kOutputCurrent, "App.kOutputCurrent", "Output Current [A]"},
    {Caption::kCVTemp, "App.kCVTemp", "Converter Temp. [\u00B0C]"},
    {Caption::kOutputPower, "App.kOutputPower", "Output Power [W]"},
    {Caption::kPressure, "App.kPressure", "Oil Pressure [Bar]"},
    {Caption::kPitchCorr, "App.kPitchCorr", "Pitch correction"},
    // The constant named after values captions the raw-stream page and vice versa.
    {Caption::kValuesTab, "App.kValuesTab", "Raw stream"},
    {Caption::kRawDataTab, "App.kRawDataTab", "Values"},
    {Caption::kSerialPort, "App.kSerialPort", "Serial Port :"},
    {Caption::kSerialPortTip, "App.kSerialPortTip",
     "The name of the serial port contains FTxxxx if you use FTDI adapter provided by Orvane\n"
     "If invisible, you should consider installing FTDI drivers."},
    {Caption::kConnectCaption, "App.kConnectCaption", "Connect"},
    {Caption::kUnconnectCaption, "App.kUnconnectCaption", "Disconnect"},
    {Caption::kDriverLink, "App.kDriverLink", "Drivers\u2026"},
    {Caption::kPitchInactive, "App.kPitchInactive", "inactive"},
    {Caption::kPitchPump, "App.kPitchPump", "pump active"},
    {Caption::kPitchRelease, "App.kPitchRelease", "release"},
    {Caption::kEEPROMHPU, "App.kEEPROMHPU",
     "Address\tParameter\tDescribtion\tMin\tMax\tDefault\tUnity\tValue\tReal value\n"
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
     "45\tTEMPO_MISE_DRAPEAU\tFull pumping for feathering before immersion\t0\t65535\t15000\tms\t\t"},
    {Caption::kLogHelptag, "App.kLogHelptag", "Datalog recorded in My Documents folder"},
    {Caption::kAlarmsTab, "App.kAlarmsTab",
     "Max alternator voltage [V]\t0\nMax RPM\t0\nMax converter temp. [\u00B0C]\t0\n"
     "Max hydraulic pressure[bars]\t0\n"
     "Pitch design mode (0: no pressure=full incidence  ; 1: no pressure = feathered)\t0\n"
     "Overspeed alarm volume (0-100)\t100"},
    {Caption::kAlarmsTitle, "App.kAlarmsTitle", "Visual alarms"},
    {Caption::kPump, "App.kPump", "PUMP"},
    {Caption::kRelease, "App.kRelease", "RELEASE"},
    {Caption::kDrapeau, "App.kDrapeau", "FEATHER"},
    {Caption::kLogPath, "App.kLogPath", "Dossier d'enregistrement des logs :"},
};

const Entry& entry(Caption caption) {
    for (const Entry& e : kTable)
        if (e.caption == caption)
            return e;
    Q_UNREACHABLE();
}

} // namespace

QString key(Caption caption) { return QString::fromLatin1(entry(caption).key); }

QString defaultText(Caption caption) { return QString::fromUtf8(entry(caption).text); }

QString text(Caption caption) {
    const Entry& e = entry(caption);
    // A translator installed for the user's language answers the key; without one, the
    // lookup returns the key itself and the default text applies.
    const QString translated = QCoreApplication::translate("App", e.key);
    if (translated.isEmpty() || translated == QLatin1String(e.key))
        return QString::fromUtf8(e.text);
    return translated;
}

} // namespace App
