#pragma once

#include "core/SecondSample.h"
#include "publish/MqttTransport.h"
#include "publish/OutgoingQueue.h"
#include "publish/PublishedMessages.h"

#include <QObject>

// Publishes an installation through a transport: each second's state, retained; "online" and
// the Home Assistant discovery configurations after every connection to the broker, since a
// restarted broker without persistence has forgotten them; "offline" when stopped, and as the
// last will. While the broker is away the states wait in a bounded queue.
class MqttPublisher : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultQueueCapacity = 600; // ten minutes of seconds

    MqttPublisher(MqttTransport& transport, PublishedMessages messages,
                  int queueCapacity = kDefaultQueueCapacity, QObject* parent = nullptr);

    const PublishedMessages& messages() const { return messages_; }
    void start(MqttConnection connection);
    void publishSample(const SecondSample& sample);
    // "offline", then a clean disconnection; waits at most timeoutMs.
    void stop(int timeoutMs = 2000);

    bool isConnected() const { return connected_; }
    int queued() const { return queue_.size(); }
    quint64 droppedTotal() const { return queue_.droppedTotal(); }

signals:
    void connected();
    // Told once per cause: the same reason again (each retry) is not repeated.
    void connectionFailed(const QString& reason, bool refused);
    // States dropped from the queue while the broker was away, told on reconnection.
    void statesDropped(quint64 count);

private:
    void onConnected();
    void onConnectionFailed(const QString& reason, bool refused);
    void flush();

    MqttTransport& transport_;
    PublishedMessages messages_;
    OutgoingQueue queue_;
    bool connected_ = false;
    bool started_ = false;
    QString lastFailure_;
};
