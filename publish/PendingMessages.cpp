#include "publish/PendingMessages.h"

#include <algorithm>

bool PendingMessages::put(MqttMessage message) {
    const auto same = std::find_if(messages_.begin(), messages_.end(), [&](const MqttMessage& waiting) {
        return waiting.topic == message.topic;
    });
    if (same != messages_.end()) {
        *same = std::move(message);
        return true;
    }
    messages_.push_back(std::move(message));
    return false;
}
