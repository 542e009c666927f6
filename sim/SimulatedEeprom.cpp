#include "sim/SimulatedEeprom.h"

namespace Sim {

namespace {

struct Parameter {
    int address;
    bool oneByte;
    quint16 factoryValue;
};

// Address order. The one-byte parameters are those whose range ends at 255 or below.
constexpr Parameter kParameters[] = {
    {29, true, 0},      // TYPE_PALES
    {30, false, 800},   // PRESSION_MAX, 0.01 bar
    {31, false, 50},    // PRESSION_MIN, 0.01 bar
    {32, true, 50},     // INCREMENT_PRESSION, 0.01 bar
    {33, false, 500},   // TENSION_ALTERNATEUR_HAUTE, 0.1 V
    {34, false, 200},   // TENSION_ALTERNATEUR_BASSE, 0.1 V
    {35, false, 900},   // RPM_ALTERNATEUR_MIN
    {36, false, 1800},  // RPM_ALTERNATEUR_HAUTE
    {37, false, 550},   // PUISSANCE_ALTERNATEUR_MAX, W
    {38, false, 200},   // PUISSANCE_ALTERNATEUR_MIN, W
    {39, true, 20},     // TEMPS_ACTIVATION_EV_TRES_BASSE_PRESSION, 10 ms
    {40, true, 2},      // TEMPS_ACTIVATION_EV, 10 ms
    {41, true, 8},      // TEMPS_ACTIVATION_EV_DECOLLAGE_JOINT, 10 ms
    {42, true, 30},     // TEMPS_ATTENTE, 10 ms
    {43, true, 80},     // PWM_MOTEUR_NOMINALE
    {44, false, 4000},  // TEMPS_FREQUENCE_NULLE, 20 ms
    {45, false, 15000}, // TEMPO_MISE_DRAPEAU, ms
};

const Parameter* find(int address) {
    for (const Parameter& p : kParameters)
        if (p.address == address)
            return &p;
    return nullptr;
}

void appendWord(QByteArray& bytes, quint16 word) {
    bytes.append(char(word >> 8));
    bytes.append(char(word & 0xFF));
}

} // namespace

SimulatedEeprom::SimulatedEeprom(quint16 boardNumber, quint16 softwareVersion)
    : boardNumber_(boardNumber)
    , softwareVersion_(softwareVersion) {
    for (const Parameter& p : kParameters)
        values_.insert(p.address, p.factoryValue);
}

bool SimulatedEeprom::isOneByte(int address) {
    const Parameter* p = find(address);
    return p && p->oneByte;
}

quint16 SimulatedEeprom::factoryValue(int address) {
    const Parameter* p = find(address);
    return p ? p->factoryValue : 0;
}

int SimulatedEeprom::value(int address) const {
    return values_.value(address, -1);
}

bool SimulatedEeprom::store(int address, quint16 value) {
    if (!isParameter(address))
        return false;
    values_[address] = isOneByte(address) ? quint16(value & 0xFF) : value;
    return true;
}

QByteArray SimulatedEeprom::readAnswerPayload() const {
    QByteArray payload;
    for (const Parameter& p : kParameters) {
        const quint16 v = values_.value(p.address);
        if (p.oneByte)
            payload.append(char(v & 0xFF));
        else
            appendWord(payload, v);
    }
    appendWord(payload, boardNumber_);
    appendWord(payload, softwareVersion_);
    return payload;
}

} // namespace Sim
