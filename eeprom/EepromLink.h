#pragma once

#include "core/MonitorState.h"

// What the EEPROM window needs of the main window's link: the monitor state (answer flags,
// the stored read answer, emissionRequest) and the two EEPROM request builders. The window
// owns no serial port; its requests leave through the main window's outgoing slot.
class EepromLink {
public:
    virtual ~EepromLink() = default;
    virtual MonitorState& state() = 0;
    virtual void lectureEEPROM_HPU() = 0;
    virtual void ecritureEEPROM_HPU(qint64 address, qint64 value) = 0;
    // Whether the serial port is connected: a restore stops when the line is lost.
    virtual bool isConnected() const = 0;
};
