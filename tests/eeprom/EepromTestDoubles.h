#pragma once

#include "Hex.h"
#include "eeprom/EepromLink.h"
#include "eeprom/EepromPrompts.h"
#include "link/EepromRequests.h"
#include "link/HpuCommands.h"

#include <QList>
#include <QPair>
#include <QStringList>

// The EEPROM window's link on a bare monitor state, with the real request builders and
// outgoing-slot owner: the sequencer's requests land in the slot as they would through the
// main window. The test plays the receive side and the emission tick.
class StateEepromLink : public EepromLink {
public:
    bool lectureEEPROM_HPU() override {
        if (!connected)
            return false;
        ++readRequests;
        requests.read(this);
        return true;
    }
    bool ecritureEEPROM_HPU(qint64 address, qint64 value) override {
        if (!connected)
            return false;
        writeRequests.append({address, value});
        requests.write(this, address, value);
        return true;
    }
    void withdraw() override { requests.withdraw(this); }
    bool isPending() const override { return requests.isPending(this); }
    int writesSent() const override { return requests.writesSent(this); }

    bool reponseHPU() const override { return monitorState.reponseHPU; }
    bool reponseecritureHPU() const override { return monitorState.reponseecritureHPU; }
    bool incompleteAnswer() const override { return requests.incompleteAnswerSeen(); }
    const ByteArray41& TrameBufferEEPROM() const override { return monitorState.TrameBufferEEPROM; }
    void clearAnswers() override { requests.clearAnswers(); }

    bool isConnected() const override { return connected; }
    bool isLineUp() const override { return connected; }

    // The emission tick: the slot's command goes on the line.
    void send() {
        if (!monitorState.emissionRequest)
            return;
        monitorState.emissionRequest = false;
        requests.commandWritten();
    }
    // The receive side: a read answer stored and flagged, or an acknowledgement flagged.
    void answerRead(const QByteArray& frame) {
        for (int i = 0; i < frame.size() && i < kFrameBufferSize; ++i)
            monitorState.TrameBufferEEPROM[size_t(i)] = quint8(frame[i]);
        monitorState.reponseHPU = true;
    }
    void acknowledgeWrite() { monitorState.reponseecritureHPU = true; }

    QByteArray slot() const {
        return QByteArray(reinterpret_cast<const char*>(monitorState.TrameBufferEmission.data()),
                          int(monitorState.TrameBufferEmissionSize));
    }

    MonitorState monitorState;
    EepromRequests requests{monitorState};
    bool connected = true;
    int readRequests = 0;
    QList<QPair<qint64, qint64>> writeRequests; // (address, value) of each write request built
};

// The technician's answers to the editor's questions.
class RecordingPrompts : public EepromPrompts {
public:
    void refuse(const QString& message) override { refusals.append(message); }
    bool confirm(const QString& question) override {
        questions.append(question);
        return answer;
    }
    void inform(const QString& message) override { reports.append(message); }
    QStringList refusals;
    QStringList questions;
    QStringList reports;
    bool answer = false;
};

// An EEPROM read answer holding the catalogue's defaults, with distinct values for the
// two RPM parameters (36 Max RPM 1800 in elements 16-17, 35 Min RPM 900 in 14-15), board
// number 42 and software version 259.
inline QByteArray defaultsReadAnswer() {
    return hexBytes("00 12 4C 21 00 03 20 00 32 32 01 F4 00 C8 03 84 07 08 02 26 00 C8 14 02 08 1E 50 0F A0 "
                    "3A 98 00 2A 01 03 06 84");
}

// The same after 450 was written at address 33 (elements 10-11 = 01 C2).
inline QByteArray readAnswerAfter450() {
    return hexBytes("00 12 4C 21 00 03 20 00 32 32 01 C2 00 C8 03 84 07 08 02 26 00 C8 14 02 08 1E 50 0F A0 "
                    "3A 98 00 2A 01 03 06 52");
}

inline QByteArray writeAcknowledgement() {
    return hexBytes("00 12 42 02 00 56");
}
