#include "publish/OutgoingQueue.h"

OutgoingQueue::OutgoingQueue(int capacity)
    : capacity_(qMax(1, capacity)) {}

void OutgoingQueue::push(MqttMessage message) {
    if (int(messages_.size()) >= capacity_) {
        messages_.pop_front();
        ++dropped_;
        ++droppedTotal_;
    }
    messages_.push_back(std::move(message));
}

quint64 OutgoingQueue::takeDropped() {
    const quint64 count = dropped_;
    dropped_ = 0;
    return count;
}
