#pragma once

#include "monitor/Monitor.h"
#include "eeprom/EepromLink.h"

// The EEPROM window's link through the one Monitor of the main window.
class MonitorEepromLink : public EepromLink {
public:
    explicit MonitorEepromLink(Monitor& monitor)
        : monitor_(monitor) {}
    MonitorState& state() override { return monitor_.state(); }
    void lectureEEPROM_HPU() override { monitor_.lectureEEPROM_HPU(); }
    void ecritureEEPROM_HPU(qint64 address, qint64 value) override {
        monitor_.ecritureEEPROM_HPU(address, value);
    }

private:
    Monitor& monitor_;
};
