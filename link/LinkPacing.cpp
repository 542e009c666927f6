#include "link/LinkPacing.h"

#include "core/NumberMask.h"

#include <algorithm>
#include <limits>

void ReceptionPacer::SerialConnection1_DataReceived() {
    const qint64 nowUs = clock_.elapsedUs();
    const quint64 arrived = bytesRead() + quint64(std::max<qint64>(port_.bytesAvailable(), 0));
    // An event without new bytes keeps the time of the one that brought them. Bytes a closed
    // port dropped unread leave their time to the first bytes after the reopening: earlier than
    // those arrived, so at worst a gap is taken as over and the command waits for the next.
    if (arrivals_.isEmpty() || arrivals_.last().upToByte < arrived)
        arrivals_.append({arrived, nowUs});

    // A dispatch that runs an event loop of its own (a message box) may bring the next event
    // inside this one: the loop below takes those bytes once the dispatch returns.
    if (decoding_)
        return;
    decoding_ = true;
    machine_.runUntilWaiting();
    decoding_ = false;

    // Only the arrival of the last byte read, and of those still waiting, can still be asked for.
    const quint64 read = bytesRead();
    const auto firstNeeded = std::find_if(arrivals_.begin(), arrivals_.end(),
                                          [read](const Arrival& a) { return a.upToByte >= read; });
    arrivals_.erase(arrivals_.begin(), firstNeeded);
}

std::optional<qint64> ReceptionPacer::lastByteArrivalUs() const {
    const quint64 read = bytesRead();
    for (const Arrival& a : arrivals_)
        if (a.upToByte >= read)
            return a.atUs;
    return std::nullopt;
}

void EmissionPacer::arm(const QString& delayText, std::optional<qint64> frameEndUs) {
    const qint64 typed = leadingInteger(delayText);
    if (typed > 0)
        delayMs_ = int(std::min<qint64>(typed, std::numeric_limits<int>::max()));
    gapEndUs_ = frameEndUs ? *frameEndUs + qint64(delayMs_) * 1000 : -1;
    timer_.setMode(Timer::Off);
    startForRestOfGap();
}

void EmissionPacer::commandQueued() {
    if (!timer_.isRunning())
        startForRestOfGap();
}

void EmissionPacer::startForRestOfGap() {
    if (!state_.emissionRequest || gapEndUs_ < 0)
        return;
    const qint64 leftUs = gapEndUs_ - clock_.elapsedUs();
    if (leftUs <= 0) {
        gapEndUs_ = -1; // read too late to speak in: the next converter frame opens the next gap
        return;
    }
    // Whole milliseconds, rounded up: the command never leaves before the gap's end.
    const qint64 leftMs = (leftUs + 999) / 1000;
    timer_.setPeriod(int(std::min<qint64>(leftMs, std::numeric_limits<int>::max())));
    timer_.setMode(Timer::Repeating);
    timer_.restart();
}

void EmissionPacer::commandWithdrawn() {
    if (!state_.emissionRequest)
        timer_.setMode(Timer::Off);
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
    gapEndUs_ = -1;             // the gap is over; the next command waits for a frame
}
