#pragma once

#include "sim/SimulationSettings.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <optional>

namespace Sim {

// Faults of a noisy line, drawn from a seeded generator so that a run can be replayed: each
// frame a device sends suffers a fault with the set probability, of a kind drawn from the
// enabled kinds. A silenced device loses every frame until its silence ends; those frames
// draw no further faults.
class LineFaults {
public:
    struct Outcome {
        QByteArray bytes;               // what reaches the line: empty when the frame is lost
        std::optional<FaultKind> fault; // the fault this frame suffered, if any
    };

    explicit LineFaults(LineFaultSettings settings);

    Outcome apply(Device device, const QByteArray& frame, qint64 ms);

    bool isSilent(Device device, qint64 ms) const;
    // Frames that drew a fault or not (frames lost to an ongoing silence are not counted).
    int framesDrawn() const { return framesDrawn_; }
    int count(FaultKind kind) const;

private:
    LineFaultSettings settings_;
    QRandomGenerator generator_;
    qint64 silentUntil_[2] = {-1, -1}; // per device
    int framesDrawn_ = 0;
    int counts_[4] = {0, 0, 0, 0};
};

} // namespace Sim
