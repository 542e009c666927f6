#pragma once

#include "eeprom/EepromLink.h"
#include "monitor/Monitor.h"

// The EEPROM window's link through the one Monitor of the main window: the window's
// requests are made with this link as their owner.
class MonitorEepromLink : public EepromLink {
public:
    explicit MonitorEepromLink(Monitor& monitor)
        : monitor_(monitor) {}
    bool lectureEEPROM_HPU() override {
        if (!isLineUp())
            return false;
        monitor_.lectureEEPROM_HPU(this);
        return true;
    }
    bool ecritureEEPROM_HPU(qint64 address, qint64 value) override {
        if (!isLineUp())
            return false;
        monitor_.ecritureEEPROM_HPU(address, value, this);
        return true;
    }
    void withdraw() override { monitor_.withdrawEepromRequest(this); }
    bool isPending() const override { return monitor_.eepromRequests().isPending(this); }
    int writesSent() const override { return monitor_.eepromRequests().writesSent(this); }

    bool reponseHPU() const override { return monitor_.state().reponseHPU; }
    bool reponseecritureHPU() const override { return monitor_.state().reponseecritureHPU; }
    bool incompleteAnswer() const override { return monitor_.eepromRequests().incompleteAnswerSeen(); }
    const ByteArray41& TrameBufferEEPROM() const override { return monitor_.state().TrameBufferEEPROM; }
    void clearAnswers() override { monitor_.eepromRequests().clearAnswers(); }

    bool isConnected() const override { return monitor_.isConnected(); }
    bool isLineUp() const override { return monitor_.isLineUp(); }

private:
    Monitor& monitor_;
};
