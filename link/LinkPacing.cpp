#include "link/LinkPacing.h"

#include "core/NumberMask.h"

#include <limits>

void ReceptionPacer::setPace(Pace pace) {
    pace_ = pace;
    if (pace_ == Pace::AsBytesArrive && timer_.isRunning()) {
        timer_.setMode(Timer::Off);
        machine_.runUntilWaiting(); // what the tick was waiting to handle
    }
}

void ReceptionPacer::SerialConnection1_DataReceived() {
    if (pace_ == Pace::AsBytesArrive)
        machine_.runUntilWaiting();
    else
        timer_.setMode(Timer::Repeating);
}

void ReceptionPacer::TimerReceptionRS485_Action() {
    machine_.Update_RS485_State_Machine();
    // Bytes still waiting (a partial frame, or too few for a header) keep the tick going.
    if (port_.bytesAvailable() == 0)
        timer_.setMode(Timer::Off);
}

void EmissionPacer::arm(const QString& delayText) {
    const qint64 typed = leadingInteger(delayText);
    if (typed > 0)
        delayMs_ = int(std::min<qint64>(typed, std::numeric_limits<int>::max()));
    gapEndMs_ = clock_.elapsedMs() + delayMs_;
    if (state_.emissionRequest)
        start(delayMs_);
    else
        timer_.setMode(Timer::Off);
}

void EmissionPacer::commandQueued() {
    if (!state_.emissionRequest || timer_.isRunning() || gapEndMs_ < 0)
        return;
    const qint64 left = gapEndMs_ - clock_.elapsedMs();
    if (left > 0)
        start(left);
}

void EmissionPacer::start(qint64 periodMs) {
    timer_.setPeriod(int(std::min<qint64>(periodMs, std::numeric_limits<int>::max())));
    timer_.restart();
    timer_.setMode(Timer::Repeating);
}

void EmissionPacer::TimerEmissionRS485_Action() {
    if (state_.emissionRequest) {
        // The frame last built is the one sent, even when it was built after the last
        // received frame.
        prepareEmission(state_);
        // A port closed since the arming (disconnection, serial error) takes nothing: the
        // command stays pending for the first converter frame after a reconnection.
        if (port_.isOpen() && port_.write(state_.strbufferEmission) >= 0) {
            trace_.prepend(QStringLiteral(" j'emets une trame  \n"));
            state_.emissionRequest = false;
        }
    }
    timer_.setMode(Timer::Off); // once per arming
    gapEndMs_ = -1;             // the gap is over; the next command waits for a frame
}
