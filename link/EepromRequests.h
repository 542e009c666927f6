#pragma once

#include "core/MonitorState.h"

#include <QHash>

// Who asked for the EEPROM request in the outgoing slot, and whether it may still leave.
// The slot holds one command; an EEPROM read or write request is built here on behalf of an
// owner (the EEPROM window's link), who can withdraw it while it waits. Withdrawing only ever
// takes that owner's own EEPROM frame out of the slot: a pump or release command built later
// by the main window is left alone. A lost or closed line withdraws every EEPROM request, so
// nothing left over from before goes out on a reconnected line.
//
// It also keeps what the HPU answered that the answer flags do not say: how many of an
// owner's write requests went on the line, and whether an incomplete read answer came.
class EepromRequests {
public:
    using Owner = const void*;

    explicit EepromRequests(MonitorState& state)
        : state_(state) {}

    // lectureEEPROM_HPU and ecritureEEPROM_HPU on behalf of owner.
    void read(Owner owner);
    void write(Owner owner, qint64 address, qint64 value);
    // A command that is not an EEPROM request (pump, release) overwrote the slot.
    void otherCommandQueued() { slotOwner_ = nullptr; }
    // The emission tick wrote the slot onto the line.
    void commandWritten();

    // Takes owner's request out of the slot if it is still waiting there. True when one was.
    bool withdraw(Owner owner);
    // The line is closed or lost: no EEPROM request survives it.
    void withdrawAll();
    // Owner's request waits in the slot.
    bool isPending(Owner owner) const;
    // How many of owner's write requests went on the line, ever.
    int writesSent(Owner owner) const { return writesSent_.value(owner, 0); }

    // An EEPROM read answer whose announced length is not the full answer's.
    void incompleteAnswerReceived() { incompleteAnswer_ = true; }
    bool incompleteAnswerSeen() const { return incompleteAnswer_; }
    // Forgets every answer heard: the flags, and the incomplete answer.
    void clearAnswers();

private:
    bool slotHoldsEepromRequest() const;

    MonitorState& state_;
    Owner slotOwner_ = nullptr; // whose EEPROM request the slot holds, if any
    QHash<Owner, int> writesSent_;
    bool incompleteAnswer_ = false;
};
