#include "link/BusHealth.h"

#include <QCoreApplication>

namespace {

LinkCounters since(const LinkCounters& now, const LinkCounters& base) {
    LinkCounters d;
    d.converterFrames = now.converterFrames - base.converterFrames;
    d.hpuFrames = now.hpuFrames - base.hpuFrames;
    d.checksumErrors = now.checksumErrors - base.checksumErrors;
    d.junkBytes = now.junkBytes - base.junkBytes;
    d.overlongFrames = now.overlongFrames - base.overlongFrames;
    d.commandsSent = now.commandsSent - base.commandsSent;
    d.bytesReceived = now.bytesReceived - base.bytesReceived;
    return d;
}

QString heard(const std::optional<qint64>& silentSeconds) {
    return silentSeconds ? QCoreApplication::translate("BusHealth", "heard %1 s ago").arg(*silentSeconds)
                         : QCoreApplication::translate("BusHealth", "not heard");
}

} // namespace

void BusHealth::reset(const LinkCounters& counters, qint64 nowMs) {
    base_ = counters;
    previous_ = counters;
    previousMs_ = nowMs;
    connectedMs_ = nowMs;
    figures_ = Figures();
}

void BusHealth::update(const LinkCounters& counters, qint64 nowMs, qint64 lastConverterMs, qint64 lastHpuMs) {
    const LinkCounters lastSecond = since(counters, previous_);
    const double seconds = double(nowMs - previousMs_) / 1000.0;
    if (seconds > 0.0) {
        figures_.converterFramesPerSecond = double(lastSecond.converterFrames) / seconds;
        figures_.hpuFramesPerSecond = double(lastSecond.hpuFrames) / seconds;
        figures_.lineUsePercent = 100.0 * double(lastSecond.bytesReceived) / seconds / kLineBytesPerSecond;
    }
    const auto silent = [&](qint64 lastMs) -> std::optional<qint64> {
        if (lastMs < connectedMs_)
            return std::nullopt; // not heard since the Connect
        return (nowMs - lastMs) / 1000;
    };
    figures_.converterSilentSeconds = silent(lastConverterMs);
    figures_.hpuSilentSeconds = silent(lastHpuMs);
    figures_.totals = since(counters, base_);
    previous_ = counters;
    previousMs_ = nowMs;
}

QString BusHealth::text() const {
    const Figures& f = figures_;
    // Shown under the trace, in the user's language (the trace itself is not translated).
    return QCoreApplication::translate(
               "BusHealth", "Converter %1 frames/s, %2 · HPU %3 frames/s, %4 · line %5 % used\n"
                            "Checksum errors %6 · junk bytes %7 · over-long frames %8 · commands sent %9")
        .arg(f.converterFramesPerSecond, 0, 'f', 1)
        .arg(heard(f.converterSilentSeconds))
        .arg(f.hpuFramesPerSecond, 0, 'f', 1)
        .arg(heard(f.hpuSilentSeconds))
        .arg(f.lineUsePercent, 0, 'f', 0)
        .arg(f.totals.checksumErrors)
        .arg(f.totals.junkBytes)
        .arg(f.totals.overlongFrames)
        .arg(f.totals.commandsSent);
}
