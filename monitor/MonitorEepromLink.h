#pragma once

#include "eeprom/EepromLink.h"
#include "monitor/Monitor.h"

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
    bool isConnected() const override { return monitor_.isConnected(); }

private:
    Monitor& monitor_;
};
