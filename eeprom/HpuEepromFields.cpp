#include "eeprom/HpuEepromFields.h"

namespace {

qint64 word(const ByteArray41& b, int high) {
    return qint64(b[high]) * 256 + b[high + 1];
}

} // namespace

void HpuEepromFields::decodeLectEEPROMHPU(const ByteArray41& b) {
    PRE_TypePale = b[4];
    PRE_PressionMax = word(b, 5);
    PRE_PressionMin = word(b, 7);
    PRE_IncrPression = b[9];
    PRE_UaltMax = word(b, 10);
    PRE_UaltMin = word(b, 12);
    PRE_RPMNom = word(b, 14);
    PRE_RPMMax = word(b, 16);
    PRE_Pmax = word(b, 18);
    PRE_Pmin = word(b, 20);
    PRE_Temps_EV_basse_pression = b[22];
    PRE_Temps_EV = b[23];
    PRE_Temps_decollage_joint = b[24];
    PRE_Temps_attente = b[25];
    PRE_PWM_moteur = b[26];
    PRE_Temps_freq_nulle = word(b, 27);
    PRE_Temps_mise_drapeau = word(b, 29);
    SYS_NoCarte = word(b, 31);
    SYS_VersionSoft = word(b, 33);
}

qint64 HpuEepromFields::valueAtAddress(qint64 address) const {
    switch (address) {
    case 29:
        return PRE_TypePale;
    case 30:
        return PRE_PressionMax;
    case 31:
        return PRE_PressionMin;
    case 32:
        return PRE_IncrPression;
    case 33:
        return PRE_UaltMax;
    case 34:
        return PRE_UaltMin;
    case 35:
        return PRE_RPMNom;
    case 36:
        return PRE_RPMMax;
    case 37:
        return PRE_Pmax;
    case 38:
        return PRE_Pmin;
    case 39:
        return PRE_Temps_EV_basse_pression;
    case 40:
        return PRE_Temps_EV;
    case 41:
        return PRE_Temps_decollage_joint;
    case 42:
        return PRE_Temps_attente;
    case 43:
        return PRE_PWM_moteur;
    case 44:
        return PRE_Temps_freq_nulle;
    case 45:
        return PRE_Temps_mise_drapeau;
    case 46:
        return SYS_NoCarte;
    default:
        return -1;
    }
}
