#pragma once

#include "publish/MqttMessage.h"

#include <QtGlobal>

#include <deque>

// Messages waiting for the broker. Bounded: while the broker is away the newest seconds are
// kept and the oldest dropped, counted, so memory stays flat however long the outage lasts.
class OutgoingQueue {
public:
    explicit OutgoingQueue(int capacity);

    void push(MqttMessage message);
    bool isEmpty() const { return messages_.empty(); }
    int size() const { return int(messages_.size()); }
    int capacity() const { return capacity_; }
    const MqttMessage& front() const { return messages_.front(); }
    void pop() { messages_.pop_front(); }

    // Messages dropped since the last call; the count starts again from zero.
    quint64 takeDropped();
    quint64 droppedTotal() const { return droppedTotal_; }

private:
    int capacity_;
    std::deque<MqttMessage> messages_;
    quint64 dropped_ = 0;
    quint64 droppedTotal_ = 0;
};
