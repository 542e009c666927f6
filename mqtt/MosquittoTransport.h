#pragma once

#include "publish/MqttTransport.h"

#include <memory>

// The transport on libmosquitto. All network work (name lookup, TCP and TLS set-up, reading,
// writing, keep-alive) runs on one thread of its own, so a broker that is slow, unreachable
// or behind a dead route never delays the log tick: publish() only queues the packet inside
// libmosquitto. The thread reconnects by itself, as ReconnectBackOff says. Signals are
// delivered on the thread this object lives in.
class MosquittoTransport : public MqttTransport {
    Q_OBJECT
public:
    explicit MosquittoTransport(QObject* parent = nullptr);
    ~MosquittoTransport() override;

    QString start(const MqttConnection& connection) override;
    bool publish(const MqttMessage& message) override;
    void stop(const MqttMessage& farewell, int timeoutMs) override;

    // Messages handed over and not yet written (QoS 0) or acknowledged (QoS 1); above this
    // publish() says no and the publisher's bounded queue keeps them.
    static constexpr int kMaxInFlight = 100;

    struct Session; // what the network thread shares with us; it may outlive this object

private:
    void finishThread(int timeoutMs);

    std::shared_ptr<Session> session_;
};
