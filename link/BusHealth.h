#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What the link has seen since the last Connect, counted as it happens by the receive state
// machine and the emission pacer: plain increments, so a busy line pays nothing for them.
struct LinkCounters {
    quint64 converterFrames = 0;
    quint64 hpuFrames = 0;
    quint64 checksumErrors = 0;
    quint64 junkBytes = 0; // discarded while searching for a header, stray bytes included
    quint64 overlongFrames = 0;
    quint64 commandsSent = 0;
    quint64 bytesReceived = 0;
};

// The bus health figures of the raw-stream page, refreshed once a second from the counters.
class BusHealth {
public:
    static constexpr double kLineBytesPerSecond = 960.0; // 9600 bit/s, 10 bits a byte

    struct Figures {
        double converterFramesPerSecond = 0.0;
        double hpuFramesPerSecond = 0.0;
        std::optional<qint64> converterSilentSeconds; // empty until heard since the Connect
        std::optional<qint64> hpuSilentSeconds;
        LinkCounters totals;
        double lineUsePercent = 0.0; // of the line's 960 bytes/s, over the last second
    };

    // At Connect: counts start again from these counters, at this time.
    void reset(const LinkCounters& counters, qint64 nowMs);
    // Once a second: rates over the time since the last update. lastHeard are the times of
    // the last converter and HPU frames (program clock), or negative when none came since Connect.
    void update(const LinkCounters& counters, qint64 nowMs, qint64 lastConverterMs, qint64 lastHpuMs);

    const Figures& figures() const { return figures_; }
    // Two lines for the raw-stream page.
    QString text() const;

private:
    LinkCounters base_;
    LinkCounters previous_;
    qint64 previousMs_ = 0;
    qint64 connectedMs_ = 0;
    Figures figures_;
};
