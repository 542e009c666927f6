#pragma once

#include "publish/MqttMessage.h"

#include <deque>

// Messages waiting for the broker: the newest one of each topic, in the order the topics first
// waited. A retained topic says what is true now, so while the broker is away a newer state
// replaces the one that waited: after an outage the broker gets the present, not a burst of
// old seconds replayed as live (the CSV log has them), and memory stays flat however long the
// outage lasts.
class PendingMessages {
public:
    // Keeps message; true when it replaced one waiting on the same topic.
    bool put(MqttMessage message);
    bool isEmpty() const { return messages_.empty(); }
    int size() const { return int(messages_.size()); }
    const MqttMessage& front() const { return messages_.front(); }
    void pop() { messages_.pop_front(); }

private:
    std::deque<MqttMessage> messages_;
};
