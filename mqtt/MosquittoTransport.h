#pragma once

#include "publish/MqttTransport.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

struct mosquitto;

// The transport on libmosquitto. All network work (name lookup, TCP and TLS set-up, reading,
// writing, keep-alive) runs on one thread of its own, so a broker that is slow, unreachable
// or behind a dead route never delays the log tick: publish() only queues the packet inside
// libmosquitto. The thread reconnects by itself, 1 s after a loss, doubling to 30 s while the
// broker stays away. Signals are delivered on the thread this object lives in.
class MosquittoTransport : public MqttTransport {
    Q_OBJECT
public:
    explicit MosquittoTransport(QObject* parent = nullptr);
    ~MosquittoTransport() override;

    void start(const MqttConnection& connection) override;
    bool publish(const MqttMessage& message) override;
    void stop(const MqttMessage& farewell, int timeoutMs) override;

    // Messages handed over and not yet written (QoS 0) or acknowledged (QoS 1); above this
    // publish() says no and the publisher's bounded queue keeps them.
    static constexpr int kMaxInFlight = 100;

private:
    void run(); // the network thread
    void waitBeforeRetry(int seconds);
    void finishThread(int timeoutMs);
    void report(const QString& reason, bool refused);

    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid);

    mosquitto* mosq_ = nullptr;
    MqttConnection connection_;
    std::thread thread_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<int> inFlight_{0};
    std::atomic<bool> everAccepted_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    int farewellMid_ = -1; // guarded by mutex_
    bool farewellDone_ = false;
    bool threadDone_ = false;
};
