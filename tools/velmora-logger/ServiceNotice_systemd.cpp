#include "ServiceNotice.h"

#include <systemd/sd-daemon.h>

#include <chrono>

namespace {

void tell(const QString& state) {
    sd_notify(0, state.toUtf8().constData());
}

// A quarter of the watchdog's interval between two notices (a tick late is no miss); 0 when
// the manager set no watchdog.
std::chrono::microseconds alivePeriod() {
    static const std::chrono::microseconds period = [] {
        uint64_t usec = 0;
        return sd_watchdog_enabled(0, &usec) > 0 ? std::chrono::microseconds(usec / 4)
                                                 : std::chrono::microseconds(0);
    }();
    return period;
}

} // namespace

namespace ServiceNotice {

void ready(const QString& status) {
    tell(QStringLiteral("READY=1\nSTATUS=") + status);
}

void status(const QString& status) {
    tell(QStringLiteral("STATUS=") + status);
}

void alive() {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last;
    const std::chrono::microseconds period = alivePeriod();
    if (period.count() == 0)
        return;
    const Clock::time_point now = Clock::now();
    if (last != Clock::time_point() && now - last < period)
        return;
    last = now;
    sd_notify(0, "WATCHDOG=1");
}

void stopping() {
    sd_notify(0, "STOPPING=1");
}

} // namespace ServiceNotice
