#pragma once

#include "core/MonitorState.h"

// The HPU's EEPROM parameters and system values as the EEPROM window holds them, filled
// from the EEPROM read answer. All are -1 until the first answer has been decoded.
struct HpuEepromFields {
    qint64 PRE_TypePale = -1;                // address 29, 8 bits
    qint64 PRE_PressionMax = -1;             // 30, 16 bits
    qint64 PRE_PressionMin = -1;             // 31, 16 bits
    qint64 PRE_IncrPression = -1;            // 32, 8 bits
    qint64 PRE_UaltMax = -1;                 // 33, 16 bits
    qint64 PRE_UaltMin = -1;                 // 34, 16 bits
    qint64 PRE_RPMNom = -1;                  // 35 ("Min RPM"), 16 bits
    qint64 PRE_RPMMax = -1;                  // 36, 16 bits
    qint64 PRE_Pmax = -1;                    // 37, 16 bits
    qint64 PRE_Pmin = -1;                    // 38, 16 bits
    qint64 PRE_Temps_EV_basse_pression = -1; // 39, 8 bits
    qint64 PRE_Temps_EV = -1;                // 40, 8 bits
    qint64 PRE_Temps_decollage_joint = -1;   // 41, 8 bits
    qint64 PRE_Temps_attente = -1;           // 42, 8 bits
    qint64 PRE_PWM_moteur = -1;              // 43, 8 bits
    qint64 PRE_Temps_freq_nulle = -1;        // 44, 16 bits
    qint64 PRE_Temps_mise_drapeau = -1;      // 45, 16 bits
    qint64 SYS_NoCarte = -1;                 // 46: the HPU's board number
    qint64 SYS_VersionSoft = -1;             // no address: the HPU's software version

    // Reads elements 4 to 34 of the stored answer, parameters in address order, 16-bit
    // values high byte first, whatever the length of the last answer.
    void decodeLectEEPROMHPU(const ByteArray41& answer);

    // The field at an EEPROM address: 29 to 45 the parameters, 46 SYS_NoCarte, else -1.
    qint64 valueAtAddress(qint64 address) const;
};
