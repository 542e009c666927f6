#include "sim/LineFaults.h"

namespace Sim {

LineFaults::LineFaults(LineFaultSettings settings)
    : settings_(std::move(settings))
    , generator_(settings_.seed) {}

bool LineFaults::isSilent(Device device, qint64 ms) const {
    return ms < silentUntil_[int(device)];
}

int LineFaults::count(FaultKind kind) const {
    return counts_[int(kind)];
}

LineFaults::Outcome LineFaults::apply(Device device, const QByteArray& frame, qint64 ms) {
    if (isSilent(device, ms))
        return {};
    ++framesDrawn_;
    if (settings_.kinds.isEmpty() || settings_.rate <= 0.0 || generator_.generateDouble() >= settings_.rate)
        return {frame, std::nullopt};

    const FaultKind kind = settings_.kinds.at(int(generator_.bounded(quint32(settings_.kinds.size()))));
    ++counts_[int(kind)];
    switch (kind) {
    case FaultKind::Junk: {
        // Noise never holds 00, so it cannot pass for the start of a header.
        QByteArray noise;
        const int length = 1 + int(generator_.bounded(6u));
        for (int i = 0; i < length; ++i)
            noise.append(char(1 + generator_.bounded(255u)));
        return {noise + frame, kind};
    }
    case FaultKind::StrayByte: {
        static const char kStray[] = {char(0x00), char(0xFF), char(0xFE)};
        return {kStray[generator_.bounded(3u)] + frame, kind};
    }
    case FaultKind::BadChecksum: {
        QByteArray corrupted = frame;
        corrupted[corrupted.size() - 1] =
            char(quint8(corrupted.back()) ^ quint8(1 + generator_.bounded(255u)));
        return {corrupted, kind};
    }
    case FaultKind::Silence:
        silentUntil_[int(device)] = ms + settings_.silenceMs;
        return {QByteArray(), kind};
    }
    return {frame, std::nullopt};
}

} // namespace Sim
