#pragma once

#include <QtGlobal>

// How long the transport waits before it connects again: 1 s, doubling to 30 s while the
// broker stays away. A connection only starts the count again once it has lasted a minute: a
// broker that takes the connection and drops it at once (another board with the same client
// id, a full broker, a proxy that lets TCP through and nothing else) is not hammered every
// second.
class ReconnectBackOff {
public:
    static constexpr int kFirstSeconds = 1;
    static constexpr int kMaxSeconds = 30;
    static constexpr qint64 kStableConnectionMs = 60000;

    // The wait before the next attempt; each call doubles the next one.
    int nextDelaySeconds() {
        const int delay = next_;
        next_ = qMin(next_ * 2, kMaxSeconds);
        return delay;
    }
    // A connection the broker had accepted ended after lastedMs.
    void connectionEnded(qint64 lastedMs) {
        if (lastedMs >= kStableConnectionMs)
            next_ = kFirstSeconds;
    }

private:
    int next_ = kFirstSeconds;
};
