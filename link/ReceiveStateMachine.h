#pragma once

#include "core/MonitorState.h"
#include "core/ProgramClock.h"
#include "core/SerialPort.h"
#include "link/BusHealth.h"
#include "link/RawStreamTrace.h"

#include <QByteArray>
#include <QString>

// The consumers of the four kinds of valid frame. The receive state machine keeps the link's
// own bookkeeping (time stamps, presence and answer flags, trace lines); what a frame means
// to the rest of the tool happens here.
class FrameDispatcher {
public:
    virtual ~FrameDispatcher() = default;
    // Converter data frame 00 01 10 10: decode and show the values (refreshDataConverter),
    // and arm the emission timer for the quiet gap that follows.
    virtual void converterDataFrame() = 0;
    // HPU status frame 00 12 10 07: decode and show the HPU status (refreshDataHPU).
    virtual void hpuStatusFrame() = 0;
    // EEPROM read answer 00 12 4C with the full answer's length: keep a copy for the EEPROM
    // window (stockAnswerHPU).
    virtual void eepromReadAnswer() = 0;
    // An EEPROM read answer of any other length: nothing in it is kept.
    virtual void eepromReadAnswerIncomplete() {}
    // EEPROM write acknowledgement 00 12 42: nothing beyond the flag the machine raises.
    virtual void eepromWriteAcknowledged() {}
};

// Rebuilds the emission string from the outgoing slot: TrameBufferEmissionSize = entry 3 + 4,
// strbufferEmission = its entries 0 .. size - 1 (never past the buffer).
void prepareEmission(MonitorState& state);

// Update_RS485_State_Machine: turns the bytes buffered by SerialConnection1 into checked
// frames. Its whole state lives in the monitor state (StatutRS485, TrameBuffer,
// TrameBufferSize), so a reconnection resumes wherever the line left it. One call runs the
// blocks of states 0, 1, 2, 3 and 5 in that order, each only if the state holds its value
// when the block is reached, so at most one frame is handled per call.
class ReceiveStateMachine {
public:
    ReceiveStateMachine(MonitorState& state, SerialPort& port, RawStreamTrace& trace,
                        const ProgramClock& clock, FrameDispatcher& dispatcher);

    void Update_RS485_State_Machine();
    // Calls Update_RS485_State_Machine until a call neither consumes a byte nor moves the state:
    // every whole frame waiting is handled, and the machine waits for bytes still to come.
    void runUntilWaiting();
    // The raw-stream page is on screen: its trace lines are then written out in full.
    void setRawStreamShown(bool shown) { rawStreamShown_ = shown; }

    // Frames, errors and bytes counted as they pass; never reset, the bus health takes differences.
    LinkCounters& counters() { return counters_; }
    const LinkCounters& counters() const { return counters_; }

private:
    void searchHeader();        // state 0
    void readNextHeader();      // state 1
    void readBody();            // state 2
    void checkAndDispatch();    // state 3
    void prepareNextEmission(); // state 5

    // Reads count bytes into TrameBuffer from entry first on.
    void readInto(int first, int count);
    quint8 readByte();
    // Consumes count waiting bytes (all of them when count < 0), as " XX" per byte.
    QString discard(qint64 count);
    // Over-long frame: back to search, every waiting byte discarded.
    void dropOverlongFrame();

    void trace(const QString& entry) { trace_.prepend(entry + QLatin1Char('\n')); }
    bool rawStreamShown() const { return rawStreamShown_; }

    MonitorState& state_;
    SerialPort& port_;
    RawStreamTrace& trace_;
    const ProgramClock& clock_;
    FrameDispatcher& dispatcher_;
    LinkCounters counters_;
    bool rawStreamShown_ = false;
};
