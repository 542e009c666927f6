#pragma once

#include "core/MonitorState.h"

// What the EEPROM window needs of the main window's link. The window owns no serial port:
// its requests leave through the main window's outgoing slot, made on the window's behalf,
// and the window can withdraw the one still waiting. It reads the answers through here and
// never sets a flag of the link itself.
class EepromLink {
public:
    virtual ~EepromLink() = default;

    // --- Requests, on this window's behalf ---
    // Each rebuilds the outgoing slot. False, and nothing queued, while the line is not up.
    virtual bool lectureEEPROM_HPU() = 0;
    virtual bool ecritureEEPROM_HPU(qint64 address, qint64 value) = 0;
    // Takes this window's request out of the slot if it has not left yet.
    virtual void withdraw() = 0;
    // This window's request waits in the slot.
    virtual bool isPending() const = 0;
    // How many of this window's write requests went on the line.
    virtual int writesSent() const = 0;

    // --- Answers heard since the last clearAnswers ---
    virtual bool reponseHPU() const = 0;         // a complete read answer
    virtual bool reponseecritureHPU() const = 0; // a write acknowledgement
    virtual bool incompleteAnswer() const = 0;   // a read answer cut short
    // The last complete read answer; only meaningful while reponseHPU() holds.
    virtual const ByteArray41& TrameBufferEEPROM() const = 0;
    virtual void clearAnswers() = 0;

    // --- The line ---
    // Connected by the technician (the line may be lost and being reopened).
    virtual bool isConnected() const = 0;
    // Connected and the port open: a request made now can go out.
    virtual bool isLineUp() const = 0;
};
